#include "CheckCauses.h"

#include <cstdio>

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

std::string MachineName(uint16_t machine) {
  switch (machine) {
    case 0x014C: return "a 32-bit x86 image";
    case 0x8664: return "a 64-bit x64 image";
    case 0xAA64: return "a 64-bit ARM image";
    case 0x01C4: return "a 32-bit ARM image";
    case 0x0200: return "an Itanium image";
    default: return "an image for another machine";
  }
}

}  // namespace

std::string OtherMachine(uint16_t machine, uint16_t ownMachine) {
  char code[32];
  std::snprintf(code, sizeof code, " (machine 0x%04X)", machine);
  const bool own64 = ownMachine == 0x8664;
  std::string text = MachineName(machine) + code + ": this " + (own64 ? "64-bit" : "32-bit") +
                     " orinhost.exe and OrinRobo.dll load " + (own64 ? "64-bit" : "32-bit") + " drivers only";
  if (machine == 0x014C) return text + "; check it with the 32-bit orinhost.exe (the bundle's top level), for 32-bit hosts";
  if (machine == 0x8664) return text + "; check it with x64\\orinhost.exe, for 64-bit hosts";
  return text + "; build the driver for 32-bit x86 or for x64";
}

std::string LookAlikeExport(const std::vector<std::string>& exports, const std::string& wanted) {
  const std::string lowerWanted = Lower(wanted);
  std::string best;
  int bestRank = 0;
  for (const std::string& name : exports) {
    const std::string lowerName = Lower(name);
    const size_t at = lowerName.find(lowerWanted);
    if (name == wanted || at == std::string::npos) continue;
    std::string cause;
    int rank = 1;
    if (name[0] == '?' || name.compare(0, 2, "_Z") == 0) {
      cause = ", a C++ (mangled) name: declare the function extern \"C\"";
      rank = 4;
    } else if (name.find('@', at + wanted.size()) != std::string::npos) {
      cause = ", a decorated name: declare the function ORIN_CDECL (not __stdcall) and export it undecorated "
              "(-Wl,--kill-at or a .def file)";
      rank = 3;
    } else if (lowerName == lowerWanted) {
      cause = ": entry points are found by their exact name, case for case";
      rank = 2;
    } else {
      cause = ", which only looks like it: entry points are found by their exact name";
    }
    if (rank > bestRank) {
      best = "the library exports " + name + cause;
      bestRank = rank;
    }
  }
  return best;
}

std::string DriverLayoutOfLength(int entries) {
  if (entries >= 12) return "the full IRoboDriver layout";
  if (entries >= 10) return "the IRoboDriverV3 layout of interfaces 2 and 3";
  if (entries == 9) return "the IRoboDriverV1 layout of interface 1";
  return "shorter than any driver layout";
}

std::string FirmwareLayoutOfLength(int entries) {
  if (entries >= 5) return "the full IRoboFirmwareCheck layout";
  if (entries == 4) return "the IRoboFirmwareCheckV4 layout of interface 4";
  return "shorter than any firmware-check layout";
}
