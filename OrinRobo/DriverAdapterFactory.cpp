#include "OrinRobo/DriverAdapterFactory.h"

#include <new>

#include "OrinRobo/CRoboDriverAdapter1.h"
#include "OrinRobo/CRoboDriverAdapter3.h"
#include "OrinRobo/CRoboFirmwareCheckAdapter4.h"

IRoboDriver* MakeDriverAdapter(uint32_t interfaceVersion, IRoboDriverV1* object) {
  if (object == nullptr) return nullptr;
  switch (interfaceVersion) {
    case 1:
      return new (std::nothrow) CRoboDriverAdapter1(object);
    case 2:
    case 3:
      // A version 2 or 3 library hands out that layout behind the version 1 pointer type.
      return new (std::nothrow) CRoboDriverAdapter3(static_cast<IRoboDriverV3*>(object));
    default:
      return nullptr;
  }
}

IRoboFirmwareCheck* MakeFirmwareCheckAdapter(uint32_t interfaceVersion, IRoboFirmwareCheckV4* object) {
  if (object == nullptr || interfaceVersion != 4) return nullptr;
  return new (std::nothrow) CRoboFirmwareCheckAdapter4(object);
}
