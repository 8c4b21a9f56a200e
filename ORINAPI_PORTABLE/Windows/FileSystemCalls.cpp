#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace orin {

const FileSystemCalls& RealFileSystemCalls() {
  static const FileSystemCalls real = {
      &::CreateFileA,       &::ReadFile,          &::WriteFile,
      &::SetFilePointer,    &::SetEndOfFile,      &::GetFileSize,
      &::CloseHandle,       &::DeleteFileA,       &::GetFileAttributesA,
      &::GetDiskFreeSpaceA, &::GetVolumeInformationA, &::GetDriveTypeA,
      &::GetSystemInfo,     &::GlobalMemoryStatus,
  };
  return real;
}

FileSystemCalls& Sys() {
  static FileSystemCalls current = RealFileSystemCalls();
  return current;
}

}  // namespace orin
