// Driver texts (ANSI code page) as JSON string literals (UTF-8), null as null.
#ifndef TOOLS_ORINHOST_JSONTEXT_H
#define TOOLS_ORINHOST_JSONTEXT_H

#include <string>

std::string JsonText(const char* text);

// Driver texts for a line of their own: control characters as escapes (\n, \r, \t, \xNN), so no
// text can start another line; cut after kLongestVisibleText characters.
constexpr size_t kLongestVisibleText = 512;
std::string VisibleText(const std::string& text);

#endif  // TOOLS_ORINHOST_JSONTEXT_H
