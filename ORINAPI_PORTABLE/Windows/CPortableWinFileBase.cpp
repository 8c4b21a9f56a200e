#include "ORINAPI_PORTABLE/Windows/CPortableWinFileBase.h"

#include <string.h>

#include <new>

#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

using orin::Sys;

const char kWinPFileSource[] = "ORINAPI_PORTABLE\\Windows\\CPortableWinPFile";
const char kUnBufWinPFileSource[] = "ORINAPI_PORTABLE\\Windows\\CPortableUnBufWinPFile";

namespace {

PathCopy CopyPath(const char* path) {
  if (path == nullptr) return nullptr;
  const size_t size = strlen(path) + 1;
  PathCopy copy(static_cast<char*>(orin::Allocate(size)));
  if (copy) memcpy(copy.get(), path, size);
  return copy;
}

}  // namespace

char DriveLetterOf(const char* path) {
  if (path == nullptr || path[0] == '\0' || path[1] != ':') return 0;
  return path[0];
}

CPortableWinFileBase::CPortableWinFileBase(const char* path, int32_t mode, CPortableErrorSink* sink)
    : CPortableWinFileBase(path, mode, sink, kWinPFileSource) {}

CPortableWinFileBase::CPortableWinFileBase(const char* path, int32_t mode, CPortableErrorSink* sink,
                                           const char* source)
    : mode_(mode), path_(CopyPath(path)), sink_(sink), source_(source) {
  pathCopyFailed_ = path != nullptr && path_ == nullptr;
}

CPortableWinFileBase::~CPortableWinFileBase() = default;

int32_t CPortableWinFileBase::RecordAndReport(int32_t code, int32_t line) {
  lastError_ = code;
  if (sink_ != nullptr) sink_->Report(source_, line, code, GetPath());
  return code;
}

bool CPortableWinFileBase::EnsureOpen() {
  if (!handle_.valid()) Open(mode_);
  return handle_.valid();
}

int32_t CPortableWinFileBase::CloseOwnHandle(int32_t line) {
  const HANDLE handle = handle_.release();
  if (handle == INVALID_HANDLE_VALUE || Sys().CloseHandle(handle)) return 0;
  return RecordAndReport(static_cast<int32_t>(::GetLastError()), line);
}

int32_t CPortableWinFileBase::GetError() { return lastError_; }

char* CPortableWinFileBase::GetFileName(char* destination) {
  if (destination == nullptr || pathCopyFailed_) return nullptr;
  const char* path = GetPath();
  memcpy(destination, path, strlen(path) + 1);
  return destination;
}

int32_t CPortableWinFileBase::GetSize(uint64_t* size) {
  if (size == nullptr) return kPortableFileRefused;
  const bool wasOpen = handle_.valid();
  if (!wasOpen) {
    const int32_t opened = Open(kPortableOpenRead);
    if (opened != 0) {
      lastError_ = opened;
      return opened;
    }
  }
  int32_t result = 0;
  DWORD high = 0;
  ::SetLastError(0);
  const DWORD low = Sys().GetFileSize(handle_.get(), &high);
  const DWORD error = ::GetLastError();
  if (low == INVALID_FILE_SIZE && error != 0) {
    result = RecordAndReport(static_cast<int32_t>(error), __LINE__);
  } else {
    *size = (static_cast<uint64_t>(high) << 32) | low;
  }
  if (!wasOpen) Close();
  return result;
}

int32_t CPortableWinFileBase::Truncate() {
  if (!handle_.valid()) {
    if (lastError_ != 0) RecordAndReport(lastError_, __LINE__);
    return lastError_;
  }
  lastError_ = 0;
  if (!Sys().SetEndOfFile(handle_.get())) {
    return RecordAndReport(static_cast<int32_t>(::GetLastError()), __LINE__);
  }
  return lastError_;
}

int32_t CPortableWinFileBase::Delete() {
  Close();
  // The file is going: staged bytes no longer matter, and an open handle would keep it.
  if (handle_.valid()) CloseOwnHandle(__LINE__);
  if (path_ == nullptr) return RecordAndReport(MissingPathCode(), __LINE__);
  if (!Sys().DeleteFileA(path_.get())) {
    return RecordAndReport(static_cast<int32_t>(::GetLastError()), __LINE__);
  }
  return 0;
}

PortableLocation CPortableWinFileBase::GetLocation() {
  if (path_ == nullptr) return PortableLocation{kPortableLocationNoDrive, 0};
  char letter = DriveLetterOf(path_.get());
  if (letter == 0) {
    char directory[1040] = {};
    if (Sys().crtGetcwd(directory, sizeof directory - 1) == nullptr) {
      return PortableLocation{kPortableLocationNoDrive, 0};
    }
    letter = DriveLetterOf(directory);
  }
  if (letter == 0) return PortableLocation{kPortableLocationNoDrive, 0};
  return PortableLocation{kPortableLocationDrive, static_cast<unsigned char>(letter)};
}
