// The worker's passes against a fake library: what it calls, in which order and with which
// arguments, what it reports to "Status" and the window, and how it stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StationProtocol.h"
#include "WorkerFixture.h"

using station::kStateCheck;
using station::kStateIdle;
using station::kStateLoad;
using station::kStateUnload;
using station::kStateUnloadAlt;
using Calls = std::vector<std::string>;

namespace {

const std::string kH0 = std::to_string(fake_robots::kFirstHandle);
const std::string kH1 = std::to_string(fake_robots::kFirstHandle + 1);
const std::string kH2 = std::to_string(fake_robots::kFirstHandle + 2);

Calls CheckCalls() {
  return {"Active(" + kH0 + ",256)", "GetMessage(" + kH0 + ")", "EnumDrives(" + kH0 + ")"};
}

Calls Concat(Calls a, const Calls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

TEST_F(WorkerTest, StartUpConnectsOnceAndChecksOnlyRobotZero) {
  struct Row {
    const char* what;
    int32_t robots;
    VtResult active;
    Calls calls;
    bool nameShown;
    char drive;
  };
  const Row rows[] = {
      {"one robot, ready", 1, 0, Concat({"Init(0)", "Connect(0)", "GetRobotInfo(" + kH0 + ",256)"}, CheckCalls()),
       true, 'E'},
      {"ready with result 400", 1, 400,
       Concat({"Init(0)", "Connect(0)", "GetRobotInfo(" + kH0 + ",256)"}, CheckCalls()), true, 'E'},
      {"not ready: no name, drive still read", 1, -1,
       Concat({"Init(0)", "Connect(0)", "GetRobotInfo(" + kH0 + ",256)"}, CheckCalls()), false, 'E'},
      {"three robots: all named, robot 0 checked", 3, 0,
       Concat({"Init(0)", "Connect(0)", "GetRobotInfo(" + kH0 + ",256)", "GetRobotInfo(" + kH1 + ",256)",
               "GetRobotInfo(" + kH2 + ",256)"},
              CheckCalls()),
       true, 'E'},
      {"no robot", 0, 0, {"Init(0)", "Connect(0)"}, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    fake_robots::Settings settings;
    settings.robotCount = row.robots;
    settings.active = row.active;
    StartWorker(settings);
    ASSERT_TRUE(WaitUntil([&] { return display_.Stops() >= 1; }));
    ASSERT_TRUE(WaitUntil([&] { return worker_->CurrentDrive == row.drive && fake_robots::Calls().size() >= row.calls.size(); }));
    Sleep(50);  // nothing more may follow
    EXPECT_EQ(fake_robots::Calls(), row.calls);
    EXPECT_EQ(worker_->RobotState.load(), kStateIdle);
    EXPECT_EQ(worker_->RobotCount, row.robots);
    EXPECT_EQ(worker_->ActiveRobot, row.robots ? fake_robots::kFirstHandle : 0);
    EXPECT_EQ(display_.Names(), row.nameShown ? std::vector<std::string>{"Robot-0"} : std::vector<std::string>{});
    EXPECT_FALSE(fake_robots::SawOverlap());
    StopWorker();
    display_.Reset();
  }
}

TEST_F(WorkerTest, CommandPassMakesOneCallThenReportsItsOutcome) {
  struct Row {
    int32_t state;
    VtResult result;
    const char* call;
    uint32_t status;
  };
  const Row rows[] = {
      {kStateLoad, 0, "LoadDrive('E',0,1,0)", station::kStatusDone},
      {kStateLoad, 400, "LoadDrive('E',0,1,0)", station::kStatusDone},
      {kStateLoad, -1, "LoadDrive('E',0,1,0)", station::kStatusFailed},
      {kStateUnload, 0, "UnloadDrive('E',0,2,0)", station::kStatusDone},
      {kStateUnload, 17, "UnloadDrive('E',0,2,0)", station::kStatusFailed},
      {kStateUnloadAlt, 400, "UnloadDrive('E',0,4,0)", station::kStatusDone},
      {kStateUnloadAlt, -1, "UnloadDrive('E',0,4,0)", station::kStatusFailed},
  };
  fake_robots::Settings settings;
  settings.drive = 'E';
  StartWorker(settings);
  ASSERT_TRUE(WaitUntil([&] { return worker_->CurrentDrive == 'E'; }));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.call + std::string(" answering ") + std::to_string(row.result));
    settings.load = row.result;
    settings.unload = row.result;
    fake_robots::Reset(settings);
    display_.Reset();
    Command(row.state);
    uint32_t status = 0;
    ASSERT_TRUE(WaitUntil([&] { return ReadStatus(&status) && status != station::kStatusInProgress; }));
    EXPECT_EQ(status, row.status);
    EXPECT_EQ(fake_robots::Calls(), (Calls{row.call, "GetMessage(" + kH0 + ")"}));
    EXPECT_EQ(worker_->RobotState.load(), kStateIdle);
    EXPECT_EQ(display_.Stops(), 1);
    EXPECT_TRUE(display_.Names().empty());
  }
}

TEST_F(WorkerTest, WithoutRobotCommandsStillReachTheLibraryWithDriveZero) {
  fake_robots::Settings settings;
  settings.robotCount = 0;
  settings.load = 400;
  StartWorker(settings);
  ASSERT_TRUE(WaitUntil([&] { return display_.Stops() >= 1; }));
  Command(kStateLoad);
  uint32_t status = 0;
  ASSERT_TRUE(WaitUntil([&] { return ReadStatus(&status) && status != station::kStatusInProgress; }));
  EXPECT_EQ(status, station::kStatusDone);
  EXPECT_EQ(fake_robots::Calls(), (Calls{"Init(0)", "Connect(0)", "LoadDrive(0x00,0,1,0)", "GetMessage(0)"}));
}

TEST_F(WorkerTest, IdleStatesMakeNoCall) {
  StartWorker(fake_robots::Settings());
  ASSERT_TRUE(WaitUntil([&] { return worker_->CurrentDrive == 'E'; }));
  const size_t before = fake_robots::Calls().size();
  for (int32_t state : {int32_t{station::kStateReserved}, 1, 4, 5, 10, -1}) {
    SCOPED_TRACE(state);
    worker_->SetState(state);
    Sleep(60);  // the wake makes the worker look at once
    EXPECT_EQ(fake_robots::Calls().size(), before);
    EXPECT_EQ(worker_->RobotState.load(), state) << "only a pass that ran may reset the state";
  }
}

TEST_F(WorkerTest, FailedInitEndsTheWorkerWithMinusOne) {
  fake_robots::Settings settings;
  settings.init = 5;
  StartWorker(settings);
  DWORD code = 0;
  ASSERT_TRUE(WaitForExit(kPatienceMs, &code));
  EXPECT_EQ(code, static_cast<DWORD>(-1));
  EXPECT_EQ(fake_robots::Calls(), (Calls{"Init(0)"}));
  EXPECT_EQ(display_.Stops(), 0) << "the busy animation keeps running";
}

TEST_F(WorkerTest, StopDuringALongLoadWaitsForItAndReportsItsOutcome) {
  fake_robots::Settings settings;
  settings.holdLoads = true;
  StartWorker(settings);
  ASSERT_TRUE(WaitUntil([&] { return worker_->CurrentDrive == 'E'; }));
  Command(kStateLoad);
  ASSERT_TRUE(fake_robots::WaitForHeldLoad(kPatienceMs));
  worker_->RequestStop();
  DWORD code = 0;
  EXPECT_FALSE(WaitForExit(200, &code)) << "the worker left while its call was still running";
  fake_robots::Release();
  ASSERT_TRUE(WaitForExit(kPatienceMs, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(fake_robots::Calls().back(), "LoadDrive('E',0,1,0)") << "no call after the stop";
  uint32_t status = 0;
  ASSERT_TRUE(ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusDone) << "the load ended before the park: its sender reads it";
}

TEST_F(WorkerTest, StuckCallIsEndedByForceAndItsCommandFails) {
  fake_robots::Settings settings;
  settings.holdLoads = true;
  StartWorker(settings);
  ASSERT_TRUE(WaitUntil([&] { return worker_->CurrentDrive == 'E'; }));
  station::UniqueKey key = station::OpenStatusKey(key_);
  uint32_t serial = 0;
  ASSERT_EQ(worker_->TakeCommand(key.get(), kStateLoad, &serial), station::CommandTaken::Started);
  ASSERT_TRUE(fake_robots::WaitForHeldLoad(kPatienceMs));
  worker_->RequestStop();
  EXPECT_TRUE(worker_->CommandPending());
  int shutDowns = 0;
  uint32_t statusAtShutDown = 0;
  worker_->EndByForce(thread_, [&] {
    ++shutDowns;
    ReadStatus(&statusAtShutDown);
  });
  DWORD code = 0;
  ASSERT_TRUE(WaitForExit(0, &code)) << "the thread still runs";
  EXPECT_EQ(shutDowns, 1);
  EXPECT_EQ(statusAtShutDown, station::kStatusInProgress) << "99 comes after the park";
  uint32_t status = 0;
  ASSERT_EQ(station::ReadOutcome(key_, serial, &status), station::OutcomeRead::Found);
  EXPECT_EQ(status, station::kStatusFailed);
  ASSERT_TRUE(ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusFailed);
  EXPECT_FALSE(worker_->CommandPending());
}

TEST_F(WorkerTest, EachCommandKeepsItsOutcomeUnderItsSerial) {
  fake_robots::Settings settings;
  settings.load = -1;
  StartWorker(settings);
  ASSERT_TRUE(WaitUntil([&] { return worker_->CurrentDrive == 'E'; }));
  station::UniqueKey key = station::OpenStatusKey(key_);
  // One failing load, then more unloads than "Outcomes" holds.
  std::vector<uint32_t> serials;
  for (int i = 0; i <= station::kOutcomeRecords; ++i) {
    uint32_t serial = 0;
    ASSERT_EQ(worker_->TakeCommand(key.get(), i == 0 ? kStateLoad : kStateUnload, &serial),
              station::CommandTaken::Started);
    ASSERT_TRUE(WaitUntil([&] { return !worker_->CommandPending(); }));
    serials.push_back(serial);
    uint32_t first = 0;
    if (i < station::kOutcomeRecords) {
      ASSERT_EQ(station::ReadOutcome(key_, serials[0], &first), station::OutcomeRead::Found) << i;
      EXPECT_EQ(first, station::kStatusFailed) << "a later command took the first one's outcome";
    }
  }
  EXPECT_GE(serials[0], station::kFirstSerial);
  for (size_t i = 1; i < serials.size(); ++i) EXPECT_EQ(serials[i], station::NextSerial(serials[i - 1]));
  uint32_t status = 0;
  EXPECT_EQ(station::ReadOutcome(key_, serials[0], &status), station::OutcomeRead::NotFound);
  ASSERT_TRUE(ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusDone);
  EXPECT_EQ(station::NextSerial(station::kLastSerial), station::kFirstSerial);
}

TEST_F(WorkerTest, RobotCountBeyondTheTablesIsCut) {
  struct Row {
    int32_t reported;
    int32_t kept;
  };
  for (const Row& row : {Row{40, 26}, Row{-3, 0}}) {
    SCOPED_TRACE(row.reported);
    fake_robots::Settings settings;
    settings.robotCount = row.reported;
    StartWorker(settings);
    ASSERT_TRUE(WaitUntil([&] { return display_.Stops() >= 1; }));
    EXPECT_EQ(worker_->RobotCount, row.kept);
    size_t infos = 0;
    for (const std::string& call : fake_robots::Calls()) infos += call.rfind("GetRobotInfo", 0) == 0;
    EXPECT_EQ(infos, static_cast<size_t>(row.kept));
    StopWorker();
    display_.Reset();
  }
}

TEST_F(WorkerTest, ReportResultActsOnTheStateItReplaces) {
  struct Row {
    int32_t state;
    VtResult result;
    uint32_t status;  // 0: "Status" untouched
    bool nameShown;
  };
  const Row rows[] = {
      {kStateCheck, 0, 0, true},          {kStateCheck, 400, 0, true},
      {kStateCheck, -1, 0, false},        {kStateLoad, 0, station::kStatusDone, false},
      {kStateUnload, 400, station::kStatusDone, false}, {kStateUnloadAlt, -1, station::kStatusFailed, false},
      {kStateLoad, 1, station::kStatusFailed, false},   {station::kStateConnect, -1, 0, false},
      {kStateIdle, 0, 0, false},          {station::kStateReserved, 0, 0, false},
  };
  fake_robots::Reset(fake_robots::Settings());
  station::RobotWorker worker(fake_robots::Library(), key_, &display_);
  std::snprintf(worker.RobotNames[0], sizeof worker.RobotNames[0], "%s", "Arm 7");
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.state) + " / " + std::to_string(row.result));
    display_.Reset();
    ASSERT_TRUE(station::WriteStatus(key_, 77));
    worker.RobotState.store(row.state);
    worker.ReportResult(row.result);
    uint32_t status = 0;
    ASSERT_TRUE(ReadStatus(&status));
    EXPECT_EQ(status, row.status ? row.status : 77u);
    EXPECT_EQ(worker.RobotState.load(), kStateIdle);
    EXPECT_EQ(display_.Stops(), 1);
    EXPECT_EQ(display_.Names(), row.nameShown ? std::vector<std::string>{"Arm 7"} : std::vector<std::string>{});
  }
  EXPECT_TRUE(fake_robots::Calls().empty()) << "reporting makes no robot call";
}

TEST_F(WorkerTest, ReportResultWithoutTheKeyWritesNothing) {
  const std::string missing = keyPath_ + "\\missing";
  station::RobotWorker worker(fake_robots::Library(), station::StatusKey{HKEY_CURRENT_USER, missing.c_str()},
                              &display_);
  worker.RobotState.store(kStateLoad);
  worker.ReportResult(0);
  uint32_t status = 0;
  EXPECT_FALSE(station::ReadStatus(station::StatusKey{HKEY_CURRENT_USER, missing.c_str()}, &status));
  EXPECT_EQ(worker.RobotState.load(), kStateIdle);
  EXPECT_EQ(display_.Stops(), 1);
}

TEST_F(WorkerTest, CommandTakenDuringStartUpRunsAfterTheCheckOrFailsWithTheLibrary) {
  for (VtResult init : {0, 5}) {
    SCOPED_TRACE(init);
    fake_robots::Settings settings;
    settings.init = init;
    CreateWorker(settings);
    station::UniqueKey key = station::OpenStatusKey(key_);
    EXPECT_EQ(worker_->TakeCommand(key.get(), kStateLoad), station::CommandTaken::Held);
    EXPECT_EQ(worker_->TakeCommand(key.get(), kStateUnload), station::CommandTaken::Refused);
    StartThread();
    uint32_t status = 0;
    ASSERT_TRUE(WaitUntil([&] { return ReadStatus(&status) && status != station::kStatusInProgress; }));
    if (init == 0) {
      EXPECT_EQ(status, station::kStatusDone);
      const Calls startUp = Concat({"Init(0)", "Connect(0)", "GetRobotInfo(" + kH0 + ",256)"}, CheckCalls());
      EXPECT_EQ(fake_robots::Calls(), Concat(startUp, {"LoadDrive('E',0,1,0)", "GetMessage(" + kH0 + ")"}));
      StopWorker();
    } else {
      EXPECT_EQ(status, station::kStatusFailed);
      DWORD code = 0;
      ASSERT_TRUE(WaitForExit(kPatienceMs, &code));
      EXPECT_EQ(worker_->TakeCommand(key.get(), kStateUnload), station::CommandTaken::LibraryDown);
    }
    // Only the held command's end reaches the window (animation, watchdog), not the start-up's.
    EXPECT_EQ(display_.StopSerials(), std::vector<uint32_t>{station::kFirstSerial});
    display_.Reset();
  }
}

TEST_F(WorkerTest, EachStopNamesItsCommandSoAStaleOneIsKnown) {
  StartWorker(fake_robots::Settings());
  ASSERT_TRUE(WaitUntil([&] { return worker_->CurrentDrive == 'E' && display_.Stops() == 1; }));
  station::UniqueKey key = station::OpenStatusKey(key_);
  for (int32_t state : {kStateLoad, kStateUnload}) {
    SCOPED_TRACE(state);
    const uint32_t previous = display_.StopSerials().back();
    ASSERT_EQ(worker_->TakeCommand(key.get(), state), station::CommandTaken::Started);
    // Taken before the window handled the previous pass's stop: that stop is stale now.
    EXPECT_FALSE(worker_->IsCurrentCommand(previous));
    uint32_t status = 0;
    ASSERT_TRUE(WaitUntil([&] { return ReadStatus(&status) && status == station::kStatusDone; }));
    EXPECT_TRUE(worker_->IsCurrentCommand(display_.StopSerials().back()));
  }
}

TEST(WorkerBusy, OnlyPendingOrRunningPassesCountAsBusy) {
  for (int32_t state = -1; state <= 12; ++state) {
    SCOPED_TRACE(state);
    const bool busy = state == 2 || state == 3 || state == 6 || state == 7 || state == 8;
    EXPECT_EQ(station::IsWorkerBusy(state), busy);
  }
}
