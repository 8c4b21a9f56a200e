// SetupWindows.h - <windows.h> with the settings the installer's custom actions share: they run
// on Vista and later, where Windows Installer 4.5 and the registry calls they use exist.
#ifndef INSTALLER_SETUPWINDOWS_H
#define INSTALLER_SETUPWINDOWS_H

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif
#include "station/StationWindows.h"

#endif  // INSTALLER_SETUPWINDOWS_H
