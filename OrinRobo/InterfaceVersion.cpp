#include "OrinRobo/InterfaceVersion.h"

namespace {
uint32_t g_hostInterfaceVersion = 4;
}

uint32_t GetHostInterfaceVersion() { return g_hostInterfaceVersion; }

void SetHostInterfaceVersion(uint32_t version) {
  if (version <= 4) g_hostInterfaceVersion = version;
}

uint32_t MapInterfaceVersion(uint32_t highest) {
  switch (g_hostInterfaceVersion) {
    case 0:
    case 1:
      return 2;
    case 2:
      return 3;
    case 3:
      return 4;
    default:
      return highest;
  }
}
