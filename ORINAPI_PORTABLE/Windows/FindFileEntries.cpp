#include "ORINAPI_PORTABLE/Windows/FindFileEntries.h"

#include "ORINAPI_PORTABLE/SystemServices.h"

namespace orin {
namespace {

struct BoundEntries {
  FindFileEntries entries = {nullptr, nullptr, nullptr};
  bool bound = false;
  ~BoundEntries() { Release(); }  // the library unloads
  void Release() {
    if (entries.kernel != nullptr) ::FreeLibrary(entries.kernel);
    entries = {nullptr, nullptr, nullptr};
    bound = false;
  }
};

BoundEntries g_bound;

}  // namespace

FindFileEntries& BindFindFileEntries() {
  if (!g_bound.bound) {
    g_bound.bound = true;
    if (IsWindowsNT()) {
      g_bound.entries.kernel = ::LoadLibraryA("KERNEL32.DLL");
      if (g_bound.entries.kernel != nullptr) {
        g_bound.entries.findFirst = GetEntryPoint<FindFirstFileWFn>(g_bound.entries.kernel, "FindFirstFileW");
        g_bound.entries.findNext = GetEntryPoint<FindNextFileWFn>(g_bound.entries.kernel, "FindNextFileW");
      }
    }
  }
  return g_bound.entries;
}

void ReleaseFindFileEntries() { g_bound.Release(); }

}  // namespace orin
