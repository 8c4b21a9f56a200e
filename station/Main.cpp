#include "Main.h"

#include <shellapi.h>

#include "About.h"
#include "CommandTable.h"
#include "ControlIds.h"
#include "HostWatchdog.h"
#include "StationProtocol.h"
#include "SupportMail.h"
#include "WindowControls.h"
#include "resource.h"

namespace station {

TForm1 Form1(ImportedRobotLibrary(), StationStatusKey());

DWORD WINAPI RobotThreadProc(LPVOID) { return Form1.Worker().Run(); }

namespace {

constexpr const char* kClassName = kWindowClass;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr UINT_PTR tmrCheckOrinAp = 1;  // the host watchdog
constexpr UINT kWatchdogIntervalMs = 1000;
constexpr UINT_PTR kAnimationTimer = 2;
constexpr UINT kAnimationIntervalMs = 100;

}  // namespace

TForm1::TForm1(const RobotLibrary& library, const StatusKey& statusKey)
    : library_(library), statusKey_(statusKey), worker_(library, statusKey, this) {}

bool TForm1::Create(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &TForm1::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PICKWELL));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExA(&windowClass)) return false;

  const SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
  // The caption comes in FormCreate: a sender must not find the window before it is ready.
  hwnd_ = CreateWindowExA(kExStyle, kClassName, "", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                          size.cy, nullptr, nullptr, instance, this);
  if (!hwnd_) return false;
  if (!BuildControls(instance)) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return false;
  }
  // Without rights under HKEY_LOCAL_MACHINE the station still runs; commands are then dropped.
  CreateStatusKey(statusKey_);
  FormCreate();
  return true;
}

bool TForm1::BuildControls(HINSTANCE instance) {
  font_ = CreateArialFont(12);
  HFONT font = static_cast<HFONT>(font_.get());
  frames_[0].reset(LoadImageA(instance, MAKEINTRESOURCEA(IDB_BUSY_FRAME1), IMAGE_BITMAP, 0, 0, 0));
  frames_[1].reset(LoadImageA(instance, MAKEINTRESOURCEA(IDB_BUSY_FRAME2), IMAGE_BITMAP, 0, 0, 0));

  Label1 = CreateChild(hwnd_, "STATIC", "", SS_LEFT | SS_NOPREFIX, 8, 8, 121, 15, kIdLabel1, font);
  btnSupport = CreateChild(hwnd_, "BUTTON", "Support", BS_PUSHBUTTON | WS_TABSTOP, 8, 28, 57, 25,
                           kIdSupport, font);
  btnAbout = CreateChild(hwnd_, "BUTTON", "About", BS_PUSHBUTTON | WS_TABSTOP, 80, 28, 57, 25,
                         kIdAbout, font);
  busyImage_ = CreateChild(hwnd_, "STATIC", "", SS_BITMAP, 136, 0, 36, 32, kIdBusyImage, nullptr);
  if (!Label1 || !btnSupport || !btnAbout || !busyImage_) return false;
  // SS_BITMAP sizes the control to its picture; keep the layout's box whatever the picture.
  ShowFrame(frame_);
  MoveWindow(busyImage_, 136, 0, 36, 32, FALSE);
  return true;
}

void TForm1::FormCreate() {
  RECT window = {};
  GetWindowRect(hwnd_, &window);
  const int top = GetSystemMetrics(SM_CYSMCAPTION) + GetSystemMetrics(SM_CYMENU) + 10;
  const int left = GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left);
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The connect state comes before the title: a command sent as soon as the window can be found
  // is then held until the start-up has ended, instead of being overwritten by it.
  worker_.SetState(kStateConnect);
  SetWindowTextA(hwnd_, kWindowTitle);

  DWORD threadId = 0;
  workerThread_.reset(CreateThread(nullptr, 0, RobotThreadProc, nullptr, 0, &threadId));
  SetWindowTextA(Label1, "");
  // The busy animation runs from the moment the window is shown until the start-up ends, or
  // until the command taken during it ends.
  StartBusyAnimation();
}

LRESULT TForm1::RobotCommand(WPARAM code, LPARAM lParam) {
  StartBusyAnimation();
  if (closing_) return kAnswerNotTaken;
  UniqueKey key = OpenStatusKey(statusKey_);
  if (!key) return kAnswerNotTaken;
  // The whole WParam: on 64-bit, 0x1_00000065 is no load.
  const CommandAction action = ActionForCode(static_cast<uint64_t>(code));
  if (action.startsWatchdog) StartWatchdog();
  if (!action.robotCommand) return kAnswerTaken;
  const bool wasArmed = watchdogOn_ || rearmWatchdog_;
  uint32_t serial = 0;
  const CommandTaken taken = worker_.TakeCommand(key.get(), action.newState, &serial);
  if (taken == CommandTaken::Refused) return kAnswerNotTaken;
  StopWatchdog();
  // A watchdog that was on comes back when the command ends; 105 and a command the missing
  // library failed at once have nothing to wait for.
  if (taken == CommandTaken::LibraryDown || action.newState == kStateReserved) {
    if (wasArmed) StartWatchdog();
  } else {
    rearmWatchdog_ = wasArmed;
  }
  return lParam == kAskForSerial ? static_cast<LRESULT>(serial) : kAnswerTaken;
}

void TForm1::FormClose() {
  if (closing_) return;
  closing_ = true;
  StopWatchdog();
  rearmWatchdog_ = false;
  frmAbout.Hide();
  worker_.RequestStop();  // sets RobotState idle first; a command not yet begun gets 99
  EnableWindow(hwnd_, FALSE);
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  // The worker ends as soon as its robot call returns and it has reported the outcome. A call
  // that never returns must not keep the robot unparked and the host waiting for ever.
  if (workerThread_ && !WaitPumping(workerThread_.get(), kWorkerHaltMs))
    worker_.EndByForce(workerThread_.get(), [this] { ParkAndCloseLibrary(); });
  else
    ParkAndCloseLibrary();
  workerThread_.reset();
  BlockShutdown(false);
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void TForm1::ParkAndCloseLibrary() {
  if (worker_.RobotCount != 0) CallLibraryBounded(true, kParkMs);
  CallLibraryBounded(false, kLibraryCloseMs);
}

namespace {
struct LibraryCall {
  const RobotLibrary* library;
  VtRobotHandle robot;
  bool park;
};
DWORD WINAPI RunLibraryCall(LPVOID parameter) {
  const auto* call = static_cast<const LibraryCall*>(parameter);
  if (call->park)
    call->library->Park(call->robot);
  else
    call->library->Close();
  return 0;
}
}  // namespace

// Park and close run on a thread of their own, so that one that never returns is ended after
// timeoutMs and the next step still comes; false when it had to be ended.
bool TForm1::CallLibraryBounded(bool park, DWORD timeoutMs) {
  LibraryCall call = {&library_, worker_.RobotHandles[0], park};
  UniqueHandle thread(CreateThread(nullptr, 0, RunLibraryCall, &call, 0, nullptr));
  if (!thread) {
    RunLibraryCall(&call);
    return true;
  }
  if (WaitPumping(thread.get(), timeoutMs)) return true;
  TerminateThread(thread.get(), static_cast<DWORD>(-2));
  WaitForSingleObject(thread.get(), 5000);
  return false;
}

bool TForm1::WaitPumping(HANDLE handle, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  bool quitSeen = false;
  WPARAM quitCode = 0;
  bool signalled = false;
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) break;
    const DWORD wait = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) {
      signalled = true;
      break;
    }
    if (wait != WAIT_OBJECT_0 + 1) break;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quitSeen = true;
        quitCode = message.wParam;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  if (quitSeen) PostQuitMessage(static_cast<int>(quitCode));
  return signalled || WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
}

void TForm1::tmrCheckOrinApTimer() {
  StopWatchdog();
  switch (ScanForHost()) {
    case HostScan::HostFound:
      StartWatchdog();
      break;
    case HostScan::HostMissing:
      // Closed here and now: a posted close would leave room for a command to start a load
      // that the close then interrupts without a report.
      CloseNow();
      break;
    case HostScan::ScanFailed:
      break;  // off until the host arms it again
  }
}

void TForm1::btnSupportClick() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  char mail[kSupportMailBufferSize];
  if (FormatSupportMail(mail, sizeof mail, now))
    ShellExecuteA(hwnd_, "open", mail, nullptr, nullptr, SW_SHOW);
}

void TForm1::btnAboutClick() { frmAbout.ShowModal(hwnd_); }

void TForm1::StartWatchdog() {
  watchdogOn_ = SetTimer(hwnd_, tmrCheckOrinAp, kWatchdogIntervalMs, nullptr) != 0;
}

void TForm1::StopWatchdog() {
  KillTimer(hwnd_, tmrCheckOrinAp);
  watchdogOn_ = false;
}

// The end of the pass with this serial, on the window thread.
void TForm1::CommandEnded(uint32_t serial) {
  // A stop posted for an earlier pass must not stop the command that runs now.
  if (!worker_.IsCurrentCommand(serial)) return;
  animating_ = false;
  KillTimer(hwnd_, kAnimationTimer);
  BlockShutdown(false);
  if (rearmWatchdog_ && !closing_) StartWatchdog();
  rearmWatchdog_ = false;
}

// While a disc moves, the system is asked to wait for the station before ending the session,
// with a reason the user sees (Vista and later; older systems only get the refusal).
void TForm1::BlockShutdown(bool block) {
  if (block == shutdownBlocked_) return;
  using CreateReason = BOOL(WINAPI*)(HWND, LPCWSTR);
  using DestroyReason = BOOL(WINAPI*)(HWND);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return;
  if (block) {
    auto create = reinterpret_cast<CreateReason>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonCreate")));
    if (create) create(hwnd_, L"The robot is moving a disc; the station parks it once the move has ended.");
  } else {
    auto destroy = reinterpret_cast<DestroyReason>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ShutdownBlockReasonDestroy")));
    if (destroy) destroy(hwnd_);
  }
  shutdownBlocked_ = block;
}

void TForm1::StartBusyAnimation() {
  if (animating_) return;
  animating_ = true;
  SetTimer(hwnd_, kAnimationTimer, kAnimationIntervalMs, nullptr);
}

void TForm1::ShowFrame(int frame) {
  frame_ = frame;
  SendMessageA(busyImage_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(frames_[frame].get()));
}

void TForm1::CloseNow() {
  if (closing_) return;  // a second request while the first one waits for the worker
  FormClose();
  DestroyWindow(hwnd_);
}

void TForm1::StopBusyAnimation(uint32_t command) {
  endedPass_.store((uint64_t{1} << 32) | command);
  PostMessageA(hwnd_, kWmWorkerStopAnimation, 0, 0);
}

void TForm1::ShowRobotName(const char* name) {
  robotName_.store(name);
  PostMessageA(hwnd_, kWmWorkerShowName, 0, 0);
}

LRESULT CALLBACK TForm1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<TForm1*>(create->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TForm1*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kWmRobotCommand:
      return RobotCommand(wParam, lParam);
    case kWmWorkerStopAnimation: {
      const uint64_t ended = endedPass_.exchange(0);
      if (ended != 0) CommandEnded(static_cast<uint32_t>(ended));
      return 0;
    }
    case kWmWorkerShowName: {
      const char* name = robotName_.exchange(nullptr);
      if (name && !closing_) SetWindowTextA(Label1, name);
      return 0;
    }
    case WM_QUERYENDSESSION:
      // Ending the session now would leave the robot where the move stopped.
      if (worker_.CommandPending()) {
        BlockShutdown(true);
        return FALSE;
      }
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) CloseNow();
      return 0;
    case WM_TIMER:
      if (wParam == kAnimationTimer && animating_)
        ShowFrame(1 - frame_);
      else if (wParam == tmrCheckOrinAp && !closing_)
        tmrCheckOrinApTimer();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && !closing_) {
        if (LOWORD(wParam) == kIdSupport) btnSupportClick();
        if (LOWORD(wParam) == kIdAbout) btnAboutClick();
      }
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (closing_) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
      }
      if (ApplicationCursor()) {
        SetCursor(ApplicationCursor());
        return TRUE;
      }
      break;
    case WM_CLOSE:
      CloseNow();
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, kAnimationTimer);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace station
