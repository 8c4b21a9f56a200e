#include "HostWatchdog.h"

#include <string>

#include "StationWindows.h"

#include <tlhelp32.h>

namespace station {

bool IsHostProcessName(const char* exeName) {
  if (!exeName) return false;
  std::string upper(exeName);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper.find("ORIN") != std::string::npos;
}

HostScan ScanForHost() {
  UniqueSnapshot snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return HostScan::ScanFailed;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  if (!Process32First(snapshot.get(), &entry)) return HostScan::ScanFailed;
  do {
    entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
    if (IsHostProcessName(entry.szExeFile)) return HostScan::HostFound;
  } while (Process32Next(snapshot.get(), &entry));
  return HostScan::HostMissing;
}

}  // namespace station
