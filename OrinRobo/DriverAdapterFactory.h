// Wrapping of driver objects and firmware-check objects of older interface versions in the
// layout the host expects.
#ifndef ORINROBO_DRIVERADAPTERFACTORY_H
#define ORINROBO_DRIVERADAPTERFACTORY_H

#include <orinrobo/OrinRoboSdk.h>

// Version 1 gives a CRoboDriverAdapter1, 2 and 3 a CRoboDriverAdapter3, each owning object.
// Null for a null object, any other version, or no memory; object is then left untouched.
IRoboDriver* MakeDriverAdapter(uint32_t interfaceVersion, IRoboDriverV1* object);

// Version 4 gives a CRoboFirmwareCheckAdapter4 owning object. Null for a null object, any other
// version, or no memory; object is then left untouched.
IRoboFirmwareCheck* MakeFirmwareCheckAdapter(uint32_t interfaceVersion, IRoboFirmwareCheckV4* object);

#endif  // ORINROBO_DRIVERADAPTERFACTORY_H
