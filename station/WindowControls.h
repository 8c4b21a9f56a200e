// WindowControls.h - small helpers that build the station's windows: fonts, child controls,
// the window size for a wanted client area, and the application-wide cursor.
#ifndef STATION_WINDOWCONTROLS_H
#define STATION_WINDOWCONTROLS_H

#include "StationWindows.h"

namespace station {

// Arial with the given character height in pixels.
UniqueGdiObject CreateArialFont(int characterHeight, bool underline = false);

// A child control at client coordinates, with the font set; null on failure.
HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, int x, int y,
                 int width, int height, int id, HFONT font);

// A static text control made with the wide API, for text that must not depend on the code page.
HWND CreateWideLabel(HWND parent, const wchar_t* text, DWORD style, int x, int y, int width, int height,
                     HFONT font);

// Width and height in pixels that text needs in the given font.
SIZE MeasureText(HWND window, HFONT font, const char* text);
SIZE MeasureText(HWND window, HFONT font, const wchar_t* text);

// Outer window size for a client area of the given size with the given styles.
SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle);

// The application-wide cursor: when set, every station window shows it whatever the pointer
// is over, until it is set again. Null hands the choice back to each window.
void SetApplicationCursor(HCURSOR cursor);
HCURSOR ApplicationCursor();

}  // namespace station

#endif  // STATION_WINDOWCONTROLS_H
