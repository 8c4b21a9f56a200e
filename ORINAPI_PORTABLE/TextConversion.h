// TextConversion.h - narrow (ANSI code page) to UTF-16 and back for the wide system calls, and
// the plain copy routines that go with them. Every conversion falls back to a byte-for-byte
// mapping when the system refuses, so none of them fails for lack of a code page.
// Routines given no destination allocate their result; release it with the matching Release*.
#ifndef ORINAPI_PORTABLE_TEXTCONVERSION_H
#define ORINAPI_PORTABLE_TEXTCONVERSION_H

#include <stdint.h>

#include "ORINAPI_PORTABLE/CPortableWideString.h"
#include "OrinRobo/CPortableString.h"

// length bytes of text (-1: up to the terminator; never past it) as UTF-16 into out; returns out.
// When the code page refuses, each byte becomes one unit sign-extended (0x80 gives 0xFF80).
CPortableWideString& NarrowToWide(CPortableWideString& out, uint32_t codePage, const char* text,
                                  int32_t length);
// NarrowToWide(out, 0, text, -1).
CPortableWideString& NarrowToWideAnsi(CPortableWideString& out, const char* text);

// At most count units (-1: all) of wide converted to narrow text; null for a null input.
// A destination must have room for the result: in a code page of at most two bytes a character,
// two bytes a unit and the terminator.
char* WideToNarrow(uint32_t codePage, const wchar_t* wide, char* destination, int32_t count);
// The fallback alone: the low byte of each of at most count units (-1: all), terminated.
char* WideToNarrowLowBytes(const wchar_t* wide, char* destination, int32_t count);
// At most count units (-1: all, never past the terminator) converted into out; returns out.
CPortableString& WideToString(CPortableString& out, uint32_t codePage, const wchar_t* wide,
                              int32_t count);

// At most count bytes (-1: all) of text, terminated; null for a null text.
// A destination must have room for them and the terminator.
char* CopyText(const char* text, char* destination, int32_t count);
// The same in UTF-16 units.
wchar_t* CopyWideText(const wchar_t* wide, wchar_t* destination, int32_t count);

// Release what the routines above allocated (null is fine).
void ReleaseNarrowText(char* text);
void ReleaseWideText(wchar_t* text);

#endif  // ORINAPI_PORTABLE_TEXTCONVERSION_H
