// StationRun.h - one run of Pickwell.exe beside the robot simulator in a fresh folder, for the
// end-to-end tests: start it, give it commands as a host does, read "Status", the window and the
// simulator's call log, close it. Every wait is bounded; a station left running is ended.
#ifndef TESTS_STATION_STATIONRUN_H
#define TESTS_STATION_STATIONRUN_H

#include <stdint.h>

#include <string>
#include <vector>

#include "StationWindows.h"
#include "TestSupport.h"

// Bound for what must happen in another process: generous, for a loaded machine; every wait
// ends as soon as the thing happens, so an idle machine does not pay for it.
constexpr unsigned kPatienceMs = 60000;

class StationRun {
 public:
  // ini: the simulator's settings; the call log is always switched on.
  explicit StationRun(const std::string& ini);
  ~StationRun();
  StationRun(const StationRun&) = delete;
  StationRun& operator=(const StationRun&) = delete;

  // Before Start: the simulator holds these calls ("LoadDrive,UnloadDrive") once they have
  // logged their start, until Release lets one go on, so that a test sees the call running.
  void Hold(const std::string& calls);
  // Lets one held call go on: the one waiting, else the next one to be held.
  void Release();
  // Starts the station and waits for its window, as a host does, and for readyLine in the call
  // log when one is given.
  bool Start(const std::string& readyLine = "");
  // Starts one more Pickwell.exe from the same folder; returns its exit code, -1000 when it did
  // not end within timeoutMs, or -2000 when it could not be started (the test fails saying why).
  long StartAnotherAndWait(unsigned timeoutMs);

  HWND Window() const { return window_; }
  bool Running() const;
  // WM_ROBOT_COMMAND; false when the window did not answer. answer: what it answered.
  bool Send(uint32_t code, LRESULT* answer = nullptr);
  // Waits until "Status" is 3 or 99; false after timeoutMs.
  bool WaitForOutcome(uint32_t* status, unsigned timeoutMs = kPatienceMs);
  // Posts WM_CLOSE and waits for the program to end with exit code 0.
  bool Close(unsigned timeoutMs = kPatienceMs);
  bool WaitForExit(unsigned timeoutMs, DWORD* exitCode = nullptr);

  std::string Log() const;
  bool WaitForLog(const std::string& text, unsigned timeoutMs = kPatienceMs) const;
  // The calls in the log, as "VT_Robots_LoadDrive('E', 0, 1, 0)".
  std::vector<std::string> Calls() const;
  // True when the simulator flagged overlapping calls or calls after VT_Robots_Close.
  bool LogFlagsBrokenRules() const { return Log().find("! ") != std::string::npos; }

  const testsupport::TempDir& Folder() const { return folder_; }

  static bool ReadStatus(uint32_t* status);
  static void SetStatus(uint32_t status);
  // Bounded waits for what another process's windows show.
  static bool WaitUntilText(HWND window, int childId, const std::string& text, unsigned timeoutMs = kPatienceMs);
  static bool WaitUntilVisible(const char* className, HWND* found, unsigned timeoutMs = kPatienceMs);
  static bool WaitUntilHidden(HWND window, unsigned timeoutMs = kPatienceMs);
  static bool WaitUntilEnabled(HWND window, unsigned timeoutMs = kPatienceMs);
  // The close sequence disables the window first: this tells that it has begun.
  static bool WaitUntilDisabled(HWND window, unsigned timeoutMs = kPatienceMs);

 private:
  testsupport::TempDir folder_;
  std::string ini_;
  station::UniqueHandle release_;  // the semaphore that lets held calls go on
  station::UniqueHandle process_;
  HWND window_ = nullptr;
};

// "Status" as each run starts, a value the station never writes.
constexpr uint32_t kStatusBeforeStart = 55;

// The handle the simulator gives robot 0, as the log prints it.
constexpr const char* kSimRobot0 = "20736";

#endif  // TESTS_STATION_STATIONRUN_H
