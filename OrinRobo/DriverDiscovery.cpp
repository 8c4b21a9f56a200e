// Refresh: the catalogue of the driver libraries ("OR*.DLL") in the driver directory, one entry
// per plug-in name, the newest version winning. Every library is loaded once and released again.
#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "OrinRobo/COrinRoboManager.h"
#include "OrinRobo/CPortableString.h"
#include "OrinRobo/DriverLibrary.h"
#include "OrinRobo/InterfaceVersion.h"

namespace {
constexpr char kDriverPattern[] = "OR*.DLL";

// The module this code runs in: OrinRobo.dll itself, which a folder may hold beside its drivers.
HMODULE OwnModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnModule), &module);
  return module;
}
}  // namespace

void ORIN_METHOD COrinRoboManager::Refresh() {
  catalogue_.Clear();
  CPortableFindFile* find = nullptr;
  {
    // The path object is needed only to start the enumeration.
    CPortablePath directory(directory_ ? directory_ : "", PortablePathReadWrite);
    find = directory.Find(kDriverPattern, 0, 0, 0, 0);
  }
  if (find == nullptr) return;
  for (; find->IsValid(); find->Next()) {
    CPortablePath* match = find->GetCurrentPath();
    if (match != nullptr) CatalogueLibrary(match->GetText());
  }
  delete find;
}

void COrinRoboManager::CatalogueLibrary(const char* matchPath) {
  // The enumeration's text changes as it advances; the entry keeps this copy.
  const CPortableString path(matchPath);
  DriverLibrary library;
  if (!library.Load(path.Text())) return;
  // The plug-in is no driver: cataloguing it would also let its own SetInterfaceVersion export
  // overwrite the version the host announced.
  if (library.Module() == OwnModule()) return;

  auto getName = library.Entry<ORIN_PFN_DriverGetPluginName>("ORIN_PLUGIN_GetPluginName");
  auto getVersion = library.Entry<ORIN_PFN_DriverGetVersion>("ORIN_PLUGIN_GetVersion");
  library.Announce();  // told even when the library is then passed over
  const bool hasConfigure =
      library.Entry<ORIN_PFN_ConfigureDriver>("orinrobodriver_configuredriver") != nullptr;
  if (getName == nullptr || getVersion == nullptr || !library.HasInterfaceVersion()) return;
  if (!IsKnownDriverInterfaceVersion(library.InterfaceVersion())) return;

  const char* name = getName();
  const uint32_t version = getVersion();
  catalogue_.Offer(name, version, hasConfigure ? 1 : 0, path.Text());
}
