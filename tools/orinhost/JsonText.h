// Driver texts (ANSI code page) as JSON string literals (UTF-8), null as null.
#ifndef TOOLS_ORINHOST_JSONTEXT_H
#define TOOLS_ORINHOST_JSONTEXT_H

#include <string>

std::string JsonText(const char* text);

#endif  // TOOLS_ORINHOST_JSONTEXT_H
