// A process that only waits: the end-to-end tests copy it under a name that holds the host
// marker to play the host for the station's watchdog. Waits the given milliseconds (at most two
// minutes, 30 s by default).
#include <cstdlib>

#include "StationWindows.h"

int main(int argc, char** argv) {
  long ms = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 30000;
  if (ms < 0) ms = 0;
  if (ms > 120000) ms = 120000;
  Sleep(static_cast<DWORD>(ms));
  return 0;
}
