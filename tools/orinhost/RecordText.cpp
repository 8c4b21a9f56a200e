#include "RecordText.h"

#include <cstdio>

std::string EncodeRecordText(const std::string& text) {
  std::string out;
  const size_t length = text.size() < kLongestRecordText ? text.size() : kLongestRecordText;
  for (size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
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

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

bool DecodeRecordText(const std::string& encoded, std::string& text) {
  text.clear();
  for (size_t i = 0; i < encoded.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(encoded[i]);
    if (c < 0x20 || c == 0x7F) return false;
    if (c != '\\') {
      text += static_cast<char>(c);
      continue;
    }
    if (++i == encoded.size()) return false;
    switch (encoded[i]) {
      case '\\': text += '\\'; break;
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 'x': {
        const int high = i + 2 < encoded.size() ? HexDigit(encoded[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(encoded[i + 2]) : -1;
        if (low < 0) return false;
        text += static_cast<char>(high << 4 | low);
        i += 2;
        break;
      }
      default:
        return false;
    }
  }
  return true;
}
