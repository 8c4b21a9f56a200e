#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

#include <direct.h>
#include <mbctype.h>
#include <stdio.h>

#include "ORINAPI_PORTABLE/SystemServices.h"

namespace orin {
namespace {

char* RealGetcwd(char* buffer, int size) { return _getcwd(buffer, size); }
int RealChdir(const char* path) { return _chdir(path); }
char* RealTempnam(const char* directory, const char* prefix) { return _tempnam(directory, prefix); }
int RealGetmbcp() { return _getmbcp(); }

FileSystemCalls& RealTable() {
  static FileSystemCalls real = {
      &::CreateFileA,       &::ReadFile,          &::WriteFile,           &::SetFilePointer,
      &::SetEndOfFile,      &::GetFileSize,       &::CloseHandle,         &::DeleteFileA,
      &::GetFileAttributesA, &::SetFileAttributesA, &::RemoveDirectoryA,
      &::GetDiskFreeSpaceA, &::GetVolumeInformationA, &::GetDriveTypeA,   &::GetSystemInfo,
      &::FindFirstFileA,    &::FindNextFileA,     &::FindClose,           nullptr,
      nullptr,              &::GetFullPathNameA,  nullptr,                &::GetShortPathNameA,
      &::GetTempPathA,      &::GetCurrentDirectoryA, &::SetCurrentDirectoryA, &RealGetcwd,
      &RealChdir,           &RealTempnam,         &::GetVersion,          &::GetSystemDefaultLangID,
      &::GetCPInfo,         &RealGetmbcp,         &::MultiByteToWideChar, &::WideCharToMultiByte,
      &::GetCurrentThreadId,
  };
  return real;
}

// The module that holds the wide entries; freed when the library unloads.
struct WideBinding {
  UniqueModule kernel;
  bool bound = false;
};
WideBinding g_wide;

void SetWideEntries(FileSystemCalls& calls, FindFirstFileWFn first, FindNextFileWFn next,
                    GetFullPathNameWFn fullPath) {
  calls.FindFirstFileW = first;
  calls.FindNextFileW = next;
  calls.GetFullPathNameW = fullPath;
}

}  // namespace

const FileSystemCalls& RealFileSystemCalls() { return RealTable(); }

FileSystemCalls& Sys() {
  static FileSystemCalls current = RealTable();
  return current;
}

void BindWideEntries() {
  if (g_wide.bound) return;
  g_wide.bound = true;
  FindFirstFileWFn first = nullptr;
  FindNextFileWFn next = nullptr;
  GetFullPathNameWFn fullPath = nullptr;
  if (IsWindowsNT()) {
    g_wide.kernel.reset(::LoadLibraryA("KERNEL32.DLL"));
    if (g_wide.kernel) {
      first = GetEntryPoint<FindFirstFileWFn>(g_wide.kernel.get(), "FindFirstFileW");
      next = GetEntryPoint<FindNextFileWFn>(g_wide.kernel.get(), "FindNextFileW");
      fullPath = GetEntryPoint<GetFullPathNameWFn>(g_wide.kernel.get(), "GetFullPathNameW");
    }
  }
  SetWideEntries(RealTable(), first, next, fullPath);
  SetWideEntries(Sys(), first, next, fullPath);
}

void ReleaseWideEntries() {
  SetWideEntries(RealTable(), nullptr, nullptr, nullptr);
  SetWideEntries(Sys(), nullptr, nullptr, nullptr);
  g_wide.kernel.reset();
  g_wide.bound = false;
}

BOOL CloseHandleThroughSys(HANDLE handle) { return Sys().CloseHandle(handle); }
BOOL FindCloseThroughSys(HANDLE handle) { return Sys().FindClose(handle); }

}  // namespace orin
