// PathText.h - the grammar of path text for the portable layer: splitting into components,
// joining, parents and tails, trailing separators and bare drives, and the current directory.
// Text is narrow, in the C run-time's multibyte code page, and is stepped character by
// character, so the trail byte of a double-byte character is never taken for a separator.
// Inputs are never changed; null inputs count as empty unless a function says otherwise.
// A result built while memory ran out is marked failed (CPortableString::Failed): it may be cut.
#ifndef ORINAPI_PORTABLE_PATHTEXT_H
#define ORINAPI_PORTABLE_PATHTEXT_H

#include <initializer_list>

#include "OrinRobo/CPortableString.h"

// 1 when text is not null and its first character is '/' or '\'.
int IsSeparatorChar(const char* text);
// 1 when text is not null and its first character is ':'.
int IsColonChar(const char* text);
// 1 when the first character is an ASCII letter; also 1 for the empty text, 0 for null.
int IsLetterChar(const char* text);

// A text of exactly a drive ("C:") gets '\' appended; anything else is copied; null gives "".
CPortableString AddRootToDrive(const char* text);
// Copy without any trailing separator; a text of separators only gives "".
CPortableString StripTrailingSeparators(const char* text);

// Pointer into text just behind the n-th component boundary, or null when the text ends first.
// n <= 0 gives text itself; the empty text gives null for every n > 0.
const char* SkipComponents(const char* text, int n);
// Number of components: 0 for the empty text, else the smallest n with SkipComponents(text, n) null.
int CountComponents(const char* text);
// The n-th component counting from 0 ("C:\" for component 0 of "C:\dir"); "" when there is none.
CPortableString GetComponent(const char* text, int n);
// Everything behind the n-th boundary; "" when nothing is behind it.
CPortableString GetTail(const char* text, int n);
// The text without its last n components, trailing separators stripped, a bare drive rooted.
CPortableString GetParent(const char* text, int n);

// Joins count parts with '\', dropping one leading and one trailing separator of each part.
// rooting != 0 makes a relative or drive-relative first part rooted. Null parts add nothing.
CPortableString JoinPath(int rooting, int count, const char* const* parts);
CPortableString JoinPath(int rooting, std::initializer_list<const char*> parts);

// The short (8.3) form of an existing path; "" on failure or for null.
CPortableString GetShortPath(const char* text);
// 1 when the text from its last '.' is ".exe", ".cmd", ".bat" or ".com" in any case.
int IsExecutableName(const char* text);
// "C:\".
CPortableString GetDefaultRoot();
// A unique temporary file name from the C run-time's tempnam(directory, prefix); "" on failure.
CPortableString MakeTempName(const char* directory, const char* prefix);
// The current directory into out, growing it as needed; 1 on success, 0 on failure.
int GetCurrentDirectoryString(CPortableString& out);

#endif  // ORINAPI_PORTABLE_PATHTEXT_H
