// Life cycle of the unbuffered file: construction, opening, positioning, closing with the trim,
// truncation and cloning. The transfers are in CPortableUnBufWinPFileTransfer.cpp.
#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"

#include <new>

#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ORINAPI_PORTABLE/Windows/UnBufBufferPool.h"

using orin::Sys;

namespace {

constexpr uint32_t kFallbackSectorSize = 512;

bool IsUsableSectorSize(uint32_t sectorSize, uint32_t bufferSize) {
  return sectorSize != 0 && (sectorSize & (sectorSize - 1)) == 0 && sectorSize <= bufferSize;
}

}  // namespace

CPortableUnBufWinPFile::CPortableUnBufWinPFile(const char* path, int32_t mode, uint32_t cachingFlags,
                                               CPortableErrorSink* sink)
    : CPortableUnBufWinPFile(path, mode, cachingFlags, sink, false) {}

CPortableUnBufWinPFile::CPortableUnBufWinPFile(const char* path, int32_t mode, uint32_t cachingFlags,
                                               CPortableErrorSink* sink, bool claimName)
    : CPortableWinFileBase(path, mode, sink, kUnBufWinPFileSource),
      caching_(static_cast<int32_t>(cachingFlags & kUnBufCaching)) {
  claimName_ = claimName;
  SYSTEM_INFO info = {};
  Sys().GetSystemInfo(&info);
  pageSize_ = info.dwPageSize != 0 ? info.dwPageSize : 4096;
  const uint32_t span = pageSize_ > UnBufBufferPool::kBufferSpacing ? pageSize_ : UnBufBufferPool::kBufferSpacing;
  bufferSize_ = pageSize_ * (span / pageSize_);

  char root[4] = {DriveLetterOf(path), ':', '\\', '\0'};
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!Sys().GetDiskFreeSpaceA(root[0] != 0 ? root : nullptr, &sectorsPerCluster, &bytesPerSector,
                               &freeClusters, &totalClusters)) {
    RecordAndReport(static_cast<int32_t>(::GetLastError()), __LINE__);
    sectorSize_ = kFallbackSectorSize;
  } else {
    sectorSize_ = IsUsableSectorSize(bytesPerSector, bufferSize_) ? bytesPerSector : kFallbackSectorSize;
  }

  // Opening learns the logical size.
  CPortableUnBufWinPFile::Open(mode);
}

CPortableUnBufWinPFile::~CPortableUnBufWinPFile() {
  if (handle_.valid()) CPortableUnBufWinPFile::Close();
  if (handle_.valid()) CloseOwnHandle(__LINE__);  // the Close failed; it was reported
  GiveBufferBack();
}

// Only a file this object created is deleted; one that was there before is left alone.
CPortableUnBufWinTempPFile::~CPortableUnBufWinTempPFile() {
  if (created_) Delete();
}

int32_t CPortableUnBufWinPFile::Delete() {
  const int32_t result = CPortableWinFileBase::Delete();
  GiveBufferBack();  // staged bytes of a deleted file have nowhere to go
  return result;
}

int64_t CPortableUnBufWinPFile::Aligned(int64_t offset) const {
  const int64_t sector = sectorSize_;
  const int64_t rest = offset % sector;
  return rest >= 0 ? offset - rest : offset - rest - sector;
}

bool CPortableUnBufWinPFile::TakeBuffer() {
  if (buffer_ != nullptr) return true;
  buffer_ = static_cast<unsigned char*>(UnBufBufferPool::Take());
  if (buffer_ == nullptr) {
    lastError_ = kPortableFileRefused;
    return false;
  }
  dirty_ = 0;
  bufferPosition_ = 0;
  fill_ = 0;
  return true;
}

void CPortableUnBufWinPFile::GiveBufferBack() {
  UnBufBufferPool::GiveBack(buffer_);
  buffer_ = nullptr;
  dirty_ = 0;
  bufferPosition_ = 0;
  fill_ = 0;
}

int32_t CPortableUnBufWinPFile::Open(int32_t mode) {
  if (mode == mode_ && handle_.valid()) return lastError_;
  if (handle_.valid()) {
    const int32_t closed = Close();
    // Bytes still staged or a trim still owed: the file stays open as it was.
    if (handle_.valid()) return closed;
  }
  position_ = 0;
  lastError_ = 0;
  fill_ = 0;
  bufferPosition_ = 0;
  dirty_ = 0;
  mode_ = mode;
  DWORD access, share, disposition, flags;
  if (mode == kPortableOpenRead) {
    access = GENERIC_READ;
    share = FILE_SHARE_READ;
    disposition = OPEN_EXISTING;
    flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN;
  } else if (mode == kPortableOpenWrite || mode == kPortableOpenReadWrite) {
    // Write mode needs read access too: partial sectors are read, changed and written back.
    access = GENERIC_READ | GENERIC_WRITE;
    share = 0;
    disposition = OPEN_ALWAYS;
    flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_NO_BUFFERING | FILE_FLAG_RANDOM_ACCESS;
  } else {
    handle_.reset();
    lastError_ = kPortableFileBadMode;
    return lastError_;
  }
  if (path_ == nullptr) return RecordAndReport(MissingPathCode(), __LINE__);
  HANDLE handle = Sys().CreateFileA(path_.get(), access, share, nullptr, Disposition(disposition), flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return RecordAndReport(static_cast<int32_t>(::GetLastError()), __LINE__);
  }
  handle_.reset(handle);
  NoteOpened();
  return sizeKnown_ ? lastError_ : LearnSize();
}

int32_t CPortableUnBufWinPFile::LearnSize() {
  DWORD high = 0;
  ::SetLastError(0);
  const DWORD low = Sys().GetFileSize(handle_.get(), &high);
  const DWORD error = ::GetLastError();
  if (low == INVALID_FILE_SIZE && error != NO_ERROR) {
    // A size never read is unknown, not 0: trimming to it would cut the file. Stay closed until
    // an open learns it.
    const int32_t code = RecordAndReport(static_cast<int32_t>(error), __LINE__);
    CloseOwnHandle(__LINE__);
    lastError_ = code;
    return code;
  }
  logicalSize_ = static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
  onDisk_ = logicalSize_;
  sizeKnown_ = true;
  return 0;
}

int32_t CPortableUnBufWinPFile::ReopenKeepingPosition() {
  if (handle_.valid()) return 0;
  const int64_t kept = position_;
  const int32_t result = Open(mode_);
  position_ = kept;
  return result;
}

int32_t CPortableUnBufWinPFile::Seek(int32_t origin, int64_t distance) {
  int32_t result = ReopenKeepingPosition();
  if (result != 0) return result;
  const int64_t kept = position_;
  if (mode_ == kPortableOpenWrite || mode_ == kPortableOpenReadWrite) {
    result = Flush();
    if (result != 0) return result;
  }
  position_ = kept;
  int64_t base;
  switch (origin) {
    case kPortableSeekNone: return 0;
    case kPortableSeekFromStart: base = 0; break;
    case kPortableSeekFromEnd: base = logicalSize_; break;
    case kPortableSeekFromCurrent: base = position_; break;
    default: return kPortableFileBadOrigin;
  }
  int64_t target;
  if (__builtin_add_overflow(base, distance, &target)) {
    return RecordAndReport(ERROR_INVALID_PARAMETER, __LINE__);
  }
  // As the system file pointer does, refuse to move before the start.
  if (target < 0) return RecordAndReport(ERROR_NEGATIVE_SEEK, __LINE__);
  position_ = target;
  return 0;
}

int32_t CPortableUnBufWinPFile::GetPosition(int64_t* position) {
  if (position == nullptr) return kPortableFileRefused;
  *position = position_;
  return 0;
}

int32_t CPortableUnBufWinPFile::Close() {
  // Already closed (after Truncate, Commit or Clone): nothing to do, and the logical position
  // stays, so that a later Write continues where the file was left.
  if (!handle_.valid()) return 0;
  // Until the staged bytes are on disk and the sector padding is cut, the file stays open with
  // its buffer, so that a later Close can finish the job.
  int32_t result = Flush();
  if (result != 0) return result;
  if (mode_ != kPortableOpenRead) {
    result = TrimToLogicalSize();
    if (result != 0) return result;
  }
  position_ = 0;
  GiveBufferBack();
  return CloseOwnHandle(__LINE__);
}

int32_t CPortableUnBufWinPFile::Commit() { return Close(); }

int32_t CPortableUnBufWinPFile::TrimToLogicalSize() {
  // On this handle: the end may lie anywhere, only transfers need whole sectors.
  if (!PositionAt(logicalSize_, __LINE__)) return lastError_;
  if (!Sys().SetEndOfFile(handle_.get())) {
    return RecordAndReport(static_cast<int32_t>(::GetLastError()), __LINE__);
  }
  onDisk_ = logicalSize_;
  return 0;
}

int32_t CPortableUnBufWinPFile::Truncate() {
  if (mode_ == kPortableOpenRead) return kPortableFileRefused;
  // The cut happens when the file is closed, so a closed file must be opened for it.
  int32_t result = ReopenKeepingPosition();
  if (result != 0) return result;
  const int64_t kept = position_;
  logicalSize_ = position_;
  sizeKnown_ = true;
  result = Commit();
  position_ = kept;
  return result;
}

CPortableFile* CPortableUnBufWinPFile::Clone() {
  Commit();
  CPortableUnBufWinPFile* clone =
      orin::New<CPortableUnBufWinPFile>(path_ ? path_.get() : nullptr, mode_, 0, nullptr);
  if (clone != nullptr) clone->position_ = position_;
  return clone;
}
