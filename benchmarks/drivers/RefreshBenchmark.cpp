// Refresh over a folder of 200 driver libraries against the least any discovery must do: list
// "OR*.DLL", load each library, look up the same entry points, make the same calls, free it.
// Both run in the same process, alternately, so disk cache and loader state are shared.
#include <orinrobo/OrinRoboSdk.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "BenchmarkFlavour.h"

namespace {

constexpr int kDrivers = 200;
constexpr int kRounds = 7;

std::string ExeFolder() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The bare loop; returns how many libraries answered all three questions.
int BareScan(const std::string& folder) {
  int usable = 0;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\OR*.DLL").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::string path = folder + "\\" + data.cFileName;
    HMODULE library = ::LoadLibraryA(path.c_str());
    if (library == nullptr) continue;
    auto getName = Entry<ORIN_PFN_DriverGetPluginName>(library, "ORIN_PLUGIN_GetPluginName");
    auto getVersion = Entry<ORIN_PFN_DriverGetVersion>(library, "ORIN_PLUGIN_GetVersion");
    auto getInterface = Entry<ORIN_PFN_DriverGetInterfaceVersion>(library, "ORIN_PLUGIN_GetInterfaceVersion");
    auto setInterface = Entry<ORIN_PFN_DriverSetInterfaceVersion>(library, "ORIN_PLUGIN_SetInterfaceVersion");
    auto configure = Entry<ORIN_PFN_ConfigureDriver>(library, "orinrobodriver_configuredriver");
    if (setInterface) setInterface(5);
    if (getName && getVersion && getInterface && getInterface() <= 5 && getName() && getVersion() &&
        configure) {
      ++usable;
    }
    ::FreeLibrary(library);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return usable;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  PrintBenchmarkFlavour();
  const std::string bin = ExeFolder();
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "refresh-bench-" + std::to_string(::GetCurrentProcessId()) +
                             "-" + std::to_string(::GetTickCount());
  if (!::CreateDirectoryA(folder.c_str(), nullptr)) {
    std::fprintf(stderr, "cannot create %s\n", folder.c_str());
    return 1;
  }
  std::vector<std::string> files;
  for (int i = 0; i < kDrivers; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "\\ORBENCH%03d.DLL", i);
    files.push_back(folder + name);
    if (!::CopyFileA((bin + "testdrivers\\ORFILE.DLL").c_str(), files.back().c_str(), FALSE)) {
      std::fprintf(stderr, "cannot copy the sample driver (build orin_test_drivers first)\n");
      return 1;
    }
  }

  HMODULE plugin = ::LoadLibraryA((bin + "OrinRobo.dll").c_str());
  auto create = Entry<ORIN_PFN_CreateOrinRoboManager>(plugin, "CreateOrinRoboManager");
  auto release = Entry<ORIN_PFN_ReleaseOrinRoboManager>(plugin, "ReleaseOrinRoboManager");
  if (create == nullptr || release == nullptr) {
    std::fprintf(stderr, "cannot load OrinRobo.dll\n");
    return 1;
  }
  IRoboManager2* manager = create(folder.c_str());  // also the warm-up of the manager's side
  BareScan(folder);

  std::vector<double> refreshTimes, bareTimes;
  int bareCount = 0;
  for (int round = 0; round < kRounds; ++round) {
    double start = Seconds();
    manager->Refresh();

    refreshTimes.push_back(Seconds() - start);
    start = Seconds();
    bareCount = BareScan(folder);
    bareTimes.push_back(Seconds() - start);
  }
  const int catalogued = manager->GetDriverCount();
  release(manager);
  ::FreeLibrary(plugin);
  for (const std::string& file : files) ::DeleteFileA(file.c_str());
  ::RemoveDirectoryA(folder.c_str());

  const double refresh = Median(refreshTimes);
  const double bare = Median(bareTimes);
  std::printf("drivers: %d (catalogued %d, bare loop found %d), rounds: %d, medians below\n", kDrivers,
              catalogued, bareCount, kRounds);
  std::printf("Refresh          %8.1f ms\n", refresh * 1000.0);
  std::printf("bare loop        %8.1f ms\n", bare * 1000.0);
  std::printf("ratio            %8.3f (target at most 1.15)\n", refresh / bare);
  return catalogued == kDrivers && bareCount == kDrivers ? 0 : 1;
}
