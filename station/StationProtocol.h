// StationProtocol.h - what the station shares with its senders: the window title, the command
// message and its codes, the registry key and the values of "Status".
#ifndef STATION_STATIONPROTOCOL_H
#define STATION_STATIONPROTOCOL_H

#include <stdint.h>

namespace station {

constexpr const char* kWindowTitle = "Kelvora 2.2";
// The main window's class: a sender that finds the title on a window of another class has found
// some other program's window, which would swallow the command.
constexpr const char* kWindowClass = "TForm1";
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

// A sender that puts this in LParam is answered with the taken command's serial instead of 0, so
// that it can find its own outcome in "Outcomes". Serials run from 2 to 0x7FFFFFFF and start again
// at 2, so they never read as 0 or 1; a host that sends LParam 0 sees 0 and 1 as before.
constexpr long kAskForSerial = 0x5057534E;
constexpr uint32_t kFirstSerial = 2;
constexpr uint32_t kLastSerial = 0x7FFFFFFF;
inline uint32_t NextSerial(uint32_t serial) {
  return serial < kFirstSerial || serial >= kLastSerial ? kFirstSerial : serial + 1;
}

constexpr const char* kStatusKeyPath = "SOFTWARE\\Vantrel Systems\\Kelvora";
constexpr const char* kStatusValueName = "Status";
constexpr uint32_t kStatusInProgress = 2;
constexpr uint32_t kStatusDone = 3;
constexpr uint32_t kStatusFailed = 99;

// "Outcomes" (REG_BINARY), written right after every "Status" under the same lock, in one write: the
// last kOutcomeRecords robot commands, newest first, each as two little-endian 32-bit numbers,
// serial then status. "Status" is the newest record's status; a sender whose command was followed
// by another still finds its own outcome here.
constexpr const char* kOutcomesValueName = "Outcomes";
constexpr int kOutcomeRecords = 8;
struct OutcomeRecord {
  uint32_t serial;
  uint32_t status;
};

}  // namespace station

#endif  // STATION_STATIONPROTOCOL_H
