#include "OrinRobo/DriverLibrary.h"

#include "OrinRobo/InterfaceVersion.h"

bool DriverLibrary::Load(const char* path) {
  module_.reset();
  getInterfaceVersion_ = nullptr;
  if (path == nullptr) return false;
  const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = ::LoadLibraryA(path);
  ::SetErrorMode(previousMode);
  module_.reset(module);
  return module_.valid();
}

void DriverLibrary::Announce() {
  getInterfaceVersion_ = Entry<ORIN_PFN_DriverGetInterfaceVersion>("ORIN_PLUGIN_GetInterfaceVersion");
  auto setInterfaceVersion =
      Entry<ORIN_PFN_DriverSetInterfaceVersion>("ORIN_PLUGIN_SetInterfaceVersion");
  if (setInterfaceVersion) setInterfaceVersion(MapInterfaceVersion(kHighestDriverInterfaceVersion));
}

uint32_t DriverLibrary::InterfaceVersion() const {
  return getInterfaceVersion_ ? getInterfaceVersion_() : 0;
}

void DriverLibrary::KeepIn(ModuleList& modules) {
  modules.Append(module_.release());
  getInterfaceVersion_ = nullptr;
}

int DriverLibrary::Release() {
  getInterfaceVersion_ = nullptr;
  if (!module_.valid()) return 0;
  return ::FreeLibrary(module_.release()) ? 1 : 0;
}
