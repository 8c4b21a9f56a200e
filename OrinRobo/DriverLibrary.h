// DriverLibrary: one load of a robot driver library, with the interface-version handshake every
// load starts with. Freed when it goes out of scope unless handed to a ModuleList.
#ifndef ORINROBO_DRIVERLIBRARY_H
#define ORINROBO_DRIVERLIBRARY_H

#include <orinrobo/OrinRoboSdk.h>

#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "OrinRobo/ModuleList.h"

class DriverLibrary {
 public:
  DriverLibrary() = default;
  DriverLibrary(const DriverLibrary&) = delete;
  DriverLibrary& operator=(const DriverLibrary&) = delete;

  // False, with nothing loaded, for a null path or a file that will not load. The system's
  // error dialogs are kept off: a broken driver file is passed over in silence.
  bool Load(const char* path);

  // Resolves the two interface-version entry points and, when the library can hear it, tells it
  // the version MapInterfaceVersion gives. Call it before any other call into the library.
  void Announce();

  // Whether ORIN_PLUGIN_GetInterfaceVersion was resolved by Announce().
  bool HasInterfaceVersion() const { return getInterfaceVersion_ != nullptr; }
  // Asks the library again; 0 without the entry point.
  uint32_t InterfaceVersion() const;

  HMODULE Module() const { return module_.get(); }

  template <class Fn>
  Fn Entry(const char* name) const {
    return orin::GetEntryPoint<Fn>(module_.get(), name);
  }

  // Hands this load to the list, which frees it with the manager.
  void KeepIn(ModuleList& modules);
  // Frees the library now; the result of FreeLibrary (0 when nothing was loaded).
  int Release();

 private:
  orin::UniqueModule module_;
  ORIN_PFN_DriverGetInterfaceVersion getInterfaceVersion_ = nullptr;
};

#endif  // ORINROBO_DRIVERLIBRARY_H
