// The plug-in interface version the host announced, and what a driver library is told.
#ifndef ORINROBO_INTERFACEVERSION_H
#define ORINROBO_INTERFACEVERSION_H

#include <stdint.h>

// Process-wide, shared by every manager of this copy of the library; 4 until the host sets one.
uint32_t GetHostInterfaceVersion();
// Values above 4 are ignored.
void SetHostInterfaceVersion(uint32_t version);

// Host 0 or 1 -> 2, 2 -> 3, 3 -> 4, 4 and above -> highest.
uint32_t MapInterfaceVersion(uint32_t highest);

// Every caller announces against the newest driver generation.
constexpr uint32_t kHighestDriverInterfaceVersion = 5;

// A library reporting a later generation than the newest is not catalogued; 0 is.
constexpr bool IsKnownDriverInterfaceVersion(uint32_t version) {
  return version <= kHighestDriverInterfaceVersion;
}

#endif  // ORINROBO_INTERFACEVERSION_H
