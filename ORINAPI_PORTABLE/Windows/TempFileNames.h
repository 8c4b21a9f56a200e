// Naming of temporary files: the numbered candidate and the step that makes it unique.
#ifndef ORINAPI_PORTABLE_WINDOWS_TEMPFILENAMES_H
#define ORINAPI_PORTABLE_WINDOWS_TEMPFILENAMES_H

#include "OrinRobo/CPortableString.h"

// Candidate index of "<directory>OrinMPEG<index, 4 wide>XXXXXXXXX"; the directory gets a
// backslash unless empty or already ending in one (a character, not a double-byte second byte).
// Empty when the name would reach 16,384 bytes.
CPortableString FormatTempFileCandidate(const char* directory, int index);

// Replaces the last six X of name by a letter and five digits of the thread's identifier so that
// no file of that name exists (as _mktemp does). False when the name has no six X or all 26
// letters are taken.
bool MakeTempNameUnique(CPortableString& name);

#endif  // ORINAPI_PORTABLE_WINDOWS_TEMPFILENAMES_H
