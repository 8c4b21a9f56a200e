// Kept apart from the shell-folder queries, so that the file classes do not pull the shell in.
#include "ORINAPI_PORTABLE/Windows/FolderSeparator.h"

#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

bool EndsWithBackslash(const char* text) {
  const char* last = nullptr;
  for (const char* p = text; *p != '\0'; ++p) {
    last = p;
    if (::IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') ++p;
  }
  return last != nullptr && *last == '\\';
}
