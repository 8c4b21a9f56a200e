#include "OrinRobo/CRoboDriverAdapter1.h"

CRoboDriverAdapter1::~CRoboDriverAdapter1() {
  OrinDestroy(driver_);
  driver_ = nullptr;
}

int ORIN_METHOD CRoboDriverAdapter1::Initialize() { return driver_ ? driver_->Initialize() : 0; }
int ORIN_METHOD CRoboDriverAdapter1::Shutdown() { return driver_ ? driver_->Shutdown() : 0; }
int ORIN_METHOD CRoboDriverAdapter1::LoadDisc() { return driver_ ? driver_->LoadDisc() : 0; }
int ORIN_METHOD CRoboDriverAdapter1::UnloadDisc() { return driver_ ? driver_->UnloadDisc() : 0; }
int ORIN_METHOD CRoboDriverAdapter1::QueryStatus() { return driver_ ? driver_->QueryStatus() : 0; }
int ORIN_METHOD CRoboDriverAdapter1::Reset() { return driver_ ? driver_->Reset() : 0; }
int ORIN_METHOD CRoboDriverAdapter1::Park() { return driver_ ? driver_->Park() : 0; }
int ORIN_METHOD CRoboDriverAdapter1::SelfTest() { return driver_ ? driver_->SelfTest() : 0; }
