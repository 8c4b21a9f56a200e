// Refresh: the catalogue of the driver libraries ("OR*.DLL") in the driver directory, one entry
// per plug-in name, the newest version winning. Every library is loaded once and released again.
#include <cstring>

#include "OrinRobo/COrinRoboManager.h"
#include "OrinRobo/CPortableString.h"
#include "OrinRobo/DriverLibrary.h"
#include "OrinRobo/InterfaceVersion.h"

namespace {

constexpr char kDriverPattern[] = "OR*.DLL";

// Calls visit(fullPath) for each match of the pattern in directory, in the system's order.
template <class Visit>
void ForEachDriverFile(const char* directory, Visit visit) {
  char fullDirectory[MAX_PATH];
  const DWORD length = ::GetFullPathNameA(*directory ? directory : ".", MAX_PATH, fullDirectory, nullptr);
  if (length == 0 || length >= MAX_PATH) return;
  CPortableString base(fullDirectory);
  if (base.Length() > 0 && base.Text()[base.Length() - 1] != '\\') base.Append("\\");
  CPortableString pattern = base;
  pattern.Append(kDriverPattern);
  WIN32_FIND_DATAA data;
  orin::UniqueFindHandle find(::FindFirstFileA(pattern.Text(), &data));
  if (!find.valid()) return;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    CPortableString path = base;
    path.Append(data.cFileName);
    visit(path.Text());
  } while (::FindNextFileA(find.get(), &data));
}

}  // namespace

void ORIN_METHOD COrinRoboManager::Refresh() {
  catalogue_.Clear();
  ForEachDriverFile(directory_ ? directory_ : "", [this](const char* path) { CatalogueLibrary(path); });
}

void COrinRoboManager::CatalogueLibrary(const char* matchPath) {
  // The enumeration's text changes as it advances; the entry keeps this copy.
  const CPortableString path(matchPath);
  DriverLibrary library;
  if (!library.Load(path.Text())) return;

  auto getName = library.Entry<ORIN_PFN_DriverGetPluginName>("ORIN_PLUGIN_GetPluginName");
  auto getVersion = library.Entry<ORIN_PFN_DriverGetVersion>("ORIN_PLUGIN_GetVersion");
  library.Announce();  // told even when the library is then passed over
  const bool hasConfigure =
      library.Entry<ORIN_PFN_ConfigureDriver>("orinrobodriver_configuredriver") != nullptr;
  if (getName == nullptr || getVersion == nullptr || !library.HasInterfaceVersion()) return;
  if (library.InterfaceVersion() > kHighestDriverInterfaceVersion) return;

  const char* name = getName();
  int found = -1;
  if (name != nullptr) {
    for (int i = 0; i < catalogue_.Count(); ++i) {
      const char* entryName = catalogue_.At(i)->Name();
      if (entryName != nullptr && std::strcmp(entryName, name) == 0) {
        found = i;
        break;
      }
    }
  }
  const uint32_t version = getVersion();
  if (found >= 0 && version <= catalogue_.At(found)->Version()) return;

  // Copied before anything moves: name may point into the library, which is still loaded.
  const CRoboDriverInfo entry(name, version, hasConfigure ? 1 : 0, path.Text());
  if (found >= 0) catalogue_.RemoveAt(found);
  catalogue_.Append(entry);
}
