#include "OrinRobo/CRoboDriverAdapter3.h"

CRoboDriverAdapter3::~CRoboDriverAdapter3() {
  OrinDestroy(driver_);
  driver_ = nullptr;
  extension_ = nullptr;
}

int ORIN_METHOD CRoboDriverAdapter3::Initialize() { return driver_ ? driver_->Initialize() : 0; }
int ORIN_METHOD CRoboDriverAdapter3::Shutdown() { return driver_ ? driver_->Shutdown() : 0; }
int ORIN_METHOD CRoboDriverAdapter3::LoadDisc() { return driver_ ? driver_->LoadDisc() : 0; }
int ORIN_METHOD CRoboDriverAdapter3::UnloadDisc() { return driver_ ? driver_->UnloadDisc() : 0; }
int ORIN_METHOD CRoboDriverAdapter3::QueryStatus() { return driver_ ? driver_->QueryStatus() : 0; }
int ORIN_METHOD CRoboDriverAdapter3::Reset() { return driver_ ? driver_->Reset() : 0; }
int ORIN_METHOD CRoboDriverAdapter3::Park() { return driver_ ? driver_->Park() : 0; }
int ORIN_METHOD CRoboDriverAdapter3::SelfTest() { return driver_ ? driver_->SelfTest() : 0; }
int ORIN_METHOD CRoboDriverAdapter3::GetBinCount() {
  return extension_ ? extension_->GetBinCount() : 0;
}
