// The code-page conversions through the call table, so tests can fail them.
#include "ORINAPI_PORTABLE/CodePageConversion.h"

#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace orin {

int ConvertToWide(uint32_t codePage, const char* text, int bytes, wchar_t* units, int room) {
  return Sys().MultiByteToWideChar(codePage, 0, text, bytes, units, room);
}

int ConvertFromWide(uint32_t codePage, const wchar_t* wide, int count, char* text, int room) {
  return Sys().WideCharToMultiByte(codePage, 0, wide, count, text, room, nullptr, nullptr);
}

}  // namespace orin
