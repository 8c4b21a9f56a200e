#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

#include <direct.h>
#include <mbctype.h>
#include <shlobj.h>
#include <stdio.h>

#include "ORINAPI_PORTABLE/SystemServices.h"

namespace orin {
namespace {

char* RealGetcwd(char* buffer, int size) { return _getcwd(buffer, size); }
int RealChdir(const char* path) { return _chdir(path); }
char* RealTempnam(const char* directory, const char* prefix) { return _tempnam(directory, prefix); }
int RealGetmbcp() { return _getmbcp(); }

// The wide enumeration and full-path entries stay null until BindWideEntries.
FileSystemCalls RealCalls() {
  FileSystemCalls c = {};
  c.CreateFileA = &::CreateFileA;
  c.ReadFile = &::ReadFile;
  c.WriteFile = &::WriteFile;
  c.SetFilePointer = &::SetFilePointer;
  c.SetEndOfFile = &::SetEndOfFile;
  c.GetFileSize = &::GetFileSize;
  c.CloseHandle = &::CloseHandle;
  c.DeleteFileA = &::DeleteFileA;
  c.GetFileAttributesA = &::GetFileAttributesA;
  c.SetFileAttributesA = &::SetFileAttributesA;
  c.RemoveDirectoryA = &::RemoveDirectoryA;
  c.GetDiskFreeSpaceA = &::GetDiskFreeSpaceA;
  c.GetVolumeInformationA = &::GetVolumeInformationA;
  c.GetDriveTypeA = &::GetDriveTypeA;
  c.GetSystemInfo = &::GetSystemInfo;
  c.GlobalMemoryStatus = &::GlobalMemoryStatus;
  c.SetErrorMode = &::SetErrorMode;
  c.FindFirstFileA = &::FindFirstFileA;
  c.FindNextFileA = &::FindNextFileA;
  c.FindClose = &::FindClose;
  c.GetFullPathNameA = &::GetFullPathNameA;
  c.GetShortPathNameA = &::GetShortPathNameA;
  c.GetTempPathA = &::GetTempPathA;
  c.GetTempPathW = &::GetTempPathW;
  c.GetShortPathNameW = &::GetShortPathNameW;
  c.GetCurrentDirectoryA = &::GetCurrentDirectoryA;
  c.SetCurrentDirectoryA = &::SetCurrentDirectoryA;
  c.crtGetcwd = &RealGetcwd;
  c.crtChdir = &RealChdir;
  c.crtTempnam = &RealTempnam;
  c.GetVersion = &::GetVersion;
  c.GetSystemDefaultLangID = &::GetSystemDefaultLangID;
  c.GetCPInfo = &::GetCPInfo;
  c.AreFileApisANSI = &::AreFileApisANSI;
  c.SHGetMalloc = &::SHGetMalloc;
  c.SHGetSpecialFolderLocation = &::SHGetSpecialFolderLocation;
  c.SHGetPathFromIDListA = &::SHGetPathFromIDListA;
  c.SHGetPathFromIDListW = &::SHGetPathFromIDListW;
  c.crtGetmbcp = &RealGetmbcp;
  c.MultiByteToWideChar = &::MultiByteToWideChar;
  c.WideCharToMultiByte = &::WideCharToMultiByte;
  c.GetCurrentThreadId = &::GetCurrentThreadId;
  return c;
}

FileSystemCalls& RealTable() {
  static FileSystemCalls real = RealCalls();
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
