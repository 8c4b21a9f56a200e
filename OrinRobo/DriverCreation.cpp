// Driver objects: loading the entry's library, creating the object, and wrapping the layouts of
// interface versions 1 to 3. A library that produced an object stays loaded in the module list.
#include "OrinRobo/COrinRoboManager.h"
#include "OrinRobo/DriverAdapterFactory.h"
#include "OrinRobo/DriverLibrary.h"

IRoboDriver* ORIN_METHOD COrinRoboManager::CreateDriver(IRoboDriverInfo* entry, OrinArg arg) {
  if (entry == nullptr) return nullptr;
  DriverLibrary library;
  if (!library.Load(entry->GetDriverPath())) return nullptr;
  library.Announce();
  auto create = library.Entry<ORIN_PFN_CreateDriver>("orinrobodriver_createdriver");
  if (create == nullptr || !library.HasInterfaceVersion()) return nullptr;

  IRoboDriverV1* object = create(arg);
  if (object == nullptr) return nullptr;

  IRoboDriver* result = nullptr;
  const uint32_t version = library.InterfaceVersion();
  if (version >= 4) {
    // Version 4 objects already have the full layout, like those of version 5.
    result = static_cast<IRoboDriver*>(object);
  } else {
    // Version 0 gives null: its layout is unknown, so the object is neither used nor destroyed,
    // and the library stays loaded under it.
    result = MakeDriverAdapter(version, object);
  }
  library.KeepIn(modules_);
  return result;
}

IRoboDriver* ORIN_METHOD COrinRoboManager::CreateDriverV2(IRoboDriverInfo* entry, OrinArg first,
                                                          OrinArg second) {
  if (entry == nullptr) return nullptr;
  DriverLibrary library;
  if (!library.Load(entry->GetDriverPath())) return nullptr;
  library.Announce();
  if (!library.HasInterfaceVersion() || library.InterfaceVersion() < 4) {
    library.Release();
    return CreateDriver(entry, first);
  }
  auto create = library.Entry<ORIN_PFN_CreateDriverV2>("orinrobodriverV2_createdriver");
  if (create == nullptr) return nullptr;

  IRoboDriver* object = create(first, second);
  // Kept even without an object: the library may have started work that its unloading would cut.
  library.KeepIn(modules_);
  return object;
}
