// MultibyteText.h - character stepping over narrow text in the C run-time's current multibyte
// code page. Unlike the raw run-time calls, a lead byte right before the terminating zero
// (a text cut in the middle of a double-byte character) counts as one character of its own,
// so no step ever passes the terminator.
#ifndef ORINAPI_PORTABLE_MULTIBYTETEXT_H
#define ORINAPI_PORTABLE_MULTIBYTETEXT_H

namespace orin {

// 1 when byte is a lead byte of the current multibyte code page. The one part that asks the
// system (Windows/LeadBytes.cpp); the stepping below is the same everywhere.
int IsLeadByte(unsigned char byte);
// The start of the character after the one at p; p must not point at the terminator.
const char* NextChar(const char* p);
// Number of characters before the terminator; 0 for null.
int CharCount(const char* text);
// Start of the last character of the first `bytes` bytes of text; null when bytes <= 0.
const char* LastCharStart(const char* text, int bytes);
// Start of the last occurrence of the single-byte character c; null when absent or text null.
const char* FindLastChar(const char* text, char c);
// 1 when the last character (not the second byte of a double-byte one) is c; 0 for empty or null.
int EndsWithChar(const char* text, char c);

}  // namespace orin

#endif  // ORINAPI_PORTABLE_MULTIBYTETEXT_H
