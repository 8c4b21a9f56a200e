#include "StationWindow.h"

#include "station/StationProtocol.h"

namespace setup {

HWND FindStationWindow() { return FindWindowA(station::kWindowClass, station::kWindowTitle); }

StationClose CloseStation(DWORD timeoutMs) {
  const HWND window = FindStationWindow();
  if (!window) return StationClose::NotRunning;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  station::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (!PostMessageA(window, WM_CLOSE, 0, 0)) return StationClose::StillRunning;
  // The files can only go once the process has ended; its window closes a moment earlier.
  if (process) {
    return WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0 ? StationClose::Closed
                                                                          : StationClose::StillRunning;
  }
  const DWORD start = GetTickCount();
  while (IsWindow(window)) {
    if (GetTickCount() - start > timeoutMs) return StationClose::StillRunning;
    Sleep(100);
  }
  return StationClose::Closed;
}

}  // namespace setup
