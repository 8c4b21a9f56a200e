// FakeRobotLibrary.h - a robot-control library for worker tests: records every call with its
// arguments, answers as the test says, and can hold a load until the test lets it go.
#ifndef TESTS_STATION_FAKEROBOTLIBRARY_H
#define TESTS_STATION_FAKEROBOTLIBRARY_H

#include <string>
#include <vector>

#include "RobotLibrary.h"

namespace fake_robots {

constexpr VtRobotHandle kFirstHandle = 0x700;

struct Settings {
  int32_t robotCount = 1;     // what Connect reports (may be out of range on purpose)
  VtResult init = 0;
  VtResult active = 0;
  VtResult load = 0;
  VtResult unload = 0;
  char drive = 'E';
  bool holdLoads = false;     // LoadDrive waits for Release() (bounded)
};

// Resets the recorder and applies settings.
void Reset(const Settings& settings);
const station::RobotLibrary& Library();

// Calls so far, e.g. "LoadDrive('E',0,1,0)", "GetRobotInfo(1792,256)".
std::vector<std::string> Calls();
// True when two calls ever ran at the same time.
bool SawOverlap();
// Waits until a held load has begun; false after timeoutMs.
bool WaitForHeldLoad(unsigned timeoutMs);
void Release();

}  // namespace fake_robots

#endif  // TESTS_STATION_FAKEROBOTLIBRARY_H
