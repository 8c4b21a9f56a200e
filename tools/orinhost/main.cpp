// orinhost: a command-line host for OrinRobo.dll, for driver writers and integrators. It loads the
// plug-in as a host application does, shows the catalogue of a driver folder, and creates,
// configures and firmware-checks drivers through the manager.
#include <cstdio>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "Commands.h"
#include "DriverCheck.h"
#include "Options.h"
#include "PluginHost.h"

namespace {
std::string ExeFolder() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  const size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// The plug-in answers an empty catalogue for a folder it cannot read: say why instead. Empty when
// the folder can be listed.
std::string FolderProblem(const Options& options) {
  const std::string& folder = options.directory;
  if (folder.empty()) return "--dir names no folder";
  if (folder.find_first_of("*?") != std::string::npos) return "--dir takes a folder, not a pattern: " + folder;
  const DWORD attributes = ::GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return "cannot open the driver folder " + folder + " (error " + std::to_string(::GetLastError()) + ")";
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return "the driver folder " + folder + " is a file";
  WIN32_FIND_DATAA found;
  const std::string all = folder + (folder.back() == '\\' || folder.back() == '/' ? "*" : "\\*");
  HANDLE search = ::FindFirstFileA(all.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) {
      return "cannot read the driver folder " + folder + " (error " + std::to_string(error) + ")";
    }
  } else {
    ::FindClose(search);
  }
  return std::string();
}
}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "orinhost: %s (orinhost help shows the usage)\n", error.c_str());
    return kExitUsage;
  }
  if (options.command == "help") {
    PrintUsage();
    return kExitOk;
  }
  // The check needs no plug-in: it loads the library as the plug-in would.
  if (options.command == "check") return options.checkChild ? RunDriverCheckSteps(options) : RunDriverCheck(options);
  if (options.plugin.empty()) options.plugin = ExeFolder() + "OrinRobo.dll";
  if (!options.directoryGiven) options.directory = ExeFolder() + "drivers";
  const std::string folderProblem = FolderProblem(options);
  if (!folderProblem.empty()) {
    std::fprintf(stderr, "orinhost: %s\n", folderProblem.c_str());
    return kExitFolder;
  }

  PluginHost host;
  if (!host.Load(options.plugin)) {
    std::fprintf(stderr, "orinhost: %s\n", host.Error().c_str());
    return kExitPlugin;
  }
  if (options.hostVersion >= 0) host.SetInterfaceVersion(static_cast<unsigned>(options.hostVersion));
  IRoboManager2* manager = host.OpenManager(options.directory);
  if (manager == nullptr) {
    std::fprintf(stderr, "orinhost: the plug-in made no manager\n");
    return kExitManager;
  }
  if (options.command == "info") return RunInfo(host, manager, options);
  if (options.command == "list") return RunList(host, manager, options);

  IRoboDriverInfo* entry = options.index >= 0 ? manager->GetDriverInfo(static_cast<unsigned>(options.index))
                                              : manager->FindDriver(options.driver.c_str());
  if (entry->GetDriverPath() == nullptr) {
    std::fprintf(stderr, "orinhost: no driver '%s' in %s\n",
                 options.index >= 0 ? std::to_string(options.index).c_str() : options.driver.c_str(),
                 options.directory.c_str());
    return kExitNotFound;
  }
  if (options.command == "create") return RunCreate(manager, entry, options);
  if (options.command == "configure") return RunConfigure(manager, entry, options);
  return RunFirmwareCheck(manager, entry, options);
}
