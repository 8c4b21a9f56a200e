// StationProtocol.h - what the station shares with its senders: the window title, the command
// message and its codes, the registry key and the values of "Status".
#ifndef STATION_STATIONPROTOCOL_H
#define STATION_STATIONPROTOCOL_H

#include <stdint.h>

namespace station {

constexpr const char* kWindowTitle = "Kelvora 2.2";
constexpr unsigned kWmRobotCommand = 0x500;  // WM_ROBOT_COMMAND; WParam = code, LParam unused

constexpr uint32_t kCodeLoad = 101;
constexpr uint32_t kCodeUnload = 102;     // unload mode 2
constexpr uint32_t kCodeUnloadAlt = 103;  // unload mode 4
constexpr uint32_t kCodeWatchdog = 104;
constexpr uint32_t kCodeReserved = 105;   // accepted like a command, no robot operation

// What SendMessage answers for WM_ROBOT_COMMAND. A dropped command (the station is closing, its
// key cannot be opened, or another command is pending or running) writes no "Status", so "Status"
// alone cannot tell the sender; 0 stays the answer to every command that was taken.
constexpr int32_t kAnswerTaken = 0;
constexpr int32_t kAnswerNotTaken = 1;

constexpr const char* kStatusKeyPath = "SOFTWARE\\Vantrel Systems\\Kelvora";
constexpr const char* kStatusValueName = "Status";
constexpr uint32_t kStatusInProgress = 2;
constexpr uint32_t kStatusDone = 3;
constexpr uint32_t kStatusFailed = 99;

}  // namespace station

#endif  // STATION_STATIONPROTOCOL_H
