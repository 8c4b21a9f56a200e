#include "Commands.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

#include "JsonText.h"
#include "OrinRobo/InterfaceVersion.h"

namespace {

// Text from the plug-in or a driver, one line whatever it holds.
std::string Shown(const char* text) { return text ? VisibleText(text) : "(null)"; }

// The catalogue does not record a driver's interface version, so the tool asks the library
// itself, with the same handshake the manager uses. -1 when it cannot be had.
long ProbeInterfaceVersion(const char* path, unsigned hostVersion) {
  if (path == nullptr) return -1;
  const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  HMODULE library = ::LoadLibraryA(path);
  ::SetErrorMode(previousMode);
  if (library == nullptr) return -1;
  auto set = reinterpret_cast<ORIN_PFN_DriverSetInterfaceVersion>(
      reinterpret_cast<void*>(::GetProcAddress(library, "ORIN_PLUGIN_SetInterfaceVersion")));
  auto get = reinterpret_cast<ORIN_PFN_DriverGetInterfaceVersion>(
      reinterpret_cast<void*>(::GetProcAddress(library, "ORIN_PLUGIN_GetInterfaceVersion")));
  SetHostInterfaceVersion(hostVersion);
  if (set) set(MapInterfaceVersion(kHighestDriverInterfaceVersion));
  const long version = get ? static_cast<long>(get()) : -1;
  ::FreeLibrary(library);
  return version;
}

}  // namespace

int RunInfo(PluginHost& host, IRoboManager2* manager, const Options& options) {
  std::printf("plug-in          %s\n", options.plugin.c_str());
  std::printf("version          %d\n", host.Version());
  std::printf("type             %s\n", Shown(host.Type()).c_str());
  std::printf("name             %s\n", Shown(host.Name()).c_str());
  std::printf("interface        %u\n", host.InterfaceVersion());
  std::printf("driver folder    %s\n\n", options.directory.c_str());
  return RunList(host, manager, options);
}

int RunList(PluginHost& host, IRoboManager2* manager, const Options& options) {
  const int count = manager->GetDriverCount();
  if (options.json) std::printf("[");
  else std::printf("%-3s %-24s %8s %9s %9s  %s\n", "#", "Name", "Version", "Interface", "Configure", "Path");
  for (int i = 0; i < count; ++i) {
    IRoboDriverInfo* info = manager->GetDriverInfo(static_cast<unsigned>(i));
    const long interfaceVersion = ProbeInterfaceVersion(info->GetDriverPath(), host.InterfaceVersion());
    const std::string shown = interfaceVersion < 0 ? "?" : std::to_string(interfaceVersion);
    if (options.json) {
      std::printf("%s\n  {\"index\": %d, \"name\": %s, \"version\": %u, \"interfaceVersion\": %s, "
                  "\"hasConfigure\": %s, \"path\": %s}",
                  i ? "," : "", i, JsonText(info->GetDriverName()).c_str(), info->GetDriverVersion(),
                  interfaceVersion < 0 ? "null" : shown.c_str(), info->HasConfigure() ? "true" : "false",
                  JsonText(info->GetDriverPath()).c_str());
    } else {
      std::printf("%-3d %-24s %8u %9s %9s  %s\n", i, Shown(info->GetDriverName()).c_str(), info->GetDriverVersion(),
                  shown.c_str(), info->HasConfigure() ? "yes" : "no", Shown(info->GetDriverPath()).c_str());
    }
  }
  if (options.json) std::printf("%s]\n", count ? "\n" : "");
  else std::printf("%d driver(s)\n", count);
  return kExitOk;
}

int RunCreate(IRoboManager2* manager, IRoboDriverInfo* entry, const Options& options) {
  IRoboDriver* driver = options.secondGeneration
                            ? manager->CreateDriverV2(entry, options.arg, options.arg2)
                            : manager->CreateDriver(entry, options.arg);
  if (options.secondGeneration) {
    std::printf("CreateDriverV2(%s, %u, %u) = %s\n", Shown(entry->GetDriverName()).c_str(), options.arg,
                options.arg2, driver ? "driver" : "null");
  } else {
    std::printf("CreateDriver(%s, %u) = %s\n", Shown(entry->GetDriverName()).c_str(), options.arg,
                driver ? "driver" : "null");
  }
  if (driver == nullptr) return kExitOperationFailed;
  struct Call {
    const char* name;
    int (ORIN_METHOD IRoboDriver::*operation)();
  };
  const Call calls[] = {{"Initialize", &IRoboDriver::Initialize},
                        {"QueryStatus", &IRoboDriver::QueryStatus},
                        {"GetBinCount", &IRoboDriver::GetBinCount},
                        {"LoadDisc", &IRoboDriver::LoadDisc},
                        {"QueryStatus", &IRoboDriver::QueryStatus},
                        {"UnloadDisc", &IRoboDriver::UnloadDisc},
                        {"GetLastErrorCode", &IRoboDriver::GetLastErrorCode},
                        {"Reset", &IRoboDriver::Reset},
                        {"Park", &IRoboDriver::Park},
                        {"SelfTest", &IRoboDriver::SelfTest},
                        {"Abort", &IRoboDriver::Abort},
                        {"Shutdown", &IRoboDriver::Shutdown}};
  for (const Call& call : calls) std::printf("  %-28s = %d\n", call.name, (driver->*call.operation)());
  OrinDestroy(driver);
  std::printf("  destroyed\n");
  return kExitOk;
}

int RunConfigure(IRoboManager2* manager, IRoboDriverInfo* entry, const Options& options) {
  int result = 0;
  if (options.secondGeneration) {
    result = manager->ConfigureDriverV2(entry, options.arg, options.arg2);
    std::printf("ConfigureDriverV2(%s, %u, %u) = %d\n", Shown(entry->GetDriverName()).c_str(), options.arg,
                options.arg2, result);
  } else {
    result = manager->ConfigureDriver(entry, options.arg);
    std::printf("ConfigureDriver(%s, %u) = %d\n", Shown(entry->GetDriverName()).c_str(), options.arg, result);
  }
  return result ? kExitOk : kExitOperationFailed;
}

int RunFirmwareCheck(IRoboManager2* manager, IRoboDriverInfo* entry, const Options& options) {
  IRoboFirmwareCheck* check = manager->CreateFirmwareCheck(entry, options.arg);
  std::printf("CreateFirmwareCheck(%s, %u) = %s\n", Shown(entry->GetDriverName()).c_str(), options.arg,
              check ? "firmware check" : "null");
  if (check == nullptr) return kExitOperationFailed;
  char label[64];
  const int version = check->GetFirmwareVersion();
  std::printf("  %-28s = %d (0x%04X)\n", "GetFirmwareVersion", version, static_cast<unsigned>(version));
  std::snprintf(label, sizeof label, "IsDriveSupported(%u)", options.drive);
  std::printf("  %-28s = %s\n", label, check->IsDriveSupported(options.drive) ? "yes" : "no");
  std::snprintf(label, sizeof label, "IsFirmwareSupported(0x%04X)", options.firmware);
  std::printf("  %-28s = %s\n", label, check->IsFirmwareSupported(options.firmware) ? "yes" : "no");
  const int required = check->GetRequiredFirmware();
  std::printf("  %-28s = %d (0x%04X)\n", "GetRequiredFirmware", required, static_cast<unsigned>(required));
  OrinDestroy(check);
  std::printf("  destroyed\n");
  return kExitOk;
}
