// station_ui_probe: drives the station's windows from outside for scripts (screenshots).
//   station_ui_probe wait-name <ms>   wait until the status label shows a robot name
//   station_ui_probe about            press "About" and wait until the About window shows
//   station_ui_probe close-about      press "Close" in the About window and wait until it hides
// Exit code 0 on success, 1 when the station or the window did not answer in time.
#include <cstdlib>
#include <cstring>

#include "ControlIds.h"
#include "StationProtocol.h"
#include "StationWindows.h"

namespace {

template <class Done>
bool Poll(DWORD timeoutMs, Done done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HWND window = nullptr;
  if (!Poll(10000, [&] { return (window = FindWindowA(nullptr, station::kWindowTitle)) != nullptr; })) return 1;
  if (std::strcmp(argv[1], "wait-name") == 0) {
    const DWORD timeout = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 10000;
    return Poll(timeout, [&] {
      char text[64] = {};
      GetWindowTextA(GetDlgItem(window, station::kIdLabel1), text, sizeof text);
      return text[0] != '\0';
    }) ? 0 : 1;
  }
  if (std::strcmp(argv[1], "about") == 0) {
    PostMessageA(GetDlgItem(window, station::kIdAbout), BM_CLICK, 0, 0);
    return Poll(10000, [] {
      HWND about = FindWindowA("TfrmAbout", nullptr);
      return about && IsWindowVisible(about);
    }) ? 0 : 1;
  }
  if (std::strcmp(argv[1], "close-about") == 0) {
    HWND about = FindWindowA("TfrmAbout", nullptr);
    if (!about) return 1;
    PostMessageA(FindWindowExA(about, nullptr, "Button", "Close"), BM_CLICK, 0, 0);
    return Poll(10000, [&] { return !IsWindowVisible(about); }) ? 0 : 1;
  }
  return 2;
}
