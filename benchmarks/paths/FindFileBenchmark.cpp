// Enumerates one directory of 2,000, 20,000 and 200,000 files with CPortableFindFile (pattern
// "*", no filters, options 0) and with a bare FindFirstFileW/FindNextFileW loop, alternately,
// and prints the median time of each and the median ratio of the rounds' pairs.
// Usage: paths_find_benchmark [--full]
#include <stdio.h>

#include <string>
#include <vector>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "BenchClock.h"
#include "BenchmarkFlavour.h"
#include "BenchmarkSeries.h"

namespace {

constexpr double kTarget = 1.3;

double Seconds() { return BenchSeconds(); }

std::wstring Widen(const std::string& text, UINT codePage) {
  const int length = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(length - 1), L'\0');
  MultiByteToWideChar(codePage, 0, text.c_str(), -1, &wide[0], length);
  return wide;
}

// Where the entries are created. Under Wine each name created through a drive path makes it read
// the whole folder first (for a name that differs only in case), so 200,000 entries would take
// hours; through the folder's Unix path ("\\?\unix\...") names are taken as they are.
std::wstring CreationFolder(const std::string& directory) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  const std::wstring plain = L"\\\\?\\" + Widen(directory, CP_ACP);
  if (unixName == nullptr) return plain;
  char* text = unixName(plain.c_str() + 4);
  if (text == nullptr) return plain;
  std::wstring folder = L"\\\\?\\unix" + Widen(text, CP_UTF8);
  HeapFree(GetProcessHeap(), 0, text);
  for (wchar_t& c : folder)
    if (c == L'/') c = L'\\';
  return folder;
}

bool CreateEntries(const std::string& directory, int files) {
  const std::wstring folder = CreationFolder(directory);
  for (int i = 0; i < files; ++i) {
    wchar_t file[32];
    swprintf(file, sizeof file / sizeof file[0], L"\\entry-%06d.dat", i);
    orin::UniqueFileHandle handle(CreateFileW((folder + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
      fprintf(stderr, "cannot create file %d (error %lu)\n", i, static_cast<unsigned long>(GetLastError()));
      return false;
    }
  }
  return true;
}

int BareLoop(const std::wstring& search) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(search.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    ++count;
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return count;
}

int FinderLoop(const CPortablePath& directory) {
  CPortableFindFile* finder = directory.Find("*", 0, 0, 0, 0);
  if (finder == nullptr) return 0;
  int count = 0;
  for (; finder->IsValid(); finder->Next()) ++count;
  delete finder;
  return count;
}

// Small folders take more rounds: their few milliseconds are easily disturbed.
int RoundsFor(int files) { return files <= 2000 ? 41 : files <= 20000 ? 15 : 7; }

struct Figures {
  double bare = 0, finder = 0, ratio = 0;
  int rounds = 0;
  bool ok = false;
};

Figures Measure(const std::string& directory, int files) {
  Figures figures;
  const CPortablePath path(directory.c_str(), 4);
  const std::wstring search = L"\\\\?\\" + Widen(directory, CP_ACP) + L"\\*";
  BareLoop(search);  // warm the directory cache for both
  FinderLoop(path);
  std::vector<double> bare, finder;
  int bareCount = 0, finderCount = 0;
  figures.rounds = RoundsFor(files);
  for (int round = 0; round < figures.rounds; ++round) {
    // Each goes first in every other round: neither always finds the other's traces.
    for (int turn = 0; turn < 2; ++turn) {
      const double start = Seconds();
      if ((turn + round) % 2 == 0) {
        bareCount = BareLoop(search);
        bare.push_back(Seconds() - start);
      } else {
        finderCount = FinderLoop(path);
        finder.push_back(Seconds() - start);
      }
    }
  }
  figures.bare = Median(bare);
  figures.finder = Median(finder);
  figures.ratio = PairedRatio(finder, bare);
  figures.ok = bareCount == files + 2 && finderCount == files;
  if (!figures.ok) fprintf(stderr, "%d files: bare loop found %d (with . and ..), finder %d\n", files, bareCount, finderCount);
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  PrintBenchmarkFlavour();
  const std::vector<int> sizes = PickSizes(argc, argv, std::vector<int>{2000, 20000, 200000}, 2);
  const CPortableString temp = GetTempDirectory();
  printf("CPortableFindFile against a bare FindFirstFileW/FindNextFileW loop over one folder: medians of\n"
         "the rounds, the ratio of each round's pair\n");
  printf("%8s %7s %10s %11s %7s\n", "entries", "rounds", "bare ms", "finder ms", "ratio");
  std::vector<SeriesPoint> points;
  bool ok = true;
  for (int files : sizes) {
    char name[64];
    snprintf(name, sizeof name, "paths-bench-%lu-%d", static_cast<unsigned long>(GetCurrentProcessId()), files);
    const std::string directory = std::string(temp.Text()) + name;
    if (!CreateDirectoryA(directory.c_str(), nullptr)) {
      fprintf(stderr, "cannot create %s\n", directory.c_str());
      return 1;
    }
    Figures figures;
    if (CreateEntries(directory, files)) figures = Measure(directory, files);
    if (!DeleteTree(directory.c_str())) fprintf(stderr, "cannot remove %s\n", directory.c_str());
    if (!figures.ok) {
      printf("%8d FAILED\n", files);
      ok = false;
      continue;
    }
    printf("%8d %7d %10.2f %11.2f %7.3f\n", files, figures.rounds, figures.bare * 1000, figures.finder * 1000,
           figures.ratio);
    fflush(stdout);
    points.push_back({std::to_string(files) + " entries", figures.ratio, figures.ratio <= kTarget});
  }
  PrintGrowth("finder / bare loop", points, sizes.size(), "target at most 1.3");
  return ok ? 0 : 1;
}
