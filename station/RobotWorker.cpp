#include "RobotWorker.h"

#include "StationProtocol.h"

namespace station {

namespace {
bool IsStartUp(int32_t state) { return state == kStateConnect || state == kStateCheck; }
bool IsRobotOperation(int32_t state) {
  return state == kStateLoad || state == kStateUnload || state == kStateUnloadAlt;
}
}  // namespace

bool IsWorkerBusy(int32_t state) {
  switch (state) {
    case kStateConnect:
    case kStateCheck:
    case kStateLoad:
    case kStateUnload:
    case kStateUnloadAlt:
      return true;
    default:
      return false;
  }
}

RobotWorker::RobotWorker(const RobotLibrary& library, const StatusKey& statusKey,
                         WorkerDisplay* display)
    : library_(library),
      statusKey_(statusKey),
      display_(display),
      wakeEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

DWORD RobotWorker::Run() {
  if (library_.Init(0) != VT_ROBOTS_OK) {
    LibraryFailed();
    return static_cast<DWORD>(-1);
  }
  while (!StopRequested()) {
    const int32_t state = RobotState.load();
    bool sleepAfterPass = true;
    switch (state) {
      case kStateConnect:
        sleepAfterPass = !ConnectPass();
        break;
      case kStateCheck:
        CheckPass();
        break;
      case kStateLoad:
      case kStateUnload:
      case kStateUnloadAlt:
        CommandPass(state);
        break;
      default:
        break;
    }
    // A command released or taken during the pass runs at once.
    if (sleepAfterPass && !StopRequested() && !IsRobotOperation(RobotState.load())) WaitForNextPass();
  }
  return 0;
}

void RobotWorker::WaitForNextPass() {
  if (wakeEvent_)
    WaitForSingleObject(wakeEvent_.get(), kPollMs);
  else
    Sleep(kPollMs);
}

void RobotWorker::SetState(int32_t state) {
  RobotState.store(state);
  if (wakeOnCommand_.load() && wakeEvent_) SetEvent(wakeEvent_.get());
}

CommandTaken RobotWorker::TakeCommand(HKEY openKey, int32_t state) {
  std::lock_guard<std::mutex> lock(statusLock_);
  if (libraryDown_) {
    WriteStatus(openKey, kStatusFailed);
    return CommandTaken::LibraryDown;
  }
  const int32_t current = RobotState.load();
  const bool startUp = IsStartUp(current);
  // Writing anything now would put this command's word over the running one's outcome.
  if (StopRequested() || (startUp ? heldState_ != kStateIdle : IsWorkerBusy(current)))
    return CommandTaken::Refused;
  WriteStatus(openKey, kStatusInProgress);
  commandSerial_.fetch_add(1);
  if (startUp) {
    heldState_ = state;
    return CommandTaken::Held;
  }
  SetState(state);
  return CommandTaken::Started;
}

void RobotWorker::RequestStop() {
  {
    std::lock_guard<std::mutex> lock(statusLock_);
    RobotState.store(kStateIdle);
    heldState_ = kStateIdle;
    stopRequested_.store(true);
  }
  if (wakeEvent_) SetEvent(wakeEvent_.get());
}

bool RobotWorker::ConnectPass() {
  RobotCount = 0;
  const VtResult result = library_.Connect(&RobotCount, RobotHandles, ConnectTable2, ConnectTable3);
  // A library that reports more robots than the tables hold must not make us read past them.
  if (RobotCount < 0) RobotCount = 0;
  if (RobotCount > kMaxRobots) RobotCount = kMaxRobots;
  for (int32_t i = 0; i < RobotCount; ++i) {
    if (StopRequested()) return true;
    library_.GetRobotInfo(RobotHandles[i], RobotNames[i], RobotInfos[i], kTextSize);
    RobotNames[i][kTextSize - 1] = '\0';
  }
  if (RobotCount != 0) {
    ActiveRobot = RobotHandles[0];
    RobotState.store(kStateCheck);
    return true;
  }
  ReportResult(result);
  return false;
}

void RobotWorker::CheckPass() {
  const VtResult result = library_.Active(ActiveRobot, CheckTexts[0], CheckTexts[1], kTextSize);
  if (StopRequested()) return;
  library_.GetRobotMessage(ActiveRobot, MessageText);
  if (StopRequested()) return;
  ReportResult(result);
  library_.EnumDrives(ActiveRobot, DriveInteger, DriveTable);
  CurrentDrive = DriveTable[0][0];
}

void RobotWorker::CommandPass(int32_t state) {
  VtResult result;
  if (state == kStateLoad)
    result = library_.LoadDrive(CurrentDrive, 0, 1, 0);
  else
    result = library_.UnloadDrive(CurrentDrive, 0,
                                  state == kStateUnload ? VT_ROBOTS_UNLOAD_MODE_2 : VT_ROBOTS_UNLOAD_MODE_4,
                                  0);
  // The station is closing: the robot gets parked next, and this result is not reported.
  if (StopRequested()) return;
  library_.GetRobotMessage(ActiveRobot, MessageText);
  ReportResult(result);
}

// Without a robot library no held or later command can run: each is answered with 99.
void RobotWorker::LibraryFailed() {
  std::lock_guard<std::mutex> lock(statusLock_);
  libraryDown_ = true;
  if (IsRobotOperation(heldState_)) WriteStatus(statusKey_, kStatusFailed);
  heldState_ = kStateIdle;
}

// Resets RobotState (to idle, or to the command held during start-up) and writes "Status" under
// the lock that TakeCommand takes, so that a command taken at this moment keeps its own 2.
void RobotWorker::ReportResult(VtResult result) {
  std::lock_guard<std::mutex> lock(statusLock_);
  const int32_t remembered = RobotState.load();
  int32_t next = kStateIdle;
  if (IsStartUp(remembered)) {
    next = heldState_;
    heldState_ = kStateIdle;
  }
  RobotState.store(next);
  // A released command keeps the animation running; it stops once that command ends.
  if (next == kStateIdle && display_) display_->StopBusyAnimation(commandSerial_.load());
  const bool success = IsRobotSuccess(result);
  if (remembered == kStateCheck) {
    if (success && display_) display_->ShowRobotName(RobotNames[0]);
    return;
  }
  if (IsRobotOperation(remembered))
    WriteStatus(statusKey_, success ? kStatusDone : kStatusFailed);
}

}  // namespace station
