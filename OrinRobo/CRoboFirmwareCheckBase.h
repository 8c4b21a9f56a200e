// CRoboFirmwareCheckBase: the firmware-check layout the host receives, for adapters to build on.
#ifndef ORINROBO_CROBOFIRMWARECHECKBASE_H
#define ORINROBO_CROBOFIRMWARECHECKBASE_H

#include <orinrobo/OrinRoboSdk.h>

class CRoboFirmwareCheckBase : public IRoboFirmwareCheck {
 protected:
  CRoboFirmwareCheckBase() = default;
  ~CRoboFirmwareCheckBase() = default;
};

#endif  // ORINROBO_CROBOFIRMWARECHECKBASE_H
