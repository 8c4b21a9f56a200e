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

CommandTaken RobotWorker::TakeCommand(HKEY openKey, int32_t state, uint32_t* serial) {
  std::lock_guard<std::mutex> lock(statusLock_);
  const uint32_t next = NextSerial(commandSerial_.load());
  if (libraryDown_) {
    commandSerial_.store(next);
    Publish(openKey, next, kStatusFailed);
    if (serial) *serial = next;
    return CommandTaken::LibraryDown;
  }
  const int32_t current = RobotState.load();
  const bool startUp = IsStartUp(current);
  // Writing anything now would put this command's word over the running one's outcome.
  if (StopRequested() || (startUp ? heldState_ != kStateIdle : IsWorkerBusy(current)))
    return CommandTaken::Refused;
  commandSerial_.store(next);
  Publish(openKey, next, kStatusInProgress);
  if (serial) *serial = next;
  if (IsRobotOperation(state)) {
    pendingSerial_ = next;
    commandPending_.store(true);
  }
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
    // Taken but never begun: it will not run now, and its sender must not wait for ever.
    if (pendingSerial_ != 0 && !callStarted_) {
      Publish(pendingSerial_, kStatusFailed);
      CommandEnded();
    }
  }
  if (wakeEvent_) SetEvent(wakeEvent_.get());
}

void RobotWorker::EndByForce(HANDLE thread, const std::function<void()>& shutDown) {
  // Taken first, so the thread is not ended half-way through a "Status" write; it never holds
  // the lock in a robot call, and nothing else takes it once the worker is gone.
  std::lock_guard<std::mutex> lock(statusLock_);
  if (thread && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT) {
    TerminateThread(thread, static_cast<DWORD>(-2));
    WaitForSingleObject(thread, 5000);
  }
  if (shutDown) shutDown();
  if (pendingSerial_ != 0) {
    Publish(pendingSerial_, kStatusFailed);
    CommandEnded();
  }
  callStarted_ = false;
}

void RobotWorker::CommandEnded() {
  pendingSerial_ = 0;
  commandPending_.store(false);
}

void RobotWorker::Publish(HKEY openKey, uint32_t serial, uint32_t status) {
  if (outcomeCount_ == 0 || outcomes_[0].serial != serial) {
    for (int i = kOutcomeRecords - 1; i > 0; --i) outcomes_[i] = outcomes_[i - 1];
    outcomes_[0].serial = serial;
    if (outcomeCount_ < kOutcomeRecords) ++outcomeCount_;
  }
  outcomes_[0].status = status;
  // "Status" first, so that a host that reads only "Status" waits no longer than before; a sender
  // that reads "Outcomes" is woken again by its write.
  WriteStatus(openKey, status);
  WriteOutcomes(openKey, outcomes_, outcomeCount_);
}

void RobotWorker::Publish(uint32_t serial, uint32_t status) {
  UniqueKey key = OpenStatusKey(statusKey_);
  if (key) Publish(key.get(), serial, status);
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
  {
    std::lock_guard<std::mutex> lock(statusLock_);
    // A stop that came first has already answered this command with 99.
    if (StopRequested() || RobotState.load() != state) return;
    callStarted_ = true;
    startedState_ = state;
  }
  VtResult result;
  if (state == kStateLoad)
    result = library_.LoadDrive(CurrentDrive, 0, 1, 0);
  else
    result = library_.UnloadDrive(CurrentDrive, 0,
                                  state == kStateUnload ? VT_ROBOTS_UNLOAD_MODE_2 : VT_ROBOTS_UNLOAD_MODE_4,
                                  0);
  // When the station is closing the robot gets parked next: no further call, but the outcome is
  // still the sender's to read.
  if (!StopRequested()) library_.GetRobotMessage(ActiveRobot, MessageText);
  ReportResult(result);
}

// Without a robot library no held or later command can run: each is answered with 99.
void RobotWorker::LibraryFailed() {
  std::lock_guard<std::mutex> lock(statusLock_);
  libraryDown_ = true;
  if (IsRobotOperation(heldState_) && pendingSerial_ != 0) {
    Publish(pendingSerial_, kStatusFailed);
    CommandEnded();
    // The held command has ended: the window stops its animation and may arm its watchdog again.
    if (display_) display_->StopBusyAnimation(commandSerial_.load());
  }
  heldState_ = kStateIdle;
}

// Resets RobotState (to idle, or to the command held during start-up) and writes "Status" under
// the lock that TakeCommand takes, so that a command taken at this moment keeps its own 2.
void RobotWorker::ReportResult(VtResult result) {
  std::lock_guard<std::mutex> lock(statusLock_);
  // A close may have set RobotState idle while the call ran; the call still ends its command.
  int32_t remembered = RobotState.load();
  if (callStarted_) {
    remembered = startedState_;
    callStarted_ = false;
  }
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
  if (IsRobotOperation(remembered)) {
    Publish(pendingSerial_, success ? kStatusDone : kStatusFailed);
    CommandEnded();
  }
}

}  // namespace station
