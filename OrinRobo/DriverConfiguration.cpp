// Running a driver library's configuration entry point, and firmware-check objects.
#include "OrinRobo/COrinRoboManager.h"
#include "OrinRobo/DriverAdapterFactory.h"
#include "OrinRobo/DriverLibrary.h"

int ORIN_METHOD COrinRoboManager::ConfigureDriver(IRoboDriverInfo* entry, OrinArg arg) {
  if (entry == nullptr) return 0;
  DriverLibrary library;
  if (!library.Load(entry->GetDriverPath())) return 0;
  // No interface version is announced on this path: first-generation hosts never did.
  auto configure = library.Entry<ORIN_PFN_ConfigureDriver>("orinrobodriver_configuredriver");
  if (configure) configure(arg);
  return library.Release();
}

int ORIN_METHOD COrinRoboManager::ConfigureDriverV2(IRoboDriverInfo* entry, OrinArg first,
                                                    OrinArg second) {
  if (entry == nullptr) return 0;
  DriverLibrary library;
  if (!library.Load(entry->GetDriverPath())) return 0;
  library.Announce();
  if (!library.HasInterfaceVersion() || library.InterfaceVersion() < 4) {
    library.Release();
    return ConfigureDriver(entry, first);
  }
  auto configure = library.Entry<ORIN_PFN_ConfigureDriverV2>("orinrobodriverV2_configuredriver");
  if (configure == nullptr) return 0;

  const int result = configure(first, second);
  // The result may refer into the library (a settings handle, a text), so the library stays
  // loaded until the manager goes, and is then released like the others.
  library.KeepIn(modules_);
  return result;
}

IRoboFirmwareCheck* ORIN_METHOD COrinRoboManager::CreateFirmwareCheck(IRoboDriverInfo* entry,
                                                                      OrinArg arg) {
  if (entry == nullptr) return nullptr;
  DriverLibrary library;
  if (!library.Load(entry->GetDriverPath())) return nullptr;
  library.Announce();
  auto check = library.Entry<ORIN_PFN_FirmwareCheck>("orinrobodriver_firmwarecheck");
  if (check == nullptr || !library.HasInterfaceVersion()) return nullptr;

  IRoboFirmwareCheckV4* object = check(arg);
  if (object == nullptr) return nullptr;

  IRoboFirmwareCheck* result = nullptr;
  const uint32_t version = library.InterfaceVersion();
  if (version >= 5) {
    result = static_cast<IRoboFirmwareCheck*>(object);
  } else {
    // Below version 4 the object's layout is unknown: it is neither used nor destroyed, and the
    // library stays loaded under it.
    result = MakeFirmwareCheckAdapter(version, object);
  }
  library.KeepIn(modules_);
  return result;
}
