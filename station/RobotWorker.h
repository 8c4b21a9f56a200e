// RobotWorker.h - the worker that makes every robot call of the station while it runs. It opens
// the library, connects and checks robot 0 once, then carries out the load and unload states
// that the window thread puts into RobotState, and reports each outcome through "Status" and
// the window (WorkerDisplay). It never touches a window itself.
#ifndef STATION_ROBOTWORKER_H
#define STATION_ROBOTWORKER_H

#include <atomic>
#include <functional>
#include <mutex>
#include <stdint.h>

#include "RobotLibrary.h"
#include "StationProtocol.h"
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

// True for the states in which a pass is pending or running.
bool IsWorkerBusy(int32_t state);

// What the worker made of a command the window thread handed it.
enum class CommandTaken {
  Started,      // "Status" 2 written; the next pass runs it
  Held,         // "Status" 2 written; runs once the start-up connect and check have ended
  Refused,      // another command is pending or running, or the worker stops: nothing written
  LibraryDown,  // the library never opened: "Status" 99 written at once; the command has ended
};

// How the worker's outcomes reach the main window. Calls come from the worker thread; an
// implementation hands them to the window thread.
class WorkerDisplay {
 public:
  // command: the serial of the command whose pass ended (0 for the start-up pass); a stop that
  // arrives after a newer command was taken must be ignored (see IsCurrentCommand).
  virtual void StopBusyAnimation(uint32_t command) = 0;
  // name points into the worker's RobotNames and stays valid while the worker lives. Each
  // command's end comes here too, so the window can also arm its watchdog again.
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

  // The window thread's part of a robot command (codes 101, 102, 103, 105), with the status key
  // open. Deciding, writing "Status" and setting the state form one step with ReportResult's.
  // serial: the serial the command got, written with each of its "Status" values ("Outcomes").
  CommandTaken TakeCommand(HKEY openKey, int32_t state, uint32_t* serial = nullptr);

  // True from the take of a load or unload until its outcome is written.
  bool CommandPending() const { return commandPending_.load(); }

  // True while no command was taken after the one with this serial.
  bool IsCurrentCommand(uint32_t command) const { return commandSerial_.load() == command; }

  // With wake off the worker finds each command only on its next one-second poll.
  void SetWakeOnCommand(bool wake) { wakeOnCommand_ = wake; }

  // Sets RobotState idle and asks the worker to leave Run before its next robot call. A command
  // taken but not yet begun (pending or held) gets "Status" 99 here; a call already begun is
  // reported when it returns.
  void RequestStop();
  bool StopRequested() const { return stopRequested_.load(); }

  // The close's last resort for a worker that did not leave a robot call in time: ends its thread
  // so that none of its calls can go on, runs shutDown (park and close the library), then writes
  // 99 for the command whose call never returned.
  void EndByForce(HANDLE thread, const std::function<void()>& shutDown);

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
  void LibraryFailed();
  // With statusLock_ held: the command's status in "Outcomes" and "Status".
  void Publish(HKEY openKey, uint32_t serial, uint32_t status);
  void Publish(uint32_t serial, uint32_t status);
  void CommandEnded();

  const RobotLibrary& library_;
  StatusKey statusKey_;
  WorkerDisplay* display_;
  UniqueHandle wakeEvent_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> wakeOnCommand_{true};

  // Held by each thread around a change of RobotState together with its "Status" write, so that
  // one command's outcome never lands on another's. The worker never holds it in a robot call.
  std::mutex statusLock_;
  int32_t heldState_ = kStateIdle;  // a command taken during start-up
  bool libraryDown_ = false;
  std::atomic<uint32_t> commandSerial_{0};  // the last command taken
  uint32_t pendingSerial_ = 0;  // the load or unload taken and not yet reported
  bool callStarted_ = false;    // its robot call has begun
  int32_t startedState_ = kStateIdle;
  std::atomic<bool> commandPending_{false};
  OutcomeRecord outcomes_[kOutcomeRecords] = {};
  int outcomeCount_ = 0;
};

}  // namespace station

#endif  // STATION_ROBOTWORKER_H
