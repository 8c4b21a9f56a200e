// The likely causes orinhost check names for what it finds, in words a driver writer acts on.
#ifndef TOOLS_ORINHOST_CHECKCAUSES_H
#define TOOLS_ORINHOST_CHECKCAUSES_H

#include <stdint.h>

#include <string>
#include <vector>

// "a 32-bit x86 image (machine 0x014C): this 64-bit orinhost.exe and OrinRobo.dll load 64-bit
// drivers only; check it with the 32-bit orinhost.exe".
std::string OtherMachine(uint16_t machine, uint16_t ownMachine);

// For an entry point the library does not export: the export that looks like it and why it is
// not found (a mangled C++ name, a decorated name, another case). Empty when none looks like it.
std::string LookAlikeExport(const std::vector<std::string>& exports, const std::string& wanted);

// An object's function table that ends after `entries` entries: the layout it most likely has.
std::string DriverLayoutOfLength(int entries);
std::string FirmwareLayoutOfLength(int entries);

#endif  // TOOLS_ORINHOST_CHECKCAUSES_H
