// FileSystemCalls: the table of Win32 calls the file classes make. It points at the real
// functions; tests swap entries to record transfers, check sector alignment or inject failures.
#ifndef ORINAPI_PORTABLE_WINDOWS_FILESYSTEMCALLS_H
#define ORINAPI_PORTABLE_WINDOWS_FILESYSTEMCALLS_H

#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

namespace orin {

struct FileSystemCalls {
  decltype(&::CreateFileA) CreateFileA;
  decltype(&::ReadFile) ReadFile;
  decltype(&::WriteFile) WriteFile;
  decltype(&::SetFilePointer) SetFilePointer;
  decltype(&::SetEndOfFile) SetEndOfFile;
  decltype(&::GetFileSize) GetFileSize;
  decltype(&::CloseHandle) CloseHandle;
  decltype(&::DeleteFileA) DeleteFileA;
  decltype(&::GetFileAttributesA) GetFileAttributesA;
  decltype(&::GetDiskFreeSpaceA) GetDiskFreeSpaceA;
  decltype(&::GetVolumeInformationA) GetVolumeInformationA;
  decltype(&::GetDriveTypeA) GetDriveTypeA;
  decltype(&::GetSystemInfo) GetSystemInfo;
  decltype(&::GlobalMemoryStatus) GlobalMemoryStatus;
};

// The real functions.
const FileSystemCalls& RealFileSystemCalls();

// The table in use; production code calls Sys().WriteFile(...) where it would call WriteFile.
FileSystemCalls& Sys();

// Installs a table for its lifetime and puts the previous one back (tests only).
class ScopedFileSystemCalls {
 public:
  explicit ScopedFileSystemCalls(const FileSystemCalls& calls) : saved_(Sys()) { Sys() = calls; }
  ~ScopedFileSystemCalls() { Sys() = saved_; }
  ScopedFileSystemCalls(const ScopedFileSystemCalls&) = delete;
  ScopedFileSystemCalls& operator=(const ScopedFileSystemCalls&) = delete;

 private:
  FileSystemCalls saved_;
};

}  // namespace orin

#endif  // ORINAPI_PORTABLE_WINDOWS_FILESYSTEMCALLS_H
