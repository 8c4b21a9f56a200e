#include "WindowControls.h"

namespace station {
namespace {
HCURSOR g_applicationCursor = nullptr;
}

UniqueGdiObject CreateArialFont(int characterHeight, bool underline) {
  // A negative height asks for the character height rather than the cell height.
  return UniqueGdiObject(CreateFontA(-characterHeight, 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE,
                                     ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial"));
}

HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, int x, int y,
                 int width, int height, int id, HFONT font) {
  HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                               nullptr);
  if (child && font) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

HWND CreateWideLabel(HWND parent, const wchar_t* text, DWORD style, int x, int y, int width, int height,
                     HFONT font) {
  HWND child = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                               nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                               nullptr);
  if (child && font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

SIZE MeasureText(HWND window, HFONT font, const wchar_t* text) {
  SIZE size = {0, 0};
  HDC dc = GetDC(window);
  if (!dc) return size;
  HGDIOBJ old = SelectObject(dc, font);
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size;
}

SIZE MeasureText(HWND window, HFONT font, const char* text) {
  SIZE size = {0, 0};
  HDC dc = GetDC(window);
  if (!dc) return size;
  HGDIOBJ old = SelectObject(dc, font);
  GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size;
}

SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
  RECT rect = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void SetApplicationCursor(HCURSOR cursor) {
  g_applicationCursor = cursor;
  if (cursor) SetCursor(cursor);
}

HCURSOR ApplicationCursor() { return g_applicationCursor; }

}  // namespace station
