#include "LibraryProbe.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <orinrobo/OrinRoboSdk.h>

#include "OrinRobo/InterfaceVersion.h"

namespace {
template <class Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
}  // namespace

bool LibraryFacts::Catalogued() const {
  return loaded && hasNameEntry && hasVersion && hasInterfaceVersion && interfaceVersion <= kHighestDriverInterfaceVersion;
}

LibraryFacts ProbeLibrary(const char* path, unsigned hostVersion, const void* skipModule) {
  LibraryFacts facts;
  if (path == nullptr) return facts;
  const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE library = ::LoadLibraryA(path);
  ::SetErrorMode(previousMode);
  if (library == nullptr) return facts;
  if (library == skipModule) {
    ::FreeLibrary(library);
    return facts;
  }
  facts.loaded = true;
  SetHostInterfaceVersion(hostVersion);
  if (auto set = Entry<ORIN_PFN_DriverSetInterfaceVersion>(library, "ORIN_PLUGIN_SetInterfaceVersion")) {
    set(MapInterfaceVersion(kHighestDriverInterfaceVersion));
  }
  if (auto getName = Entry<ORIN_PFN_DriverGetPluginName>(library, "ORIN_PLUGIN_GetPluginName")) {
    facts.hasNameEntry = true;
    const char* name = getName();
    facts.hasName = name != nullptr;
    if (name) facts.name = name;
  }
  if (auto getVersion = Entry<ORIN_PFN_DriverGetVersion>(library, "ORIN_PLUGIN_GetVersion")) {
    facts.hasVersion = true;
    facts.version = getVersion();
  }
  if (auto getInterface = Entry<ORIN_PFN_DriverGetInterfaceVersion>(library, "ORIN_PLUGIN_GetInterfaceVersion")) {
    facts.hasInterfaceVersion = true;
    facts.interfaceVersion = getInterface();
  }
  ::FreeLibrary(library);
  return facts;
}
