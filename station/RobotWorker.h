// RobotWorker.h - the worker that makes every robot call of the station while it runs. It opens
// the library, connects and checks robot 0 once, then carries out the load and unload states
// that the window thread puts into RobotState, and reports each outcome through "Status" and
// the window (WorkerDisplay). It never touches a window itself.
#ifndef STATION_ROBOTWORKER_H
#define STATION_ROBOTWORKER_H

#include <atomic>
#include <stdint.h>

#include "RobotLibrary.h"
#include "StationWindows.h"
#include "StatusRegistry.h"

namespace station {

// Values of RobotState.
enum RobotStateValue : int32_t {
  kStateIdle = 0,
  kStateConnect = 2,
  kStateCheck = 3,
  kStateLoad = 6,
  kStateUnload = 7,     // unload mode 2
  kStateUnloadAlt = 8,  // unload mode 4
  kStateReserved = 9,   // code 105; the worker treats it as idle
};

// True for the states in which a pass is pending or running; the window thread accepts no new
// command while one of them is set.
bool IsWorkerBusy(int32_t state);

// How the worker's outcomes reach the main window. Calls come from the worker thread; an
// implementation hands them to the window thread.
class WorkerDisplay {
 public:
  virtual void StopBusyAnimation() = 0;
  // name points into the worker's RobotNames and stays valid while the worker lives.
  virtual void ShowRobotName(const char* name) = 0;

 protected:
  ~WorkerDisplay() = default;
};

class RobotWorker {
 public:
  static constexpr int kMaxRobots = VT_ROBOTS_MAX_ROBOTS;
  static constexpr int kTextSize = VT_ROBOTS_TEXT_SIZE;
  static constexpr DWORD kPollMs = 1000;

  RobotWorker(const RobotLibrary& library, const StatusKey& statusKey, WorkerDisplay* display);
  RobotWorker(const RobotWorker&) = delete;
  RobotWorker& operator=(const RobotWorker&) = delete;

  // The worker thread's body: -1 when VT_Robots_Init fails, 0 once a stop was asked for.
  DWORD Run();

  // Sets RobotState from the window thread and, in wake mode, wakes the worker at once.
  void SetState(int32_t state);

  // With wake off the worker finds each command only on its next one-second poll.
  void SetWakeOnCommand(bool wake) { wakeOnCommand_ = wake; }

  // Asks the worker to leave Run before its next robot call; the call it is in finishes.
  void RequestStop();
  bool StopRequested() const { return stopRequested_.load(); }

  // Called by the worker after each pass; see RobotWorker.cpp.
  void ReportResult(VtResult result);

  // Shared with the window thread: what the worker does next.
  std::atomic<int32_t> RobotState{kStateIdle};

  // Written only by the worker; the window thread reads them once the worker has stopped.
  int32_t RobotCount = 0;
  VtRobotHandle RobotHandles[kMaxRobots] = {};
  int32_t ConnectTable2[kMaxRobots] = {};
  uint8_t ConnectTable3[kMaxRobots] = {};
  char RobotNames[kMaxRobots][kTextSize] = {};
  char RobotInfos[kMaxRobots][kTextSize] = {};
  VtRobotHandle ActiveRobot = 0;
  char CheckTexts[2][kTextSize] = {};
  char MessageText[kTextSize] = {};
  int32_t DriveInteger[2] = {};  // the library may use all 8 bytes
  char DriveTable[kMaxRobots][VT_ROBOTS_DRIVE_ENTRY_SIZE] = {};
  char CurrentDrive = 0;

 private:
  bool ConnectPass();  // true when a robot was found
  void CheckPass();
  void CommandPass(int32_t state);
  void WaitForNextPass();

  const RobotLibrary& library_;
  StatusKey statusKey_;
  WorkerDisplay* display_;
  UniqueHandle wakeEvent_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> wakeOnCommand_{true};
};

}  // namespace station

#endif  // STATION_ROBOTWORKER_H
