// The eight exports a host finds by name (see OrinRobo.def), and the library's load entry.
#include <orinrobo/OrinRoboSdk.h>

#include "OrinRobo/COrinRoboManager.h"
#include "OrinRobo/InterfaceVersion.h"

namespace {
const char kPluginTypeName[] = ORIN_PLUGIN_TYPE_NAME;
}

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

int ORIN_CDECL ORIN_PLUGIN_GetVersion(void) { return ORIN_PLUGIN_VERSION; }

unsigned ORIN_CDECL ORIN_PLUGIN_GetInterfaceVersion(void) { return GetHostInterfaceVersion(); }

void ORIN_CDECL ORIN_PLUGIN_SetInterfaceVersion(unsigned version) {
  SetHostInterfaceVersion(version);
}

const char* ORIN_CDECL ORIN_PLUGIN_GetPluginType(void) { return kPluginTypeName; }

const char* ORIN_CDECL ORIN_PLUGIN_GetPluginName(void) { return kPluginTypeName; }

// Accepted and ignored; __cdecl leaves whatever the host pushed for the host to pop.
void ORIN_CDECL ORIN_PLUGIN_SetVendorInformations(const void*) {}

IRoboManager2* ORIN_CDECL CreateOrinRoboManager(const char* driverDirectory) {
  return COrinRoboManager::Create(driverDirectory);
}

void ORIN_CDECL ReleaseOrinRoboManager(IRoboManager* manager) { OrinDestroy(manager); }

}  // extern "C"
