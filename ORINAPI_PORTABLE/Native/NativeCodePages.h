// NativeCodePages.h - what the native (non-Windows) build of the portable layer has in place of
// the system's code pages: the lead-byte ranges of the double-byte code pages 932, 936, 949 and
// 950 and the single-byte 1252, and a conversion to UTF-16 units and back. The conversion is made
// up, not the real tables: it keeps every character's shape (one or two bytes, one unit) and is
// one-to-one, so a text that goes to units and back must come back byte for byte.
#ifndef ORINAPI_PORTABLE_NATIVE_NATIVECODEPAGES_H
#define ORINAPI_PORTABLE_NATIVE_NATIVECODEPAGES_H

#include <stdint.h>

namespace orin {
namespace native {

constexpr uint32_t kCodePages[] = {932, 936, 949, 950, 1252};

// The current code page: the lead-byte test and code page 0 follow it; 1252 at start. False, and
// nothing changes, for a code page not in kCodePages.
bool SelectCodePage(uint32_t codePage);
uint32_t SelectedCodePage();

}  // namespace native
}  // namespace orin

#endif  // ORINAPI_PORTABLE_NATIVE_NATIVECODEPAGES_H
