// Pickwell.exe beside the robot simulator, driven as a host drives it: the order and arguments
// of the library calls, the "Status" sequence, the single-instance rule, the watchdog, the close
// sequence, failures of the library and the registry, and the window layout.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ControlIds.h"
#include "Main.h"
#include "ProcessStart.h"
#include "StationProtocol.h"
#include "StationRun.h"
#include "StatusRegistry.h"

#include <sddl.h>

namespace {

using Calls = std::vector<std::string>;
const std::string kRobot0 = kSimRobot0;

Calls StartUpCalls() {
  return {"VT_Robots_Init(0)",
          "VT_Robots_Connect(count=set)",
          "VT_Robots_GetRobotInfo(" + kRobot0 + ", name, info, 256)",
          "VT_Robots_Active(" + kRobot0 + ", text1, text2, 256)",
          "VT_Robots_GetMessage(" + kRobot0 + ", message)",
          "VT_Robots_EnumDrives(" + kRobot0 + ", info, drives)"};
}

std::string Message() { return "VT_Robots_GetMessage(" + kRobot0 + ", message)"; }

std::string ChildText(HWND window, int id) {
  char text[300] = {};
  GetWindowTextA(GetDlgItem(window, id), text, sizeof text);
  return text;
}

size_t Count(const Calls& calls, const std::string& prefix) {
  size_t n = 0;
  for (const std::string& call : calls) n += call.rfind(prefix, 0) == 0;
  return n;
}

// Runs pickwell-send.exe with the given arguments; its exit code, -1 when it did not end, or -2
// when it could not be started (the test fails saying why).
long RunSender(const std::string& arguments);
// Starts pickwell-send.exe; WaitSender gives its exit code, or -1 when it did not end in time.
// thread: its main thread, when asked for.
station::UniqueHandle StartSender(const std::string& arguments, station::UniqueHandle* thread = nullptr);
long WaitSender(const station::UniqueHandle& sender, unsigned timeoutMs = 2 * kPatienceMs);
// Starts a process whose name holds the host marker, as the watchdog's host.
station::UniqueHandle StartHost(const StationRun& run);

constexpr int kLabel1 = station::kIdLabel1, kSupport = station::kIdSupport, kAbout = station::kIdAbout,
              kBusyImage = station::kIdBusyImage;

// A taken command's Status reads 2 while a call it waits for is held, then, released, ends in
// the command's own outcome.
void ExpectInProgressThen(StationRun& run, uint32_t outcome) {
  uint32_t status = 0;
  ASSERT_TRUE(StationRun::ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusInProgress);
  run.Release();
  ASSERT_TRUE(run.WaitForOutcome(&status));
  EXPECT_EQ(status, outcome);
}

}  // namespace

TEST(StationEndToEnd, LoadAndUnloadReportProgressThenDone) {
  StationRun run("[Robots]\r\nName0=Arm 1000\r\nDrive=G\r\n");
  run.Hold("LoadDrive,UnloadDrive");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(StationRun::WaitUntilText(run.Window(), kLabel1, "Arm 1000"));
  const std::pair<uint32_t, const char*> commands[] = {{station::kCodeLoad, "VT_Robots_LoadDrive('G', 0, 1, 0)"},
                                                       {station::kCodeUnload, "VT_Robots_UnloadDrive('G', 0, 2, 0)"},
                                                       {station::kCodeUnloadAlt, "VT_Robots_UnloadDrive('G', 0, 4, 0)"}};
  for (const auto& command : commands) {
    SCOPED_TRACE(command.second);
    ASSERT_TRUE(run.Send(command.first));
    ASSERT_TRUE(run.WaitForLog(std::string("> ") + command.second));
    ExpectInProgressThen(run, station::kStatusDone);
  }
  ASSERT_TRUE(run.Close());
  Calls expected = StartUpCalls();
  for (const auto& command : commands) {
    expected.push_back(command.second);
    expected.push_back(Message());
  }
  expected.push_back("VT_Robots_Park(" + kRobot0 + ")");
  expected.push_back("VT_Robots_Close()");
  EXPECT_EQ(run.Calls(), expected);
  EXPECT_FALSE(run.LogFlagsBrokenRules()) << run.Log();
}

TEST(StationEndToEnd, LibraryResultDecidesStatusAndTheStationGoesOn) {
  struct Row {
    const char* result;
    uint32_t status;
  };
  const Row rows[] = {{"0", station::kStatusDone}, {"400", station::kStatusDone},
                      {"-1", station::kStatusFailed}, {"17", station::kStatusFailed}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.result);
    StationRun run(std::string("[Results]\r\nLoadDrive=") + row.result + "\r\nActive=" + row.result + "\r\n");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.Send(station::kCodeLoad));
    uint32_t status = 0;
    ASSERT_TRUE(run.WaitForOutcome(&status));
    EXPECT_EQ(status, row.status);
    // The check's result decides whether the name shows; the next command is accepted either way.
    if (row.status == station::kStatusDone) {
      EXPECT_TRUE(StationRun::WaitUntilText(run.Window(), kLabel1, "SimRobot A"));
    } else {
      EXPECT_EQ(ChildText(run.Window(), kLabel1), "");
    }
    ASSERT_TRUE(run.Send(station::kCodeUnload));
    ASSERT_TRUE(run.WaitForOutcome(&status));
    EXPECT_EQ(status, station::kStatusDone);
    ASSERT_TRUE(run.Close());
    EXPECT_FALSE(run.LogFlagsBrokenRules()) << run.Log();
  }
}

TEST(StationEndToEnd, SecondStartEndsAtOnceWithZero) {
  StationRun run("");
  ASSERT_TRUE(run.Start());
  EXPECT_EQ(run.StartAnotherAndWait(kPatienceMs), 0);
  EXPECT_TRUE(run.Running());
  ASSERT_TRUE(run.Close());
  EXPECT_EQ(Count(run.Calls(), "VT_Robots_Init"), 1u);
}

TEST(StationEndToEnd, WithoutRobotCommandsUseDriveZeroAndCloseOnlyCloses) {
  StationRun run("[Robots]\r\nCount=0\r\n");
  ASSERT_TRUE(run.Start("< VT_Robots_Connect"));
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  uint32_t status = 0;
  ASSERT_TRUE(run.WaitForOutcome(&status));
  EXPECT_EQ(status, station::kStatusDone);
  EXPECT_EQ(ChildText(run.Window(), kLabel1), "");
  ASSERT_TRUE(run.Close());
  EXPECT_EQ(run.Calls(), (Calls{"VT_Robots_Init(0)", "VT_Robots_Connect(count=set)",
                                "VT_Robots_LoadDrive(0x00, 0, 1, 0)", "VT_Robots_GetMessage(0, message)",
                                "VT_Robots_Close()"}));
}

TEST(StationEndToEnd, FailedInitRefusesCommandsAndStillClosesTheLibrary) {
  StationRun run("[Results]\r\nInit=-1\r\n");
  ASSERT_TRUE(run.Start("< VT_Robots_Init"));
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  uint32_t status = 0;
  ASSERT_TRUE(StationRun::ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusFailed);
  ASSERT_TRUE(run.Close());
  EXPECT_EQ(run.Calls(), (Calls{"VT_Robots_Init(0)", "VT_Robots_Close()"}));
}

TEST(StationEndToEnd, LoadSentTheMomentTheWindowExistsRunsAfterTheStartUp) {
  StationRun run("");
  run.Hold("Connect");
  ASSERT_TRUE(run.Start());
  LRESULT answer = -1;
  ASSERT_TRUE(run.Send(station::kCodeLoad, &answer));
  EXPECT_EQ(answer, station::kAnswerTaken);
  EXPECT_EQ(run.Log().find("< VT_Robots_Connect"), std::string::npos) << "sent after the connect";
  ExpectInProgressThen(run, station::kStatusDone);
  ASSERT_TRUE(run.Close());
  Calls expected = StartUpCalls();
  for (const std::string& call : {std::string("VT_Robots_LoadDrive('E', 0, 1, 0)"), Message(),
                                  "VT_Robots_Park(" + kRobot0 + ")", std::string("VT_Robots_Close()")})
    expected.push_back(call);
  EXPECT_EQ(run.Calls(), expected);
  EXPECT_FALSE(run.LogFlagsBrokenRules()) << run.Log();
}

TEST(StationEndToEnd, CloseDuringASlowLoadWaitsForItReportsItThenParksAndCloses) {
  StationRun run("");
  run.Hold("LoadDrive");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  ASSERT_TRUE(run.WaitForLog("> VT_Robots_LoadDrive"));
  // A second close request while the first waits for the load changes nothing.
  ASSERT_TRUE(PostMessageA(run.Window(), WM_CLOSE, 0, 0));
  ASSERT_TRUE(PostMessageA(run.Window(), WM_CLOSE, 0, 0));
  ASSERT_TRUE(StationRun::WaitUntilDisabled(run.Window())) << "the close did not begin";
  EXPECT_EQ(RunSender("load --timeout 10"), 5) << "a closing station does not take commands";
  EXPECT_TRUE(IsWindowVisible(run.Window())) << "the window went before the load had ended";
  run.Release();
  DWORD exitCode = 1;
  ASSERT_TRUE(run.WaitForExit(kPatienceMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  Calls expected = StartUpCalls();
  expected.push_back("VT_Robots_LoadDrive('E', 0, 1, 0)");
  expected.push_back("VT_Robots_Park(" + kRobot0 + ")");
  expected.push_back("VT_Robots_Close()");
  EXPECT_EQ(run.Calls(), expected);
  const std::string log = run.Log();
  EXPECT_LT(log.find("< VT_Robots_LoadDrive"), log.find("> VT_Robots_Park")) << log;
  EXPECT_FALSE(run.LogFlagsBrokenRules()) << log;
  uint32_t status = 0;
  ASSERT_TRUE(StationRun::ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusDone) << "the load ended before the park: its outcome counts";
}

TEST(StationEndToEnd, CloseBeforeAHeldCommandRanFailsIt) {
  StationRun run("");
  run.Hold("Connect");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  ASSERT_TRUE(PostMessageA(run.Window(), WM_CLOSE, 0, 0));
  ASSERT_TRUE(StationRun::WaitUntilDisabled(run.Window())) << "the close did not begin";
  run.Release();
  DWORD exitCode = 1;
  ASSERT_TRUE(run.WaitForExit(kPatienceMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  uint32_t status = 0;
  ASSERT_TRUE(StationRun::ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusFailed) << "taken, never run: the sender must not wait for ever";
  EXPECT_EQ(Count(run.Calls(), "VT_Robots_LoadDrive"), 0u);
  EXPECT_EQ(run.Calls().back(), "VT_Robots_Close()");
}

TEST(StationEndToEnd, CloseEndsARobotCallThatNeverReturnsAfterABound) {
  StationRun run("[Hang]\r\nCall=LoadDrive\r\n");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  ASSERT_TRUE(run.WaitForLog("> VT_Robots_LoadDrive"));
  ASSERT_TRUE(PostMessageA(run.Window(), WM_CLOSE, 0, 0));
  ASSERT_TRUE(PostMessageA(run.Window(), WM_CLOSE, 0, 0));
  DWORD exitCode = 1;
  ASSERT_TRUE(run.WaitForExit(station::TForm1::kWorkerHaltMs + 30000, &exitCode)) << "the close never ended";
  EXPECT_EQ(exitCode, 0u);
  const Calls calls = run.Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[calls.size() - 3], "VT_Robots_LoadDrive('E', 0, 1, 0)");
  EXPECT_EQ(calls[calls.size() - 2], "VT_Robots_Park(" + kRobot0 + ")");
  EXPECT_EQ(calls.back(), "VT_Robots_Close()");
  EXPECT_EQ(run.Log().find("! AFTER-CLOSE"), std::string::npos) << run.Log();
  uint32_t status = 0;
  ASSERT_TRUE(StationRun::ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusFailed);
}

TEST(StationEndToEnd, CommandWhileAnotherRunsLeavesTheFirstItsOwnOutcome) {
  StationRun run("");
  run.Hold("LoadDrive");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  ASSERT_TRUE(run.WaitForLog("> VT_Robots_LoadDrive"));
  LRESULT answer = -1;
  ASSERT_TRUE(run.Send(station::kCodeUnload, &answer));
  EXPECT_EQ(answer, station::kAnswerNotTaken);
  uint32_t status = 0;
  ASSERT_TRUE(StationRun::ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusInProgress) << "the refused command wrote over the load's Status";
  run.Release();
  ASSERT_TRUE(run.WaitForOutcome(&status));
  EXPECT_EQ(status, station::kStatusDone);
  ASSERT_TRUE(run.Close());
  const Calls calls = run.Calls();
  EXPECT_EQ(Count(calls, "VT_Robots_LoadDrive"), 1u);
  EXPECT_EQ(Count(calls, "VT_Robots_UnloadDrive"), 0u);
  EXPECT_FALSE(run.LogFlagsBrokenRules()) << run.Log();
}

TEST(StationEndToEnd, UnknownCodesAnd105MakeNoLibraryCall) {
  StationRun run("");
  ASSERT_TRUE(run.Start());
  StationRun::SetStatus(77);
  for (uint32_t code : {100u, 106u, 0u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(code);
    ASSERT_TRUE(run.Send(code));
    uint32_t status = 0;
    ASSERT_TRUE(StationRun::ReadStatus(&status));
    EXPECT_EQ(status, 77u);
  }
  ASSERT_TRUE(run.Send(station::kCodeReserved));
  uint32_t status = 0;
  ASSERT_TRUE(StationRun::ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusInProgress);
  Sleep(1300);  // past one poll of the worker
  EXPECT_EQ(run.Calls().size(), StartUpCalls().size());
  // 105 leaves the worker idle, so the next command is carried out.
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  ASSERT_TRUE(run.WaitForOutcome(&status));
  EXPECT_EQ(status, station::kStatusDone);
  ASSERT_TRUE(run.Close());
}

TEST(StationEndToEnd, WithoutTheRegistryKeyCommandsAreDropped) {
  StationRun run("");
  ASSERT_TRUE(run.Start());
  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, station::kStatusKeyPath), ERROR_SUCCESS);
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  Sleep(1300);
  EXPECT_EQ(Count(run.Calls(), "VT_Robots_LoadDrive"), 0u);
  uint32_t status = 0;
  EXPECT_FALSE(StationRun::ReadStatus(&status));
  EXPECT_TRUE(run.Running());
  ASSERT_TRUE(run.Close());
  station::CreateStatusKey(station::StationStatusKey());
}

// A key whose owner grants setting values and little else; the station needs no more.
TEST(StationEndToEnd, KeyThatOnlyAllowsSettingValuesIsEnough) {
  StationRun run("[Delays]\r\nLoadMs=300\r\n");
  ASSERT_TRUE(run.Start());
  const auto setRights = [](const char* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr))
      return false;
    HKEY key = nullptr;
    bool set = RegOpenKeyExA(HKEY_LOCAL_MACHINE, station::kStatusKeyPath, 0, WRITE_DAC, &key) == ERROR_SUCCESS;
    set = set && RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    if (key) RegCloseKey(key);
    LocalFree(descriptor);
    return set;
  };
  // Query, set, notify, read and change the rights (so the test can give them back).
  ASSERT_TRUE(setRights("D:P(A;;0x60013;;;WD)"));
  HKEY full = nullptr;
  const bool fullAccess = RegOpenKeyExA(HKEY_LOCAL_MACHINE, station::kStatusKeyPath, 0, KEY_ALL_ACCESS, &full) == ERROR_SUCCESS;
  if (full) RegCloseKey(full);
  EXPECT_FALSE(fullAccess) << "the registry does not enforce key rights here; this case proves nothing";
  LRESULT answer = -1;
  ASSERT_TRUE(run.Send(station::kCodeLoad, &answer));
  EXPECT_EQ(answer, station::kAnswerTaken);
  uint32_t status = 0;
  EXPECT_TRUE(run.WaitForOutcome(&status));
  EXPECT_EQ(status, station::kStatusDone);
  EXPECT_EQ(RunSender("unload --timeout 20"), 0);
  EXPECT_TRUE(setRights("D:P(A;;KA;;;WD)"));
  ASSERT_TRUE(run.Close());
}

TEST(StationEndToEnd, SenderSaysWhatIsKnownWhenTheKeyGoesDuringALoad) {
  StationRun run("");
  run.Hold("LoadDrive");
  ASSERT_TRUE(run.Start());
  station::UniqueHandle sender = StartSender("load --timeout 20");
  ASSERT_TRUE(run.WaitForLog("> VT_Robots_LoadDrive"));
  ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, station::kStatusKeyPath), ERROR_SUCCESS);
  EXPECT_EQ(WaitSender(sender), 6) << "taken and run, outcome unknown: not 'dropped', not 'failed'";
  run.Release();
  ASSERT_TRUE(run.WaitForLog("< VT_Robots_LoadDrive"));
  ASSERT_TRUE(run.Close());
  station::CreateStatusKey(station::StationStatusKey());
}

TEST(StationEndToEnd, EachSenderReadsItsOwnOutcome) {
  // A's load fails; B retries its unload until the station takes it, the moment A's load has
  // ended, and B's 2 and 3 overwrite A's 99 in "Status" before A looks (A is held still meanwhile,
  // as a busy machine may hold it).
  StationRun run("[Results]\r\nLoadDrive=-1\r\n");
  run.Hold("LoadDrive");
  ASSERT_TRUE(run.Start());
  station::UniqueHandle threadA;
  station::UniqueHandle senderA = StartSender("load --timeout 30", &threadA);
  ASSERT_TRUE(run.WaitForLog("> VT_Robots_LoadDrive"));  // A's command was taken
  ASSERT_NE(SuspendThread(threadA.get()), static_cast<DWORD>(-1));
  run.Release();
  LRESULT answer = station::kAnswerNotTaken;
  const DWORD start = GetTickCount();
  while (answer == station::kAnswerNotTaken && GetTickCount() - start < kPatienceMs) {
    ASSERT_TRUE(run.Send(station::kCodeUnload, &answer));
  }
  EXPECT_EQ(answer, station::kAnswerTaken) << "a host that knows only Status still sees 0";
  uint32_t status = 0;
  ASSERT_TRUE(run.WaitForOutcome(&status));
  EXPECT_EQ(status, station::kStatusDone) << "Status alone still tells the last command's outcome";
  ResumeThread(threadA.get());
  EXPECT_EQ(WaitSender(senderA), 1) << "A's load failed, whatever B's unload did";
  ASSERT_TRUE(run.Close());
  EXPECT_EQ(Count(run.Calls(), "VT_Robots_UnloadDrive"), 1u);
}

TEST(StationEndToEnd, MessagesFromOtherProgramsCarryNothingTheStationActsOn) {
  StationRun run("");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(StationRun::WaitUntilText(run.Window(), kLabel1, "SimRobot A"));
  StationRun::SetStatus(77);
  // The worker's own messages, with what once was a text pointer and a command serial.
  for (LPARAM lParam : {LPARAM{0}, LPARAM{1}, LPARAM{0x1000}}) {
    PostMessageA(run.Window(), WM_APP + 2, 0, lParam);
    PostMessageA(run.Window(), WM_APP + 1, static_cast<WPARAM>(lParam), lParam);
  }
  if (sizeof(WPARAM) > 4) {
    // A load code in the low half of a 64-bit WParam is no load.
    const WPARAM code = static_cast<WPARAM>(station::kCodeLoad + (uint64_t{1} << 32));
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(run.Window(), station::kWmRobotCommand, code, 0, SMTO_ABORTIFHUNG, kPatienceMs, &answer));
  }
  Sleep(1300);  // past one poll of the worker
  EXPECT_TRUE(run.Running());
  EXPECT_EQ(ChildText(run.Window(), kLabel1), "SimRobot A");
  EXPECT_EQ(Count(run.Calls(), "VT_Robots_LoadDrive"), 0u);
  uint32_t status = 0;
  ASSERT_TRUE(StationRun::ReadStatus(&status));
  EXPECT_EQ(status, 77u);
  ASSERT_TRUE(run.Close());
}

TEST(StationEndToEnd, AnotherProgramsWindowWithTheTitleIsNoStation) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "NotTheStation";
  RegisterClassA(&windowClass);
  HWND foreign = CreateWindowA("NotTheStation", station::kWindowTitle, WS_OVERLAPPED, 0, 0, 100, 50, nullptr,
                               nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(foreign, nullptr);
  StationRun::SetStatus(station::kStatusDone);
  EXPECT_EQ(RunSender("load --timeout 3"), 3) << "the title alone is not the station";
  EXPECT_EQ(RunSender("close --timeout 3"), 3);
  StationRun run("");
  EXPECT_EQ(run.StartAnotherAndWait(kPatienceMs), 0) << "the station still steps aside for any window with its title";
  DestroyWindow(foreign);
}

TEST(StationEndToEnd, WatchdogKeepsTheStationWhileAHostRunsAndClosesItAfter) {
  StationRun run("");
  ASSERT_TRUE(run.Start());
  station::UniqueHandle hostProcess = StartHost(run);
  ASSERT_TRUE(hostProcess);

  ASSERT_TRUE(run.Send(station::kCodeWatchdog));
  EXPECT_FALSE(run.WaitForExit(3500)) << "closed although the host runs";
  TerminateProcess(hostProcess.get(), 0);
  WaitForSingleObject(hostProcess.get(), 5000);
  DWORD code = 1;
  ASSERT_TRUE(run.WaitForExit(kPatienceMs, &code)) << "the watchdog did not close the station";
  EXPECT_EQ(code, 0u);
  const Calls calls = run.Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "VT_Robots_Park(" + kRobot0 + ")");
  EXPECT_EQ(calls.back(), "VT_Robots_Close()");
}

namespace {

// The station ended by itself while a load ran: the load ended before the park, the library was
// closed last, and the load's outcome stands.
void ExpectEndedAfterTheLoad(StationRun& run, const char* otherwise) {
  DWORD exitCode = 1;
  ASSERT_TRUE(run.WaitForExit(kPatienceMs, &exitCode)) << otherwise;
  EXPECT_EQ(exitCode, 0u);
  const std::string log = run.Log();
  EXPECT_LT(log.find("< VT_Robots_LoadDrive"), log.find("> VT_Robots_Park")) << log;
  EXPECT_EQ(run.Calls().back(), "VT_Robots_Close()");
  uint32_t status = 0;
  ASSERT_TRUE(StationRun::ReadStatus(&status));
  EXPECT_EQ(status, station::kStatusDone);
}

}  // namespace

TEST(StationEndToEnd, HostDeathDuringALoadClosesTheStationOnceTheLoadEnds) {
  StationRun run("");
  run.Hold("LoadDrive");
  ASSERT_TRUE(run.Start());
  station::UniqueHandle host = StartHost(run);
  ASSERT_TRUE(host);
  ASSERT_TRUE(run.Send(station::kCodeWatchdog));
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  ASSERT_TRUE(run.WaitForLog("> VT_Robots_LoadDrive"));
  TerminateProcess(host.get(), 0);
  WaitForSingleObject(host.get(), 5000);
  run.Release();
  ExpectEndedAfterTheLoad(run, "the watchdog was not armed again after the load");
}

TEST(StationEndToEnd, SessionEndWaitsForTheMoveThenParksAndCloses) {
  StationRun run("");
  run.Hold("LoadDrive");
  ASSERT_TRUE(run.Start());
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(run.Window(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, kPatienceMs, &answer));
  EXPECT_NE(answer, 0u) << "nothing moves: the session may end";
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  ASSERT_TRUE(run.WaitForLog("> VT_Robots_LoadDrive"));
  ASSERT_TRUE(SendMessageTimeoutA(run.Window(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, kPatienceMs, &answer));
  EXPECT_EQ(answer, 0u) << "a disc is moving: the system must wait or tell the user";
  // The ending session's close waits for the load, so this sender may not wait for its answer.
  ASSERT_TRUE(SendNotifyMessageA(run.Window(), WM_ENDSESSION, TRUE, 0));
  ASSERT_TRUE(StationRun::WaitUntilDisabled(run.Window())) << "the session end did not begin the close";
  run.Release();
  ExpectEndedAfterTheLoad(run, "the session ended but the station did not");
}

TEST(StationEndToEnd, WatchdogArmedDuringALoadClosesOnlyAfterTheLoad) {
  StationRun run("");
  run.Hold("LoadDrive");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  ASSERT_TRUE(run.WaitForLog("> VT_Robots_LoadDrive"));
  ASSERT_TRUE(run.Send(station::kCodeWatchdog));
  run.Release();
  DWORD exitCode = 1;
  ASSERT_TRUE(run.WaitForExit(kPatienceMs, &exitCode)) << "no host runs: the watchdog must close the station";
  EXPECT_EQ(exitCode, 0u);
  const std::string log = run.Log();
  EXPECT_LT(log.find("< VT_Robots_LoadDrive"), log.find("> VT_Robots_Park")) << log;
  EXPECT_EQ(run.Calls().back(), "VT_Robots_Close()");
  EXPECT_FALSE(run.LogFlagsBrokenRules()) << log;
}

TEST(StationEndToEnd, WindowLayoutAndAboutWindow) {
  StationRun run("");
  ASSERT_TRUE(run.Start());
  HWND window = run.Window();
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ(className, "TForm1");
  RECT client = {};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 184);
  EXPECT_EQ(client.bottom, 53);
  RECT outer = {};
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSMCAPTION) + GetSystemMetrics(SM_CYMENU) + 10);

  struct Child {
    int id;
    RECT box;  // left, top, width, height
    const char* text;
  };
  const Child children[] = {{kLabel1, {8, 8, 121, 15}, "SimRobot A"},
                            {kSupport, {8, 28, 57, 25}, "Support"},
                            {kAbout, {80, 28, 57, 25}, "About"},
                            {kBusyImage, {136, 0, 36, 32}, nullptr}};
  ASSERT_TRUE(StationRun::WaitUntilText(window, kLabel1, "SimRobot A"));
  for (const Child& child : children) {
    SCOPED_TRACE(child.id);
    HWND control = GetDlgItem(window, child.id);
    ASSERT_NE(control, nullptr);
    RECT box = {};
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    EXPECT_EQ(box.left, child.box.left);
    EXPECT_EQ(box.top, child.box.top);
    EXPECT_EQ(box.right - box.left, child.box.right);
    EXPECT_EQ(box.bottom - box.top, child.box.bottom);
    if (child.text) {
      EXPECT_EQ(ChildText(window, child.id), child.text);
    }
  }

  PostMessageA(GetDlgItem(window, kAbout), BM_CLICK, 0, 0);
  HWND about = nullptr;
  ASSERT_TRUE(StationRun::WaitUntilVisible("TfrmAbout", &about));
  char caption[32] = {};
  GetWindowTextA(about, caption, sizeof caption);
  EXPECT_STREQ(caption, "About");
  GetClientRect(about, &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 261);
  EXPECT_FALSE(IsWindowEnabled(window)) << "the About window is modal";
  // Commands still reach the station while the About window is shown.
  ASSERT_TRUE(run.Send(station::kCodeLoad));
  uint32_t status = 0;
  ASSERT_TRUE(run.WaitForOutcome(&status));
  EXPECT_EQ(status, station::kStatusDone);

  HWND closeButton = FindWindowExA(about, nullptr, "Button", "Close");
  ASSERT_NE(closeButton, nullptr);
  PostMessageA(closeButton, BM_CLICK, 0, 0);
  ASSERT_TRUE(StationRun::WaitUntilHidden(about));
  EXPECT_TRUE(IsWindow(about)) << "closing hides the About window, it stays for the next time";
  ASSERT_TRUE(StationRun::WaitUntilEnabled(window));
  ASSERT_TRUE(run.Close());
}


namespace {

station::UniqueHandle StartSender(const std::string& arguments, station::UniqueHandle* thread) {
  testsupport::StartOptions options;
  options.keepThread = thread != nullptr;
  testsupport::StartedProcess sender =
      testsupport::StartProcess("\"" + testsupport::ExeDirectory() + "pickwell-send.exe\" " + arguments, options);
  if (!sender) {
    ADD_FAILURE() << "pickwell-send.exe not started: " << sender.Failure();
    return station::UniqueHandle();
  }
  if (thread) thread->reset(sender.ReleaseThread());
  return station::UniqueHandle(sender.Release());
}

long WaitSender(const station::UniqueHandle& sender, unsigned timeoutMs) {
  if (!sender) return -2;
  if (WaitForSingleObject(sender.get(), timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(sender.get(), 9);
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(sender.get(), &code);
  return static_cast<long>(code);
}

long RunSender(const std::string& arguments) { return WaitSender(StartSender(arguments)); }

// Any process whose name holds the marker in any letter case.
station::UniqueHandle StartHost(const StationRun& run) {
  const std::string host = run.Folder().Join("MyoRiNHost.exe");
  if (!CopyFileA((testsupport::ExeDirectory() + "station_test_sleeper.exe").c_str(), host.c_str(), FALSE))
    return station::UniqueHandle();
  testsupport::StartedProcess process = testsupport::StartProcess("\"" + host + "\" 60000");
  if (!process) ADD_FAILURE() << "the host stand-in not started: " << process.Failure();
  return station::UniqueHandle(process.Release());
}

}  // namespace

TEST(StationEndToEnd, SenderExitCodeTellsTheOutcome) {
  EXPECT_EQ(RunSender("load --timeout 2"), 3) << "no station";
  EXPECT_EQ(RunSender("wait --timeout 0.3"), 3);
  EXPECT_EQ(RunSender("fly"), 4);
  StationRun run("[Results]\r\nUnloadDrive=-1\r\n");
  run.Hold("LoadDrive");
  ASSERT_TRUE(run.Start());
  EXPECT_EQ(RunSender("wait --timeout 5"), 0);
  EXPECT_EQ(RunSender("load --timeout 0.3"), 2) << "timed out";
  run.Release();
  uint32_t status = 0;
  ASSERT_TRUE(run.WaitForOutcome(&status));
  run.Release();  // for the next load
  EXPECT_EQ(RunSender("load --timeout 20"), 0);
  EXPECT_EQ(RunSender("unload --timeout 20"), 1);
  EXPECT_EQ(RunSender("105"), 0) << "sent; 105 reports nothing";

  // A window busy for longer than the five seconds after which the system calls it hung: the
  // sender still waits for the answer as long as its --timeout allows.
  station::UniqueHandle windowThread(
      OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(run.Window(), nullptr)));
  ASSERT_TRUE(windowThread);
  ASSERT_NE(SuspendThread(windowThread.get()), static_cast<DWORD>(-1));
  station::UniqueHandle sender = StartSender("load --timeout 60");
  const bool gaveUp = WaitForSingleObject(sender.get(), 8000) == WAIT_OBJECT_0;
  run.Release();  // for the load, once taken
  ResumeThread(windowThread.get());
  EXPECT_FALSE(gaveUp) << "the sender gave up on a busy window before its time";
  EXPECT_EQ(WaitSender(sender), 0);
  EXPECT_EQ(RunSender("close --timeout 20"), 0);
  ASSERT_TRUE(run.WaitForExit(kPatienceMs));
}
