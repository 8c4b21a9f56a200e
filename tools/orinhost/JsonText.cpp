#include "JsonText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

namespace {

// Driver texts are in the ANSI code page; JSON is UTF-8.
std::string ToUtf8(const char* text) {
  const int units = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (units <= 0) return text;
  std::wstring wide(static_cast<size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], units);
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return text;
  std::string utf8(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], bytes, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(bytes - 1));
  return utf8;
}

}  // namespace

std::string JsonText(const char* text) {
  if (text == nullptr) return "null";
  const std::string utf8 = ToUtf8(text);
  std::string out = "\"";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8.c_str()); *p; ++p) {
    switch (*p) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (*p < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", *p);
          out += escaped;
        } else {
          out += static_cast<char>(*p);
        }
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
