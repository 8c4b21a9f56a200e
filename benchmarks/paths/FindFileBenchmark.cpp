// Enumerates one directory of 20,000 files with CPortableFindFile (pattern "*", no filters,
// options 0) and with a bare FindFirstFileW/FindNextFileW loop, alternating, and prints the
// median time of each and their ratio. Usage: paths_find_benchmark [files] [rounds]
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "BenchmarkFlavour.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
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

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  PrintBenchmarkFlavour();
  const int files = argc > 1 ? atoi(argv[1]) : 20000;
  const int rounds = argc > 2 ? atoi(argv[2]) : 7;
  const CPortableString temp = GetTempDirectory();
  char name[64];
  snprintf(name, sizeof name, "paths-bench-%lu", static_cast<unsigned long>(GetCurrentProcessId()));
  const std::string directory = std::string(temp.Text()) + name;
  if (!CreateDirectoryA(directory.c_str(), nullptr)) {
    fprintf(stderr, "cannot create %s\n", directory.c_str());
    return 1;
  }
  for (int i = 0; i < files; ++i) {
    char file[64];
    snprintf(file, sizeof file, "\\entry-%05d.dat", i);
    orin::UniqueFileHandle handle(CreateFileA((directory + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
      fprintf(stderr, "cannot create file %d\n", i);
      DeleteTree(directory.c_str());
      return 1;
    }
  }

  const CPortablePath path(directory.c_str(), 4);
  std::wstring search = L"\\\\?\\";
  for (char c : directory) search += static_cast<wchar_t>(static_cast<unsigned char>(c));
  search += L"\\*";
  BareLoop(search);  // warm the directory cache for both
  FinderLoop(path);

  std::vector<double> bare, finder;
  int bareCount = 0, finderCount = 0;
  for (int round = 0; round < rounds; ++round) {
    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    bareCount = BareLoop(search);
    QueryPerformanceCounter(&t1);
    finderCount = FinderLoop(path);
    QueryPerformanceCounter(&t2);
    bare.push_back(Seconds(t0, t1));
    finder.push_back(Seconds(t1, t2));
  }
  const double bareMedian = Median(bare), finderMedian = Median(finder);
  printf("entries: bare loop %d (with . and ..), finder %d\n", bareCount, finderCount);
  printf("bare FindFirstFileW/FindNextFileW: %.2f ms (median of %d)\n", bareMedian * 1000, rounds);
  printf("CPortableFindFile:                 %.2f ms (median of %d)\n", finderMedian * 1000, rounds);
  printf("ratio finder / bare: %.2f (target <= 1.3)\n", finderMedian / bareMedian);
  return DeleteTree(directory.c_str()) ? 0 : 1;
}
