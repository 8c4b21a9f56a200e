#include "PathTestHelpers.h"

#include <direct.h>

#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

namespace pathtest {

std::wstring Widen(const std::string& text) {
  const int units = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(units > 0 ? units : 1, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], units);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

bool CreateWideFile(const std::wstring& path, const std::string& content) {
  orin::UniqueFileHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return content.empty() ||
         (::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
          written == content.size());
}

bool CreateWideDirectory(const std::wstring& path) { return ::CreateDirectoryW(path.c_str(), nullptr) != 0; }

void RemoveWideTree(const std::wstring& path) {
  const std::wstring full = path.compare(0, 4, L"\\\\?\\") == 0 ? path : L"\\\\?\\" + path;
  WIN32_FIND_DATAW data;
  {
    orin::UniqueFindHandle find(::FindFirstFileW((full + L"\\*").c_str(), &data));
    if (find) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = full + L"\\" + name;
        ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveWideTree(child);
        } else {
          ::DeleteFileW(child.c_str());
        }
      } while (::FindNextFileW(find.get(), &data));
    }
  }
  ::RemoveDirectoryW(full.c_str());
}

std::string SystemShortName(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  orin::UniqueFindHandle find(::FindFirstFileW(path.c_str(), &data));
  if (!find) return std::string();
  char narrow[64] = {};
  ::WideCharToMultiByte(CP_ACP, 0, data.cAlternateFileName, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
  return narrow;
}

std::multiset<std::string> TakeNames(CPortableFindFile* finder, int limit) {
  std::multiset<std::string> names;
  if (finder == nullptr) return names;
  for (int step = 0; finder->IsValid() && step < limit; ++step, finder->Next()) {
    names.insert(finder->GetInfo()->name.Text());
  }
  delete finder;
  return names;
}

std::vector<std::wstring> WideFindSpy::searches;
bool WideFindSpy::clearCreationTime = false;
bool WideFindSpy::clearShortName = false;
std::wstring WideFindSpy::refusePrefix;

namespace {
orin::FileSystemCalls g_realWide;

orin::FileSystemCalls WithWideSpy() {
  g_realWide = orin::Sys();
  orin::FileSystemCalls calls = g_realWide;
  calls.FindFirstFileW = &WideFindSpy::FindFirst;
  calls.FindNextFileW = &WideFindSpy::FindNext;
  return calls;
}
}  // namespace

WideFindSpy::WideFindSpy() : install_((orin::BindWideEntries(), WithWideSpy())) {
  searches.clear();
  clearCreationTime = false;
  clearShortName = false;
  refusePrefix.clear();
}

WideFindSpy::~WideFindSpy() = default;

void WideFindSpy::Adjust(LPWIN32_FIND_DATAW data) {
  if (clearCreationTime) data->ftCreationTime = FILETIME{0, 0};
  if (clearShortName) data->cAlternateFileName[0] = L'\0';
}

HANDLE WINAPI WideFindSpy::FindFirst(LPCWSTR text, LPWIN32_FIND_DATAW data) {
  searches.push_back(text);
  if (!refusePrefix.empty() && std::wstring(text).compare(0, refusePrefix.size(), refusePrefix) == 0) {
    ::SetLastError(ERROR_BAD_NETPATH);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = g_realWide.FindFirstFileW(text, data);
  if (handle != INVALID_HANDLE_VALUE) Adjust(data);
  return handle;
}

BOOL WINAPI WideFindSpy::FindNext(HANDLE handle, LPWIN32_FIND_DATAW data) {
  const BOOL found = g_realWide.FindNextFileW(handle, data);
  if (found) Adjust(data);
  return found;
}

int NarrowCallCounter::findFirst = 0;
int NarrowCallCounter::findNext = 0;
int NarrowCallCounter::fullPath = 0;

namespace {
orin::FileSystemCalls g_realNarrow;

orin::FileSystemCalls WithNarrowCounter() {
  g_realNarrow = orin::Sys();
  orin::FileSystemCalls calls = g_realNarrow;
  calls.FindFirstFileA = &NarrowCallCounter::FindFirst;
  calls.FindNextFileA = &NarrowCallCounter::FindNext;
  calls.GetFullPathNameA = &NarrowCallCounter::FullPath;
  return calls;
}
}  // namespace

NarrowCallCounter::NarrowCallCounter() : install_((orin::BindWideEntries(), WithNarrowCounter())) {
  findFirst = findNext = fullPath = 0;
}

NarrowCallCounter::~NarrowCallCounter() = default;

HANDLE WINAPI NarrowCallCounter::FindFirst(LPCSTR text, LPWIN32_FIND_DATAA data) {
  ++findFirst;
  return g_realNarrow.FindFirstFileA(text, data);
}

BOOL WINAPI NarrowCallCounter::FindNext(HANDLE handle, LPWIN32_FIND_DATAA data) {
  ++findNext;
  return g_realNarrow.FindNextFileA(handle, data);
}

DWORD WINAPI NarrowCallCounter::FullPath(LPCSTR text, DWORD size, LPSTR buffer, LPSTR* part) {
  ++fullPath;
  return g_realNarrow.GetFullPathNameA(text, size, buffer, part);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& directory) : changed_(false) {
  char saved[4096] = {};
  if (_getcwd(saved, sizeof saved - 1) != nullptr) saved_ = saved;
  changed_ = !saved_.empty() && _chdir(directory.c_str()) == 0;
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
  if (changed_) _chdir(saved_.c_str());
}

}  // namespace pathtest
