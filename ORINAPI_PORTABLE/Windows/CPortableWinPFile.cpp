#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"

#include <string.h>

#include <new>

#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

using orin::Sys;

namespace {

struct OpenParameters {
  DWORD access;
  DWORD share;
  DWORD disposition;
  DWORD flags;
};

bool ParametersForMode(int32_t mode, OpenParameters* parameters) {
  switch (mode) {
    case kPortableOpenRead:
      *parameters = {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN};
      return true;
    case kPortableOpenWrite:
      *parameters = {GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN};
      return true;
    case kPortableOpenReadWrite:
      *parameters = {GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS};
      return true;
    default:
      return false;
  }
}

}  // namespace

CPortableWinPFile::CPortableWinPFile(const char* path, int32_t mode, CPortableErrorSink* sink)
    : CPortableWinFileBase(path, mode, sink) {}

CPortableWinPFile::~CPortableWinPFile() {
  if (handle_.valid()) Close();
}

CPortableWinTempPFile::CPortableWinTempPFile(const char* path, int32_t mode, CPortableErrorSink* sink)
    : CPortableWinPFile(path, mode, sink) {
  claimName_ = true;
}

// Only a file this object created is deleted; one that was there before is left alone.
CPortableWinTempPFile::~CPortableWinTempPFile() {
  if (created_) Delete();
}

int32_t CPortableWinPFile::Open(int32_t mode) {
  if (mode == mode_ && handle_.valid()) return lastError_;
  if (handle_.valid()) Close();
  lastError_ = 0;
  mode_ = mode;
  OpenParameters parameters;
  if (!ParametersForMode(mode, &parameters)) {
    handle_.reset();
    lastError_ = kPortableFileBadMode;
    return lastError_;
  }
  if (path_ == nullptr) return RecordAndReport(MissingPathCode(), __LINE__);
  HANDLE handle = Sys().CreateFileA(path_.get(), parameters.access, parameters.share, nullptr,
                                    Disposition(parameters.disposition), parameters.flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return RecordAndReport(static_cast<int32_t>(::GetLastError()), __LINE__);
  }
  handle_.reset(handle);
  NoteOpened();
  return lastError_;
}

int32_t CPortableWinPFile::Write(const void* buffer, uint32_t count, uint32_t* written) {
  if (buffer == nullptr || written == nullptr) return kPortableFileRefused;
  *written = 0;
  if (!EnsureOpen()) return lastError_;
  lastError_ = 0;
  DWORD done = 0;
  const BOOL ok = Sys().WriteFile(handle_.get(), buffer, count, &done, nullptr);
  *written = done;
  if (!ok) return RecordAndReport(static_cast<int32_t>(::GetLastError()), __LINE__);
  // A write the system cut short without a code is a failure too, as in the unbuffered file.
  if (done < count) return RecordAndReport(kPortableFileRefused, __LINE__);
  return lastError_;
}

int32_t CPortableWinPFile::Read(void* buffer, uint32_t count, uint32_t* read) {
  if (buffer == nullptr || read == nullptr) return kPortableFileRefused;
  *read = 0;
  if (!EnsureOpen()) {
    memset(buffer, 0, count);
    return lastError_;
  }
  lastError_ = 0;
  DWORD done = 0;
  const BOOL ok = Sys().ReadFile(handle_.get(), buffer, count, &done, nullptr);
  const DWORD error = ::GetLastError();
  // Whatever was not read ends up zero; clearing it only afterwards saves a pass over the buffer.
  if (done > count) done = count;
  memset(static_cast<char*>(buffer) + done, 0, count - done);
  *read = done;
  if (!ok) return RecordAndReport(static_cast<int32_t>(error), __LINE__);
  return lastError_;
}

int32_t CPortableWinPFile::Seek(int32_t origin, int64_t distance) {
  if (!EnsureOpen()) return lastError_;
  DWORD method;
  switch (origin) {
    case kPortableSeekNone: return 0;
    case kPortableSeekFromStart: method = FILE_BEGIN; break;
    case kPortableSeekFromEnd: method = FILE_END; break;
    case kPortableSeekFromCurrent: method = FILE_CURRENT; break;
    default: return kPortableFileBadOrigin;
  }
  lastError_ = 0;
  LONG high = static_cast<LONG>(distance >> 32);
  ::SetLastError(0);
  const DWORD low = Sys().SetFilePointer(handle_.get(), static_cast<LONG>(distance & 0xFFFFFFFF), &high, method);
  if (low == INVALID_SET_FILE_POINTER) {
    const DWORD error = ::GetLastError();
    if (error != NO_ERROR) return RecordAndReport(static_cast<int32_t>(error), __LINE__);
  }
  return lastError_;
}

int32_t CPortableWinPFile::GetPosition(int64_t* position) {
  if (position == nullptr) return kPortableFileRefused;
  if (!handle_.valid()) {
    const int32_t opened = Open(mode_);
    if (opened != 0) return opened;
  }
  lastError_ = 0;
  LONG high = 0;
  ::SetLastError(0);
  const DWORD low = Sys().SetFilePointer(handle_.get(), 0, &high, FILE_CURRENT);
  if (low == INVALID_SET_FILE_POINTER) {
    const DWORD error = ::GetLastError();
    if (error != 0) return RecordAndReport(static_cast<int32_t>(error), __LINE__);
  }
  *position = static_cast<int64_t>(high) * 4294967296LL + static_cast<int64_t>(low);
  return 0;
}

int32_t CPortableWinPFile::Close() {
  if (!handle_.valid()) return 0;
  return CloseOwnHandle(__LINE__);
}

CPortableFile* CPortableWinPFile::Clone() {
  return orin::New<CPortableWinPFile>(path_ ? path_.get() : nullptr, mode_, nullptr);
}
