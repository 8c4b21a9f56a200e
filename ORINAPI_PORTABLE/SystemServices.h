// SystemServices.h - the portable layer's view of the machine: memory, sleeping, the text of the
// last system error, the system version and whether narrow file names need careful handling.
// Stateless: every call asks the system anew.
#ifndef ORINAPI_PORTABLE_SYSTEMSERVICES_H
#define ORINAPI_PORTABLE_SYSTEMSERVICES_H

#include <stdint.h>

#include "OrinRobo/CPortableString.h"

// Total physical memory in bytes, as the 32-bit system figure reports it: a figure too large for
// 32 bits (a 64-bit host's) is 4,294,967,295.
uint32_t GetTotalPhysicalMemory();
// Available physical memory in bytes, saturating the same way.
uint32_t GetAvailablePhysicalMemory();
// Percent of physical memory in use (a whole number 0 to 100).
double GetMemoryLoad();
void SleepMilliseconds(uint32_t milliseconds);
// The system's message for the calling thread's last error, as the system words it; "" if none.
// Call it before any other system call on the thread.
CPortableString GetLastErrorText();
// The raw system version word; *major = its lowest byte, *minor = its second (null pointers skipped).
uint32_t GetOSVersion(int32_t* major, int32_t* minor);
// 1 on the NT family (bit 31 of the version word clear), else 0.
int32_t IsWindowsNT();
// 1 when the multibyte code page has lead bytes, or the system language is Greek, Russian or
// Thai: narrow names there may not survive a round trip and are tested before use.
int32_t IsSpecialCodePageLocale();

#endif  // ORINAPI_PORTABLE_SYSTEMSERVICES_H
