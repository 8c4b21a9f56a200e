// Character stepping over the lead-byte test of the current multibyte code page.
#include "ORINAPI_PORTABLE/MultibyteText.h"

namespace orin {

const char* NextChar(const char* p) {
  // A lead byte followed by the terminator is a broken character: step over the lead byte only.
  // No code page has a lead byte below 0x80, so plain ASCII never asks the code page.
  const unsigned char byte = static_cast<unsigned char>(p[0]);
  if (byte >= 0x80 && IsLeadByte(byte) && p[1] != '\0') return p + 2;
  return p + 1;
}

int CharCount(const char* text) {
  if (text == nullptr) return 0;
  int count = 0;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) ++count;
  return count;
}

const char* LastCharStart(const char* text, int bytes) {
  if (text == nullptr || bytes <= 0) return nullptr;
  // Only a forward walk knows whether a byte is a lead or a trail byte.
  const char* last = text;
  for (const char* p = text; p < text + bytes && *p != '\0'; p = NextChar(p)) last = p;
  return last;
}

const char* FindLastChar(const char* text, char c) {
  if (text == nullptr) return nullptr;
  const char* found = nullptr;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (*p == c) found = p;
  }
  return found;
}

int EndsWithChar(const char* text, char c) {
  if (text == nullptr) return 0;
  const char* last = nullptr;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) last = p;
  return last != nullptr && *last == c ? 1 : 0;
}

}  // namespace orin
