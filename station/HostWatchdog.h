// HostWatchdog.h - looks for the host application among the running processes: any process
// whose executable name, upper-cased, contains "ORIN".
#ifndef STATION_HOSTWATCHDOG_H
#define STATION_HOSTWATCHDOG_H

namespace station {

enum class HostScan { HostFound, HostMissing, ScanFailed };

// Only the letters a to z are upper-cased, whatever the code page; null is no host.
bool IsHostProcessName(const char* exeName);

// Walks a process snapshot; ScanFailed when the snapshot or its first entry cannot be read.
HostScan ScanForHost();

}  // namespace station

#endif  // STATION_HOSTWATCHDOG_H
