// Helpers of the path tests: wide-named files, listing a finder, and spies on the enumeration calls
// that record the search texts and can make the volume look like one without creation times.
#ifndef TESTS_PATHS_PATHTESTHELPERS_H
#define TESTS_PATHS_PATHTESTHELPERS_H

#include <mbctype.h>

#include <set>
#include <string>
#include <vector>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace pathtest {

std::wstring Widen(const std::string& text);
// Creates a file (with content) or a directory under a wide name; false on failure.
bool CreateWideFile(const std::wstring& path, const std::string& content = std::string());
bool CreateWideDirectory(const std::wstring& path);
// Removes a tree through the wide calls and the long-path prefix; for trees deeper than the
// narrow calls reach.
void RemoveWideTree(const std::wstring& path);
// The 8.3 name the system keeps for an entry, converted to the ANSI code page.
std::string SystemShortName(const std::wstring& path);

// Every name the finder delivers (the finder is deleted); at most limit steps.
std::multiset<std::string> TakeNames(CPortableFindFile* finder, int limit = 100000);

// Stands in for the wide enumeration entries while alive and puts the bound ones back after.
class WideFindSpy {
 public:
  WideFindSpy();
  ~WideFindSpy();
  WideFindSpy(const WideFindSpy&) = delete;
  WideFindSpy& operator=(const WideFindSpy&) = delete;

  // Search texts that reached FindFirstFileW, in order.
  static std::vector<std::wstring> searches;
  // Report every entry without a creation time, as old volumes do.
  static bool clearCreationTime;
  // Report every entry without a short name.
  static bool clearShortName;
  // Texts beginning with this are answered "not found" without reaching the system.
  static std::wstring refusePrefix;

  // The table's entries while installed.
  static HANDLE WINAPI FindFirst(LPCWSTR text, LPWIN32_FIND_DATAW data);
  static BOOL WINAPI FindNext(HANDLE handle, LPWIN32_FIND_DATAW data);

 private:
  static void Adjust(LPWIN32_FIND_DATAW data);
  orin::ScopedFileSystemCalls install_;
};

// Counts the narrow enumeration and full-path calls while alive.
class NarrowCallCounter {
 public:
  NarrowCallCounter();
  ~NarrowCallCounter();
  NarrowCallCounter(const NarrowCallCounter&) = delete;
  NarrowCallCounter& operator=(const NarrowCallCounter&) = delete;

  static int findFirst;
  static int findNext;
  static int fullPath;

  // The table's entries while installed.
  static HANDLE WINAPI FindFirst(LPCSTR text, LPWIN32_FIND_DATAA data);
  static BOOL WINAPI FindNext(HANDLE handle, LPWIN32_FIND_DATAA data);
  static DWORD WINAPI FullPath(LPCSTR text, DWORD size, LPSTR buffer, LPSTR* part);

 private:
  orin::ScopedFileSystemCalls install_;
};

// Changes the current directory while alive.
class ScopedCurrentDirectory {
 public:
  explicit ScopedCurrentDirectory(const std::string& directory);
  ~ScopedCurrentDirectory();
  ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
  ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;
  bool Changed() const { return changed_; }

 private:
  std::string saved_;
  bool changed_;
};

// Switches the C run-time's multibyte code page (_setmbcp) while alive.
struct ScopedMultibyteCodePage {
  explicit ScopedMultibyteCodePage(int codePage) : saved(_getmbcp()), switched(_setmbcp(codePage) == 0) {}
  ~ScopedMultibyteCodePage() { _setmbcp(saved); }
  const int saved;
  const bool switched;
};

}  // namespace pathtest

#endif  // TESTS_PATHS_PATHTESTHELPERS_H
