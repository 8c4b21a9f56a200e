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

constexpr const char* kClassName = "TForm1";
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

LRESULT TForm1::RobotCommand(WPARAM code) {
  StartBusyAnimation();
  if (closing_) return kAnswerNotTaken;
  UniqueKey key = OpenStatusKey(statusKey_);
  if (!key) return kAnswerNotTaken;
  const CommandAction action = ActionForCode(static_cast<uint32_t>(code));
  if (action.startsWatchdog) StartWatchdog();
  if (!action.robotCommand) return kAnswerTaken;
  switch (worker_.TakeCommand(key.get(), action.newState)) {
    case CommandTaken::Started:
    case CommandTaken::Held:
      StopWatchdog();
      return kAnswerTaken;
    case CommandTaken::LibraryDown:
      return kAnswerTaken;  // and failed: "Status" already says 99
    case CommandTaken::Refused:
      break;
  }
  return kAnswerNotTaken;
}

void TForm1::FormClose() {
  if (closing_) return;
  closing_ = true;
  StopWatchdog();
  frmAbout.Hide();
  worker_.RequestStop();  // sets RobotState idle first
  HaltWorker();
  if (worker_.RobotCount != 0) library_.Park(worker_.RobotHandles[0]);
  library_.Close();
  workerThread_.reset();
}

// Waits until the worker has left its robot call and ended; the window keeps painting meanwhile.
void TForm1::HaltWorker() {
  if (!workerThread_) return;
  EnableWindow(hwnd_, FALSE);
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  HANDLE thread = workerThread_.get();
  bool quitSeen = false;
  WPARAM quitCode = 0;
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
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
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
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

void TForm1::StartWatchdog() { SetTimer(hwnd_, tmrCheckOrinAp, kWatchdogIntervalMs, nullptr); }

void TForm1::StopWatchdog() { KillTimer(hwnd_, tmrCheckOrinAp); }

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
  PostMessageA(hwnd_, kWmWorkerStopAnimation, command, 0);
}

void TForm1::ShowRobotName(const char* name) {
  PostMessageA(hwnd_, kWmWorkerShowName, 0, reinterpret_cast<LPARAM>(name));
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
      return RobotCommand(wParam);
    case kWmWorkerStopAnimation:
      // A stop posted for an earlier pass must not stop the command that runs now.
      if (!worker_.IsCurrentCommand(static_cast<uint32_t>(wParam))) return 0;
      animating_ = false;
      KillTimer(hwnd_, kAnimationTimer);
      return 0;
    case kWmWorkerShowName:
      if (!closing_) SetWindowTextA(Label1, reinterpret_cast<const char*>(lParam));
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
