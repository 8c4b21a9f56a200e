// StationWindow.h - the running station as the installer meets it: its main window, and its own
// close sequence (the station parks the robot when that window closes).
#ifndef INSTALLER_STATIONWINDOW_H
#define INSTALLER_STATIONWINDOW_H

#include "SetupWindows.h"

namespace setup {

// The station's main window on this desktop, or null.
HWND FindStationWindow();

enum class StationClose { NotRunning, Closed, StillRunning };

// Asks a running station to close as its user would, and waits up to timeoutMs for its process
// to end.
StationClose CloseStation(DWORD timeoutMs);

}  // namespace setup

#endif  // INSTALLER_STATIONWINDOW_H
