#include "About.h"

#include <shellapi.h>

#include "SupportMail.h"
#include "WindowControls.h"
#include "resource.h"

namespace station {

TfrmAbout frmAbout;

namespace {

constexpr const char* kClassName = "TfrmAbout";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Wide text: as an ANSI byte the sign reads as another character under code pages 932 and 949.
constexpr const wchar_t* kNotice = L"Copyright \u00A9 2026";

enum ControlId { kIdImage1 = 200, kIdLabel1, kIdLabel2, kIdLabel3, kIdLabel4, kIdButton1 };

}  // namespace

bool TfrmAbout::Create(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &TfrmAbout::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExA(&windowClass)) return false;

  const SIZE size = WindowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
  hwnd_ = CreateWindowExA(kExStyle, kClassName, "About", kStyle, left, top, size.cx, size.cy,
                          nullptr, nullptr, instance, this);
  if (!hwnd_) return false;

  font13_ = CreateArialFont(13);
  linkFont_ = CreateArialFont(12, true);
  HFONT font13 = static_cast<HFONT>(font13_.get());
  banner_.reset(LoadImageA(instance, MAKEINTRESOURCEA(IDB_ABOUT_BANNER), IMAGE_BITMAP, 0, 0, 0));

  Image1 = CreateChild(hwnd_, "STATIC", "", SS_BITMAP, 0, 0, 320, 70, kIdImage1, nullptr);
  if (Image1) {
    SendMessageA(Image1, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner_.get()));
    MoveWindow(Image1, 0, 0, 320, 70, FALSE);
  }
  Label1 = AddLabel("Kelvora", 16, 88, font13, 0);
  Label2 = AddLabel("Version : 2.2.0.1", 16, 112, font13, 0);
  const SIZE notice = MeasureText(hwnd_, font13, kNotice);
  Label3 = CreateWideLabel(hwnd_, kNotice, SS_LEFT | SS_NOPREFIX, 16, 136, notice.cx, notice.cy, font13);
  // SS_NOTIFY makes the link receive the pointer and clicks; the other labels let them through.
  Label4 = AddLabel("Vantrel Systems Inc.", 136, 136, static_cast<HFONT>(linkFont_.get()), SS_NOTIFY);
  Button1 = CreateChild(hwnd_, "BUTTON", "Close", BS_DEFPUSHBUTTON | WS_TABSTOP, 120, 224, 75, 25,
                        kIdButton1, font13);
  return Image1 && Label1 && Label2 && Label3 && Label4 && Button1;
}

HWND TfrmAbout::AddLabel(const char* text, int x, int y, HFONT font, DWORD extraStyle) {
  const SIZE size = MeasureText(hwnd_, font, text);
  return CreateChild(hwnd_, "STATIC", text, SS_LEFT | SS_NOPREFIX | extraStyle, x, y, size.cx, size.cy,
                     0, font);
}

void TfrmAbout::ShowModal(HWND owner) {
  if (!hwnd_ || modal_) return;
  modal_ = true;
  owner_ = owner;
  SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetFocus(Button1);
  MSG message;
  while (IsWindowVisible(hwnd_)) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the main loop
      break;
    }
    if (got < 0) break;
    if (!IsDialogMessageA(hwnd_, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  Hide();
  modal_ = false;
}

void TfrmAbout::Hide() {
  if (!hwnd_) return;
  // The owner is enabled first, so that the system hands activation back to it.
  if (owner_ && IsWindow(owner_)) EnableWindow(owner_, TRUE);
  ShowWindow(hwnd_, SW_HIDE);
  owner_ = nullptr;
  SetApplicationCursor(nullptr);
}

void TfrmAbout::Label4Click() { ShellExecuteA(nullptr, "open", kMakerWebSite, "", "", SW_SHOW); }

void TfrmAbout::Label4MouseMove() { SetApplicationCursor(LoadCursorA(nullptr, IDC_HAND)); }

void TfrmAbout::FormMouseMove() { SetApplicationCursor(nullptr); }

void TfrmAbout::Button1Click() { Hide(); }

LRESULT CALLBACK TfrmAbout::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<TfrmAbout*>(create->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TfrmAbout*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT TfrmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdButton1 || LOWORD(wParam) == IDCANCEL) {
        Button1Click();
        return 0;
      }
      if (reinterpret_cast<HWND>(lParam) == Label4 && HIWORD(wParam) == STN_CLICKED) {
        Label4Click();
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, reinterpret_cast<HWND>(lParam) == Label4 ? RGB(0, 0, 255)
                                                               : GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (HIWORD(lParam) == WM_MOUSEMOVE) {
        const HWND over = reinterpret_cast<HWND>(wParam);
        if (over == Label4)
          Label4MouseMove();
        else if (over == hwnd_ && LOWORD(lParam) == HTCLIENT)
          FormMouseMove();
      }
      if (ApplicationCursor()) {
        SetCursor(ApplicationCursor());
        return TRUE;
      }
      break;
    case WM_CLOSE:
      Hide();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace station
