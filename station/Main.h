// Main.h - the station's main window Form1: the status label, the "Support" and "About"
// buttons, the busy animation, the host watchdog timer, the command message and the close
// sequence. It owns the robot worker and its thread.
#ifndef STATION_MAIN_H
#define STATION_MAIN_H

#include "RobotLibrary.h"
#include "RobotWorker.h"
#include "StationWindows.h"
#include "StatusRegistry.h"

namespace station {

// Private messages from the worker, acted on by the window thread.
constexpr UINT kWmWorkerStopAnimation = WM_APP + 1;  // WParam: the command serial of the pass
constexpr UINT kWmWorkerShowName = WM_APP + 2;  // LParam: const char* that outlives the window

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

  void FormCreate();
  void FormClose();
  // Answers kAnswerTaken or kAnswerNotTaken.
  LRESULT RobotCommand(WPARAM code);
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
  void HaltWorker();
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
};

// The one main window of the program, and the worker thread's entry routine.
extern TForm1 Form1;
DWORD WINAPI RobotThreadProc(LPVOID unused);

}  // namespace station

#endif  // STATION_MAIN_H
