// CRoboFirmwareCheckAdapter4: shows a firmware-check object of interface version 4 (three
// operations and the destructor) to the host with the full layout. Owns the wrapped object.
#ifndef ORINROBO_CROBOFIRMWARECHECKADAPTER4_H
#define ORINROBO_CROBOFIRMWARECHECKADAPTER4_H

#include "OrinRobo/CRoboFirmwareCheckBase.h"

class CRoboFirmwareCheckAdapter4 final : public CRoboFirmwareCheckBase {
 public:
  explicit CRoboFirmwareCheckAdapter4(IRoboFirmwareCheckV4* check) : check_(check) {}
  ~CRoboFirmwareCheckAdapter4();  // destroys the wrapped object through its own destructor
  ORIN_DELETING_DESTRUCTOR(CRoboFirmwareCheckAdapter4)
  CRoboFirmwareCheckAdapter4(const CRoboFirmwareCheckAdapter4&) = delete;
  CRoboFirmwareCheckAdapter4& operator=(const CRoboFirmwareCheckAdapter4&) = delete;

  // Forward, or answer 0 / false without a wrapped object.
  int ORIN_METHOD GetFirmwareVersion() override;
  bool ORIN_METHOD IsDriveSupported(OrinArg drive) override;
  bool ORIN_METHOD IsFirmwareSupported(OrinArg firmware) override;
  // The version 4 object does not know it.
  int ORIN_METHOD GetRequiredFirmware() override { return 0; }

 private:
  IRoboFirmwareCheckV4* check_;  // owned, may be null
};

#endif  // ORINROBO_CROBOFIRMWARECHECKADAPTER4_H
