// About.h - the About window frmAbout: banner, product and version, notice line, a link to the
// maker's web site and a "Close" button. Created hidden at start, shown modally on request.
#ifndef STATION_ABOUT_H
#define STATION_ABOUT_H

#include "StationWindows.h"

namespace station {

class TfrmAbout {
 public:
  static constexpr int kClientWidth = 320;
  static constexpr int kClientHeight = 261;

  TfrmAbout() = default;
  TfrmAbout(const TfrmAbout&) = delete;
  TfrmAbout& operator=(const TfrmAbout&) = delete;

  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }

  // Shows the window over owner, which is disabled meanwhile, and returns once it is hidden.
  void ShowModal(HWND owner);
  void Hide();

  void Label4Click();
  void Label4MouseMove();
  void FormMouseMove();
  void Button1Click();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND AddLabel(const char* text, int x, int y, HFONT font, DWORD extraStyle);

  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  HWND Image1 = nullptr;
  HWND Label1 = nullptr;
  HWND Label2 = nullptr;
  HWND Label3 = nullptr;
  HWND Label4 = nullptr;
  HWND Button1 = nullptr;
  UniqueGdiObject font13_;
  UniqueGdiObject linkFont_;
  UniqueGdiObject banner_;
  bool modal_ = false;
};

extern TfrmAbout frmAbout;

}  // namespace station

#endif  // STATION_ABOUT_H
