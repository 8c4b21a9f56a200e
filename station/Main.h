// Main.h - the station's main window Form1: the status label, the "Support" and "About"
// buttons, the busy animation, the host watchdog timer, the command message and the close
// sequence. It owns the robot worker and its thread.
#ifndef STATION_MAIN_H
#define STATION_MAIN_H

#include <atomic>

#include "RobotLibrary.h"
#include "RobotWorker.h"
#include "StationWindows.h"
#include "StatusRegistry.h"

namespace station {

// Private messages from the worker. They carry nothing: the window takes what the worker left
// for it in the form, so the same message from another program finds nothing to act on.
constexpr UINT kWmWorkerStopAnimation = WM_APP + 1;  // a pass ended
constexpr UINT kWmWorkerShowName = WM_APP + 2;       // the robot's name is there to show

class TForm1 : private WorkerDisplay {
 public:
  static constexpr int kClientWidth = 184;
  static constexpr int kClientHeight = 53;

  TForm1(const RobotLibrary& library, const StatusKey& statusKey);
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // Builds the window and its controls, creates the registry key and runs FormCreate; false
  // when the window cannot be made.
  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }
  RobotWorker& Worker() { return worker_; }

  // How long a close waits for the worker to leave its robot call (a real load takes well under
  // this), and for the park and the library's close, before it ends them by force.
  static constexpr DWORD kWorkerHaltMs = 60000;
  static constexpr DWORD kParkMs = 30000;
  static constexpr DWORD kLibraryCloseMs = 10000;

  void FormCreate();
  void FormClose();
  // Answers kAnswerNotTaken, or for a taken command kAnswerTaken, or its serial when lParam is
  // kAskForSerial.
  LRESULT RobotCommand(WPARAM code, LPARAM lParam = 0);
  void tmrCheckOrinApTimer();
  void btnSupportClick();
  void btnAboutClick();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool BuildControls(HINSTANCE instance);
  void StartBusyAnimation();
  void ShowFrame(int frame);
  void StartWatchdog();
  void StopWatchdog();
  // Waits for the handle while the window keeps painting; false after timeoutMs.
  bool WaitPumping(HANDLE handle, DWORD timeoutMs);
  void ParkAndCloseLibrary();
  bool CallLibraryBounded(bool park, DWORD timeoutMs);
  void CommandEnded(uint32_t serial);
  void BlockShutdown(bool block);
  void CloseNow();  // FormClose, then the window goes

  // WorkerDisplay, called on the worker thread: both only post to the window.
  void StopBusyAnimation(uint32_t command) override;
  void ShowRobotName(const char* name) override;

  const RobotLibrary& library_;
  StatusKey statusKey_;
  RobotWorker worker_;
  UniqueHandle workerThread_;

  HWND hwnd_ = nullptr;
  HWND Label1 = nullptr;
  HWND btnSupport = nullptr;
  HWND btnAbout = nullptr;
  HWND busyImage_ = nullptr;
  UniqueGdiObject font_;
  UniqueGdiObject frames_[2];
  int frame_ = 1;  // the animation starts with the second frame
  bool animating_ = false;
  bool closing_ = false;
  bool watchdogOn_ = false;
  bool rearmWatchdog_ = false;  // the watchdog was on when the running command was taken
  bool shutdownBlocked_ = false;
  // Left by the worker for the window: the serial of the pass that ended (bit 32 set), and the
  // robot's name in the worker's own RobotNames.
  std::atomic<uint64_t> endedPass_{0};
  std::atomic<const char*> robotName_{nullptr};
};

// The one main window of the program, and the worker thread's entry routine.
extern TForm1 Form1;
DWORD WINAPI RobotThreadProc(LPVOID unused);

}  // namespace station

#endif  // STATION_MAIN_H
