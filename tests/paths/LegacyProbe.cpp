// Run by the legacy-system test under an old non-NT system version: resolves a path and lists a
// directory, and tells through its exit code whether only the narrow calls were used.
// Arguments: the directory, the number of entries it holds. Exit codes: 0 fine, 10 the system
// still reports the NT family, 11 wide entries were bound, 12 wrong listing, 13 narrow calls missing.
#include <stdio.h>
#include <stdlib.h>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/Windows/CPortableFullPathApi.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "PathTestHelpers.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  printf("version word %08lx\n", static_cast<unsigned long>(GetOSVersion(nullptr, nullptr)));
  if (IsWindowsNT()) return 10;
  pathtest::NarrowCallCounter counter;  // before the first path binds the narrow call
  orin::BindWideEntries();
  if (CPortableFullPathApi::Instance()->WideEntry() != nullptr || orin::Sys().FindFirstFileW != nullptr ||
      orin::Sys().FindNextFileW != nullptr) {
    return 11;
  }
  const CPortablePath directory(argv[1], 4);
  const auto names = pathtest::TakeNames(directory.Find("*", 0, 0, 0, 2));
  printf("resolved %s, %d entries, calls: full path %d, first %d, next %d\n", directory.GetText(),
         static_cast<int>(names.size()), pathtest::NarrowCallCounter::fullPath, pathtest::NarrowCallCounter::findFirst,
         pathtest::NarrowCallCounter::findNext);
  if (static_cast<int>(names.size()) != atoi(argv[2])) return 12;
  if (pathtest::NarrowCallCounter::fullPath < 1 || pathtest::NarrowCallCounter::findFirst != 1 ||
      pathtest::NarrowCallCounter::findNext < static_cast<int>(names.size())) {
    return 13;
  }
  return 0;
}
