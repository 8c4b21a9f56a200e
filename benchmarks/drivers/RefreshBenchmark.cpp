// Refresh over folders of 20, 200 and 2,000 driver libraries against the least any discovery
// must do: list "OR*.DLL", load each library, look up the same entry points, make the same calls,
// free it. Both run in the same process, alternately, so disk cache and loader state are shared.
// Also how long the first Refresh (the one CreateOrinRoboManager runs over a folder not read
// before) takes against the later ones. Usage: bench_refresh [--full]
#include <orinrobo/OrinRoboSdk.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>
#include "BenchClock.h"
#include "BenchmarkFlavour.h"
#include "BenchmarkSeries.h"

namespace {

constexpr double kTarget = 1.15;

std::string ExeFolder() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

double Seconds() { return BenchSeconds(); }

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

struct Plugin {
  ORIN_PFN_CreateOrinRoboManager create;
  ORIN_PFN_ReleaseOrinRoboManager release;
};

struct Figures {
  double refresh = 0;    // median of the later Refresh calls
  double bare = 0;       // median of the bare loops
  double ratio = 0;      // median of Refresh / bare loop, round by round
  double first = 0;      // the Refresh that CreateOrinRoboManager runs
  double firstBare = 0;  // the bare loop's first pass, over a copy of the folder read only then
  int rounds = 0;
  bool ok = false;
};

// A fresh folder holding the driver drivers times; empty when it could not be made.
std::string MakeFolder(const std::string& bin, int drivers, const char* tag) {
  char temp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "refresh-bench-" + std::to_string(::GetCurrentProcessId()) +
                             "-" + std::to_string(drivers) + tag;
  if (!::CreateDirectoryA(folder.c_str(), nullptr)) {
    std::fprintf(stderr, "cannot create %s\n", folder.c_str());
    return std::string();
  }
  for (int i = 0; i < drivers; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "\\ORBENCH%04d.DLL", i);
    if (!::CopyFileA((bin + "testdrivers\\ORFILE.DLL").c_str(), (folder + name).c_str(), FALSE)) {
      std::fprintf(stderr, "cannot copy the sample driver (build orin_test_drivers first)\n");
      return folder;  // the caller still removes it
    }
  }
  return folder;
}

void RemoveFolder(const std::string& folder) {
  if (folder.empty()) return;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*.DLL").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do ::DeleteFileA((folder + "\\" + data.cFileName).c_str());
    while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

// Small folders take more rounds: their few milliseconds are easily disturbed.
int RoundsFor(int drivers) { return drivers <= 20 ? 41 : drivers <= 200 ? 15 : 7; }

Figures Measure(const Plugin& plugin, const std::string& bin, int drivers) {
  Figures figures;
  const std::string folder = MakeFolder(bin, drivers, "");
  const std::string twin = MakeFolder(bin, drivers, "-first");
  IRoboManager2* manager = nullptr;
  if (!folder.empty() && !twin.empty()) {
    double start = Seconds();
    manager = plugin.create(folder.c_str());
    figures.first = Seconds() - start;
    start = Seconds();
    BareScan(twin);
    figures.firstBare = Seconds() - start;
  }
  if (manager != nullptr) {
    BareScan(folder);  // the bare loop's own first pass over this folder, not counted
    std::vector<double> refreshTimes, bareTimes;
    int bareCount = 0;
    figures.rounds = RoundsFor(drivers);
    for (int round = 0; round < figures.rounds; ++round) {
      // Each goes first in every other round: neither always finds the other's traces.
      double refresh = 0, bare = 0;
      for (int turn = 0; turn < 2; ++turn) {
        const double start = Seconds();
        if ((turn + round) % 2 == 0) {
          manager->Refresh();
          refresh = Seconds() - start;
        } else {
          bareCount = BareScan(folder);
          bare = Seconds() - start;
        }
      }
      refreshTimes.push_back(refresh);
      bareTimes.push_back(bare);
    }
    const int catalogued = manager->GetDriverCount();
    plugin.release(manager);
    figures.refresh = Median(refreshTimes);
    figures.bare = Median(bareTimes);
    figures.ratio = PairedRatio(refreshTimes, bareTimes);
    figures.ok = catalogued == drivers && bareCount == drivers;
    if (!figures.ok)
      std::fprintf(stderr, "%d drivers: catalogued %d, bare loop found %d\n", drivers, catalogued, bareCount);
  }
  RemoveFolder(folder);
  RemoveFolder(twin);
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  PrintBenchmarkFlavour();
  const std::vector<int> sizes = PickSizes(argc, argv, std::vector<int>{20, 200, 2000}, 2);
  const std::string bin = ExeFolder();
  HMODULE module = ::LoadLibraryA((bin + "OrinRobo.dll").c_str());
  const Plugin plugin = {Entry<ORIN_PFN_CreateOrinRoboManager>(module, "CreateOrinRoboManager"),
                         Entry<ORIN_PFN_ReleaseOrinRoboManager>(module, "ReleaseOrinRoboManager")};
  if (plugin.create == nullptr || plugin.release == nullptr) {
    std::fprintf(stderr, "cannot load OrinRobo.dll\n");
    return 1;
  }
  std::printf("Refresh against the bare loop: medians of the rounds, the ratio of each round's pair; the first\n"
              "Refresh is the one CreateOrinRoboManager runs over a folder not read before, the first bare\n"
              "loop reads a copy of that folder for the first time\n");
  std::printf("%8s %7s %11s %9s %7s %14s %12s %12s\n", "drivers", "rounds", "Refresh ms", "bare ms", "ratio",
              "first Refresh", "first/later", "bare first/later");
  std::vector<SeriesPoint> points;
  bool ok = true;
  for (int drivers : sizes) {
    const Figures figures = Measure(plugin, bin, drivers);
    if (!figures.ok) {
      std::printf("%8d FAILED\n", drivers);
      ok = false;
      continue;
    }
    const double ratio = figures.ratio;
    std::printf("%8d %7d %11.1f %9.1f %7.3f %11.1f ms %11.1fx %11.1fx\n", drivers, figures.rounds,
                figures.refresh * 1000, figures.bare * 1000, ratio, figures.first * 1000,
                figures.first / figures.refresh, figures.firstBare / figures.bare);
    std::fflush(stdout);
    points.push_back({std::to_string(drivers) + " drivers", ratio, ratio <= kTarget});
  }
  ::FreeLibrary(module);
  PrintGrowth("Refresh / bare loop", points, sizes.size(), "target at most 1.15");
  return ok ? 0 : 1;
}
