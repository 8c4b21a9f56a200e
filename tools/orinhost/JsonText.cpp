#include "JsonText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

namespace {

void AppendEscape(std::string& out, unsigned unit) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\u%04x", unit);
  out += escaped;
}

void AppendUtf8(std::string& out, unsigned codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | codePoint >> 6);
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | codePoint >> 12);
    out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | codePoint >> 18);
    out += static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

void AppendAscii(std::string& out, char c) {
  switch (c) {
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    default:
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) AppendEscape(out, static_cast<unsigned char>(c));
      else out += c;
  }
}

}  // namespace

std::string JsonText(const char* text) { return text ? JsonText(std::string(text)) : "null"; }

// One character at a time, so that a byte the code page refuses is kept instead of becoming
// the replacement character a whole-string conversion would give.
std::string JsonText(const std::string& text) {
  CPINFO info = {};
  const size_t longest = ::GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1 ? info.MaxCharSize : 1;
  std::string out = "\"";
  size_t at = 0;
  while (at < text.size()) {
    // Below 0x80 every ANSI code page is ASCII; trail bytes that look like ASCII are taken with
    // their lead byte below.
    if (static_cast<unsigned char>(text[at]) < 0x80) {
      AppendAscii(out, text[at++]);
      continue;
    }
    wchar_t wide[2] = {};
    int units = 0;
    size_t length = 0;
    while (units <= 0 && length < longest && at + length < text.size()) {
      ++length;
      units = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data() + at, static_cast<int>(length), wide, 2);
    }
    if (units <= 0) {
      AppendEscape(out, 0xDC00u | static_cast<unsigned char>(text[at++]));
      continue;
    }
    at += length;
    const unsigned first = wide[0];
    if (units == 2 && first >= 0xD800 && first < 0xDC00) {
      AppendUtf8(out, 0x10000 + ((first - 0xD800) << 10) + (static_cast<unsigned>(wide[1]) - 0xDC00));
    } else {
      AppendUtf8(out, first);
      if (units == 2) AppendUtf8(out, static_cast<unsigned>(wide[1]));
    }
  }
  return out + "\"";
}

std::string VisibleText(const std::string& text) {
  std::string out;
  for (const unsigned char c : text) {
    if (out.size() >= kLongestVisibleText) return out + "...";
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}
