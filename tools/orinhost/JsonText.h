// Driver texts (ANSI code page) as JSON string literals (UTF-8), and as one visible line.
#ifndef TOOLS_ORINHOST_JSONTEXT_H
#define TOOLS_ORINHOST_JSONTEXT_H

#include <string>

// The exact text as a JSON string, null for null. Each character the ANSI code page decodes
// becomes that character (U+0000-U+001F, U+007F, '"' and '\' escaped); a byte the code page
// cannot decode becomes the unpaired surrogate \udcXX (XX the byte), so no byte is lost and no
// such byte reads as a real character.
std::string JsonText(const char* text);
std::string JsonText(const std::string& text);

// Driver texts for a line of their own: control characters as escapes (\n, \r, \t, \xNN), so no
// text can start another line; cut after kLongestVisibleText characters.
constexpr size_t kLongestVisibleText = 512;
std::string VisibleText(const std::string& text);

#endif  // TOOLS_ORINHOST_JSONTEXT_H
