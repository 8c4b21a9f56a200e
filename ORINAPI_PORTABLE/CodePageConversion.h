// CodePageConversion.h - the system's code-page conversion as the text routines use it: explicit
// lengths (no terminator counted), no flags, no default character of our own. The one part of
// the conversions that asks the system (Windows/CodePageConversion.cpp); the routines built on it
// (TextConversion.h) are the same everywhere.
#ifndef ORINAPI_PORTABLE_CODEPAGECONVERSION_H
#define ORINAPI_PORTABLE_CODEPAGECONVERSION_H

#include <stdint.h>

namespace orin {

// UTF-16 units for bytes bytes of text in codePage (0: the ANSI code page). With room 0 it only
// counts them; otherwise it writes at most room units. 0 when the system refuses.
int ConvertToWide(uint32_t codePage, const char* text, int bytes, wchar_t* units, int room);
// Bytes for count units of wide text in codePage; counts with room 0, else writes at most room
// bytes. Characters the code page cannot show become its default character. 0 when it refuses.
int ConvertFromWide(uint32_t codePage, const wchar_t* wide, int count, char* text, int room);

}  // namespace orin

#endif  // ORINAPI_PORTABLE_CODEPAGECONVERSION_H
