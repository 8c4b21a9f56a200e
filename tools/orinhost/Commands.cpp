#include "Commands.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DuplicateDrivers.h"
#include "JsonText.h"
#include "LibraryProbe.h"

namespace {

// Text from the plug-in or a driver, one line whatever it holds.
std::string Shown(const char* text) { return text ? VisibleText(text) : "(null)"; }

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
  const std::vector<std::vector<std::string>> duplicates =
      SameNameAndVersion(manager, options.directory, host.InterfaceVersion(), host.Module());
  if (options.json) std::printf("[");
  else std::printf("%-3s %-24s %8s %9s %9s  %s\n", "#", "Name", "Version", "Interface", "Configure", "Path");
  for (int i = 0; i < count; ++i) {
    IRoboDriverInfo* info = manager->GetDriverInfo(static_cast<unsigned>(i));
    // The catalogue does not record interface versions: the library is asked, as the plug-in asks it.
    const LibraryFacts facts = ProbeLibrary(info->GetDriverPath(), host.InterfaceVersion(), host.Module());
    const std::string shown = facts.hasInterfaceVersion ? std::to_string(facts.interfaceVersion) : "?";
    if (options.json) {
      std::string others;
      for (const std::string& path : duplicates[static_cast<size_t>(i)]) others += (others.empty() ? "" : ", ") + JsonText(path);
      std::printf("%s\n  {\"index\": %d, \"name\": %s, \"version\": %u, \"interfaceVersion\": %s, "
                  "\"hasConfigure\": %s, \"path\": %s, \"sameNameAndVersion\": [%s]}",
                  i ? "," : "", i, JsonText(info->GetDriverName()).c_str(), info->GetDriverVersion(),
                  facts.hasInterfaceVersion ? shown.c_str() : "null", info->HasConfigure() ? "true" : "false",
                  JsonText(info->GetDriverPath()).c_str(), others.c_str());
    } else {
      std::printf("%-3d %-24s %8u %9s %9s  %s\n", i, Shown(info->GetDriverName()).c_str(), info->GetDriverVersion(),
                  shown.c_str(), info->HasConfigure() ? "yes" : "no", Shown(info->GetDriverPath()).c_str());
    }
  }
  if (options.json) {
    std::printf("%s]\n", count ? "\n" : "");
    return kExitOk;
  }
  std::printf("%d driver(s)\n", count);
  for (int i = 0; i < count; ++i) {
    for (const std::string& path : duplicates[static_cast<size_t>(i)]) {
      std::printf("#%d: same name and version in %s, passed over (the plug-in lists the first file its folder search "
                  "returns)\n", i, VisibleText(path).c_str());
    }
  }
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
