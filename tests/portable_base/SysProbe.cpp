// Child program for the system-services tests: reports what the services answer in this process
// (which may run under another presented Windows version) through its exit code:
// bit 0 IsWindowsNT, bit 1 IsSpecialCodePageLocale, bits 8-15 major, bits 16-23 minor version.
#include "ORINAPI_PORTABLE/SystemServices.h"

int main() {
  int32_t major = 0;
  int32_t minor = 0;
  GetOSVersion(&major, &minor);
  return IsWindowsNT() | IsSpecialCodePageLocale() << 1 | (major & 0xFF) << 8 | (minor & 0xFF) << 16;
}
