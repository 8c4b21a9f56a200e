// SimConfig.h - what the robot simulator is told to do, read from the INI file beside it.
#ifndef VTROBOTS_SIM_SIMCONFIG_H
#define VTROBOTS_SIM_SIMCONFIG_H

#include <string>

#include "vtrobots/VTRobots.h"

namespace vtsim {

// The library calls, in the order of the results table of the INI file.
enum class Call { Init, Connect, GetRobotInfo, Active, GetMessage, EnumDrives, LoadDrive,
                  UnloadDrive, Park, Close, Count };

const char* CallName(Call call);  // "VT_Robots_Init", ...

struct SimConfig {
  int robotCount = 1;                                  // 0..26
  std::string names[VT_ROBOTS_MAX_ROBOTS];             // each at most 255 characters
  char driveLetter = 'E';                              // A..Z
  VtResult results[static_cast<int>(Call::Count)] = {};  // what each call answers
  int connectDelayMs = 0;                              // 0..600000
  int loadDelayMs = 0;                                 // 0..600000
  int unloadDelayMs = 0;                               // 0..600000
  std::string logPath;                                 // empty: no log
  Call hang = Call::Count;                             // this call never returns; Count: none
  bool held[static_cast<int>(Call::Count)] = {};       // these calls wait for a release
  std::string releaseSemaphore;                        // each count releases one held call

  VtResult ResultOf(Call call) const { return results[static_cast<int>(call)]; }
  bool IsHeld(Call call) const { return held[static_cast<int>(call)]; }
};

// Reads iniPath; missing keys keep their defaults, values out of range are clamped, and values
// that are no number at all keep the default. A relative log path is taken from baseFolder.
SimConfig LoadSimConfig(const std::string& iniPath, const std::string& baseFolder);

}  // namespace vtsim

#endif  // VTROBOTS_SIM_SIMCONFIG_H
