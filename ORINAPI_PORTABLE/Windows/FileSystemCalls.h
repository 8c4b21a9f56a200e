// FileSystemCalls: the one table of system calls the portable layer makes (Win32 and the C
// run-time's path calls). It points at the real functions; tests swap entries to record transfers,
// check sector alignment, present another system or inject failures. Entries are plain function
// pointers, so the transfer path costs nothing extra.
#ifndef ORINAPI_PORTABLE_WINDOWS_FILESYSTEMCALLS_H
#define ORINAPI_PORTABLE_WINDOWS_FILESYSTEMCALLS_H

#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

// The shell's types, as <shlobj.h> declares them (only FileSystemCalls.cpp and the shell-folder
// code include it).
struct IMalloc;
struct _ITEMIDLIST;

namespace orin {

using FindFirstFileWFn = HANDLE(WINAPI*)(LPCWSTR, LPWIN32_FIND_DATAW);
using FindNextFileWFn = BOOL(WINAPI*)(HANDLE, LPWIN32_FIND_DATAW);
using GetFullPathNameWFn = DWORD(WINAPI*)(LPCWSTR, DWORD, LPWSTR, LPWSTR*);

struct FileSystemCalls {
  // Files.
  decltype(&::CreateFileA) CreateFileA;
  decltype(&::ReadFile) ReadFile;
  decltype(&::WriteFile) WriteFile;
  decltype(&::SetFilePointer) SetFilePointer;
  decltype(&::SetEndOfFile) SetEndOfFile;
  decltype(&::GetFileSize) GetFileSize;
  decltype(&::CloseHandle) CloseHandle;
  decltype(&::DeleteFileA) DeleteFileA;
  decltype(&::GetFileAttributesA) GetFileAttributesA;
  decltype(&::SetFileAttributesA) SetFileAttributesA;
  decltype(&::RemoveDirectoryA) RemoveDirectoryA;
  // Volumes and the machine.
  decltype(&::GetDiskFreeSpaceA) GetDiskFreeSpaceA;
  decltype(&::GetVolumeInformationA) GetVolumeInformationA;
  decltype(&::GetDriveTypeA) GetDriveTypeA;
  decltype(&::GetSystemInfo) GetSystemInfo;
  decltype(&::GlobalMemoryStatus) GlobalMemoryStatus;
  decltype(&::SetErrorMode) SetErrorMode;
  // Enumeration. The wide entries are null outside the NT family (see BindWideEntries).
  decltype(&::FindFirstFileA) FindFirstFileA;
  decltype(&::FindNextFileA) FindNextFileA;
  decltype(&::FindClose) FindClose;
  FindFirstFileWFn FindFirstFileW;
  FindNextFileWFn FindNextFileW;
  // Paths and folders.
  decltype(&::GetFullPathNameA) GetFullPathNameA;
  GetFullPathNameWFn GetFullPathNameW;  // null outside the NT family
  decltype(&::GetShortPathNameA) GetShortPathNameA;
  decltype(&::GetTempPathA) GetTempPathA;
  // The special folders' wide forms, for names the narrow calls cannot spell (NT family only).
  decltype(&::GetTempPathW) GetTempPathW;
  decltype(&::GetShortPathNameW) GetShortPathNameW;
  decltype(&::GetCurrentDirectoryA) GetCurrentDirectoryA;
  decltype(&::SetCurrentDirectoryA) SetCurrentDirectoryA;
  char* (*crtGetcwd)(char* buffer, int size);                   // _getcwd
  int (*crtChdir)(const char* path);                            // _chdir
  char* (*crtTempnam)(const char* directory, const char* prefix);  // _tempnam (free() the answer)
  // The system's version, language and code pages.
  decltype(&::GetVersion) GetVersion;
  decltype(&::GetSystemDefaultLangID) GetSystemDefaultLangID;
  decltype(&::GetCPInfo) GetCPInfo;
  decltype(&::AreFileApisANSI) AreFileApisANSI;
  // The shell's documents folder.
  HRESULT(WINAPI* SHGetMalloc)(IMalloc** allocator);
  HRESULT(WINAPI* SHGetSpecialFolderLocation)(HWND owner, int folder, _ITEMIDLIST** items);
  BOOL(WINAPI* SHGetPathFromIDListA)(const _ITEMIDLIST* items, LPSTR path);
  BOOL(WINAPI* SHGetPathFromIDListW)(const _ITEMIDLIST* items, LPWSTR path);
  int (*crtGetmbcp)();  // _getmbcp: the run-time's multibyte code page (0: single-byte "C")
  decltype(&::MultiByteToWideChar) MultiByteToWideChar;
  decltype(&::WideCharToMultiByte) WideCharToMultiByte;
  decltype(&::GetCurrentThreadId) GetCurrentThreadId;
};

// The real functions (with the wide entries as bound so far).
const FileSystemCalls& RealFileSystemCalls();

// The table in use; production code calls Sys().WriteFile(...) where it would call WriteFile.
FileSystemCalls& Sys();

// Looks up the wide entries once per process, on NT-family systems only (elsewhere they stay
// null and the narrow calls are used), and puts them into the real table and the one in use.
void BindWideEntries();
// Frees the module and forgets the lookup (unload, and tests that present another system).
void ReleaseWideEntries();

// Installs a table for its lifetime and puts the previous one back (tests only). The wide
// entries are bound first, so the table put back holds them.
class ScopedFileSystemCalls {
 public:
  explicit ScopedFileSystemCalls(const FileSystemCalls& calls) : saved_(BoundSys()) { Sys() = calls; }
  ~ScopedFileSystemCalls() { Sys() = saved_; }
  ScopedFileSystemCalls(const ScopedFileSystemCalls&) = delete;
  ScopedFileSystemCalls& operator=(const ScopedFileSystemCalls&) = delete;

 private:
  static FileSystemCalls& BoundSys() {
    BindWideEntries();
    return Sys();
  }
  FileSystemCalls saved_;
};

}  // namespace orin

#endif  // ORINAPI_PORTABLE_WINDOWS_FILESYSTEMCALLS_H
