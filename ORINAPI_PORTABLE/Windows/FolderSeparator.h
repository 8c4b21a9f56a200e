// The folder separator test shared by the temporary folder and temporary file names.
#ifndef ORINAPI_PORTABLE_WINDOWS_FOLDERSEPARATOR_H
#define ORINAPI_PORTABLE_WINDOWS_FOLDERSEPARATOR_H

// Whether the last character of text (not the second byte of a double-byte one) is '\'.
bool EndsWithBackslash(const char* text);

#endif  // ORINAPI_PORTABLE_WINDOWS_FOLDERSEPARATOR_H
