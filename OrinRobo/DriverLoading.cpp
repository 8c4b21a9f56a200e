// Catalogue building and driver-object creation. Discovery and creation are not wired in yet:
// the catalogue stays empty and every request answers as a miss.
#include "OrinRobo/COrinRoboManager.h"

void ORIN_METHOD COrinRoboManager::Refresh() { catalogue_.Clear(); }

IRoboDriver* ORIN_METHOD COrinRoboManager::CreateDriver(IRoboDriverInfo*, OrinArg) { return nullptr; }

IRoboDriver* ORIN_METHOD COrinRoboManager::CreateDriverV2(IRoboDriverInfo*, OrinArg, OrinArg) {
  return nullptr;
}

int ORIN_METHOD COrinRoboManager::ConfigureDriver(IRoboDriverInfo*, OrinArg) { return 0; }

int ORIN_METHOD COrinRoboManager::ConfigureDriverV2(IRoboDriverInfo*, OrinArg, OrinArg) { return 0; }

IRoboFirmwareCheck* ORIN_METHOD COrinRoboManager::CreateFirmwareCheck(IRoboDriverInfo*, OrinArg) {
  return nullptr;
}
