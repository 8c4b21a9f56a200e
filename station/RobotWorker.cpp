#include "RobotWorker.h"

#include "StationProtocol.h"

namespace station {

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
  if (library_.Init(0) != VT_ROBOTS_OK) return static_cast<DWORD>(-1);
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
    if (sleepAfterPass && !StopRequested()) WaitForNextPass();
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

void RobotWorker::RequestStop() {
  stopRequested_.store(true);
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

// Resets RobotState to idle before "Status" is written, so that a host that sends its next
// command as soon as it reads the outcome finds the worker ready for it.
void RobotWorker::ReportResult(VtResult result) {
  const int32_t remembered = RobotState.exchange(kStateIdle);
  if (display_) display_->StopBusyAnimation();
  const bool success = IsRobotSuccess(result);
  if (remembered == kStateCheck) {
    if (success && display_) display_->ShowRobotName(RobotNames[0]);
    return;
  }
  if (remembered == kStateLoad || remembered == kStateUnload || remembered == kStateUnloadAlt)
    WriteStatus(statusKey_, success ? kStatusDone : kStatusFailed);
}

}  // namespace station
