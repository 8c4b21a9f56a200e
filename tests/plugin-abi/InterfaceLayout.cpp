// Every boundary interface is one vtable pointer and nothing else, in both flavours: a host's
// compiler sees the same object whatever the pointer width.
#include <orinrobo/OrinRoboSdk.h>

static_assert(sizeof(IRoboManager) == sizeof(void*), "manager: vtable pointer only");
static_assert(sizeof(IRoboManager2) == sizeof(void*), "manager 2: vtable pointer only");
static_assert(sizeof(IRoboDriverInfo) == sizeof(void*), "entry: vtable pointer only");
static_assert(sizeof(IRoboDriverV1) == sizeof(void*), "driver V1: vtable pointer only");
static_assert(sizeof(IRoboDriver) == sizeof(void*), "driver: vtable pointer only");
static_assert(sizeof(IRoboFirmwareCheckV4) == sizeof(void*), "firmware check V4: vtable pointer only");
static_assert(sizeof(IRoboFirmwareCheck) == sizeof(void*), "firmware check: vtable pointer only");
// Values that cross the boundary as 32-bit stay 32-bit in the 64-bit flavour.
static_assert(sizeof(OrinArg) == 4, "driver arguments are 32-bit");
