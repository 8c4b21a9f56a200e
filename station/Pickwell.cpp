// Program entry of the robot station: one instance per desktop, main window and About window,
// message loop. No command line is read; the exit code is always 0.
#include <exception>

#include "About.h"
#include "Main.h"
#include "StationProtocol.h"

namespace {

int RunStation(HINSTANCE instance) {
  if (!station::Form1.Create(instance)) return 0;
  station::frmAbout.Create(instance);
  ShowWindow(station::Form1.Handle(), SW_SHOWNOACTIVATE);
  UpdateWindow(station::Form1.Handle());
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(station::Form1.Handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (FindWindowA(nullptr, station::kWindowTitle)) return 0;
  try {
    RunStation(instance);
  } catch (const std::exception& error) {
    MessageBoxA(nullptr, error.what(), station::kWindowTitle, MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxA(nullptr, "", station::kWindowTitle, MB_OK | MB_ICONERROR);
  }
  return 0;
}
