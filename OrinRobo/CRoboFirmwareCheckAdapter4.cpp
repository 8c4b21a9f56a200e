#include "OrinRobo/CRoboFirmwareCheckAdapter4.h"

CRoboFirmwareCheckAdapter4::~CRoboFirmwareCheckAdapter4() {
  OrinDestroy(check_);
  check_ = nullptr;
}

int ORIN_METHOD CRoboFirmwareCheckAdapter4::GetFirmwareVersion() {
  return check_ ? check_->GetFirmwareVersion() : 0;
}

bool ORIN_METHOD CRoboFirmwareCheckAdapter4::IsDriveSupported(OrinArg drive) {
  return check_ ? check_->IsDriveSupported(drive) : false;
}

bool ORIN_METHOD CRoboFirmwareCheckAdapter4::IsFirmwareSupported(OrinArg firmware) {
  return check_ ? check_->IsFirmwareSupported(firmware) : false;
}
