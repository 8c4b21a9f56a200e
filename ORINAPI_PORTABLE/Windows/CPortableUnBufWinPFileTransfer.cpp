// Transfers of the unbuffered file: every read and write of the disk is sector-aligned in
// offset, length and memory; partial sectors go through the file's pool buffer.
#include <string.h>

#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ORINAPI_PORTABLE/Windows/UnBufBufferPool.h"

using orin::Sys;

namespace {

bool ModeWrites(int32_t mode) { return mode == kPortableOpenWrite || mode == kPortableOpenReadWrite; }
bool ModeReads(int32_t mode) { return mode == kPortableOpenRead || mode == kPortableOpenReadWrite; }

// Copies the record-sized pieces of cached transfers in line: for a few dozen bytes the call into
// the run-time's memcpy costs more than the copy (a fifth of a 100-byte cached read).
void CopyPiece(void* to, const void* from, uint32_t count) {
  if (count > 256) {
    memcpy(to, from, count);
    return;
  }
  unsigned char* out = static_cast<unsigned char*>(to);
  const unsigned char* in = static_cast<const unsigned char*>(from);
  for (; count >= 16; count -= 16, out += 16, in += 16) __builtin_memcpy(out, in, 16);
  for (uint32_t step = 8; step > 1; step /= 2) {
    if (count & step) {
      __builtin_memcpy(out, in, step);
      out += step;
      in += step;
    }
  }
  if (count & 1) *out = *in;
}

}  // namespace

bool CPortableUnBufWinPFile::PositionAt(int64_t offset, int32_t line) {
  LONG high = static_cast<LONG>(offset >> 32);
  ::SetLastError(0);
  const DWORD low = Sys().SetFilePointer(handle_.get(), static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
  const DWORD error = ::GetLastError();
  const int64_t reached = static_cast<int64_t>(high) * 4294967296LL + static_cast<int64_t>(low);
  if (low == INVALID_SET_FILE_POINTER && error != NO_ERROR) {
    RecordAndReport(static_cast<int32_t>(error), line);
    return false;
  }
  if (reached != offset) {
    RecordAndReport(error != NO_ERROR ? static_cast<int32_t>(error) : ERROR_SEEK, line);
    return false;
  }
  return true;
}

bool CPortableUnBufWinPFile::ReadSectors(int64_t offset, uint32_t length, int32_t line) {
  return ReadSectorsInto(buffer_, offset, length, line);
}

bool CPortableUnBufWinPFile::ReadSectorsInto(unsigned char* memory, int64_t offset, uint32_t length, int32_t line) {
  DWORD done = 0;
  if (!Sys().ReadFile(handle_.get(), memory, length, &done, nullptr)) {
    const DWORD error = ::GetLastError();
    RecordAndReport(error != 0 ? static_cast<int32_t>(error) : kPortableFileRefused, line);
    return false;
  }
  if (done < length) {
    // The file holds at least onDisk_ bytes, so a read that stops before them did not reach the
    // end: its zeros would pass for data (and a read-modify-write would write them back).
    if (offset < onDisk_ && done < onDisk_ - offset) {
      RecordAndReport(ERROR_HANDLE_EOF, line);
      return false;
    }
    // Past the physical end: what reaches the disk from here must be zeros, not old buffer bytes.
    memset(memory + done, 0, length - done);
  }
  return true;
}

bool CPortableUnBufWinPFile::IsSectorAligned(const void* memory) const {
  return reinterpret_cast<uintptr_t>(memory) % sectorSize_ == 0;
}

bool CPortableUnBufWinPFile::WriteSectors(const void* data, int64_t offset, uint32_t length, int32_t line) {
  DWORD done = 0;
  ::SetLastError(0);
  if (Sys().WriteFile(handle_.get(), data, length, &done, nullptr) && done == length) {
    if (offset + length > onDisk_) onDisk_ = offset + length;
    return true;
  }
  const DWORD error = ::GetLastError();
  RecordAndReport(error != 0 ? static_cast<int32_t>(error) : kPortableFileRefused, line);
  return false;
}

bool CPortableUnBufWinPFile::AheadHolds(uint32_t count) const {
  // Differences only: a far position plus a count could pass the end of int64.
  if (position_ < bufferPosition_) return false;
  const int64_t offset = position_ - bufferPosition_;
  return offset < fill_ && count < fill_ - offset;
}

void CPortableUnBufWinPFile::Advance(uint32_t n, uint32_t* total, bool grows) {
  *total += n;
  position_ += n;
  if (grows && position_ > logicalSize_) logicalSize_ = position_;
}

int32_t CPortableUnBufWinPFile::Write(const void* buffer, uint32_t count, uint32_t* written) {
  if (!ModeWrites(mode_) || buffer == nullptr || written == nullptr) return kPortableFileRefused;
  *written = 0;
  if (count == 0) return 0;
  if (position_ > INT64_MAX - static_cast<int64_t>(count)) {
    return RecordAndReport(ERROR_INVALID_PARAMETER, __LINE__);
  }
  // Small writes that fit behind staged bytes: the common case of write-behind, kept short.
  if (caching_ && dirty_ && handle_.valid() && position_ - bufferPosition_ == fill_ && count <= bufferSize_ - fill_) {
    CopyPiece(buffer_ + fill_, buffer, count);
    fill_ += count;
    Advance(count, written, true);
    return 0;
  }
  return caching_ ? WriteCached(buffer, count, written) : WriteDirect(buffer, count, written);
}

int32_t CPortableUnBufWinPFile::WriteDirect(const void* buffer, uint32_t count, uint32_t* written) {
  if (!ModeWrites(mode_) || buffer == nullptr || written == nullptr) return kPortableFileRefused;
  const int32_t opened = ReopenKeepingPosition();
  if (opened != 0) return opened;
  if (!TakeBuffer()) return kPortableFileRefused;
  const unsigned char* data = static_cast<const unsigned char*>(buffer);

  const int64_t start = Aligned(position_);
  if (!PositionAt(start, __LINE__)) return lastError_;
  const uint32_t offset = static_cast<uint32_t>(position_ - start);
  if (offset != 0) {
    if (!ReadSectors(start, sectorSize_, __LINE__)) return lastError_;
    const uint32_t n = count < sectorSize_ - offset ? count : sectorSize_ - offset;
    memcpy(buffer_ + offset, data, n);
    if (!PositionAt(start, __LINE__) || !WriteSectors(buffer_, start, sectorSize_, __LINE__)) return lastError_;
    Advance(n, written, true);
    data += n;
    count -= n;
  }

  const uint32_t largest = bufferSize_ / sectorSize_ * sectorSize_;
  while (count >= sectorSize_) {
    uint32_t chunk = count / sectorSize_ * sectorSize_;
    if (chunk > largest) chunk = largest;
    const void* source = data;
    if (!IsSectorAligned(data)) {
      memcpy(buffer_, data, chunk);
      source = buffer_;
    }
    if (!WriteSectors(source, position_, chunk, __LINE__)) return lastError_;
    Advance(chunk, written, true);
    data += chunk;
    count -= chunk;
  }

  if (count > 0) {
    if (!ReadSectors(position_, sectorSize_, __LINE__)) return lastError_;
    memcpy(buffer_, data, count);
    if (!PositionAt(position_, __LINE__) || !WriteSectors(buffer_, position_, sectorSize_, __LINE__)) return lastError_;
    Advance(count, written, true);
  }
  return 0;
}

int32_t CPortableUnBufWinPFile::WriteCached(const void* buffer, uint32_t count, uint32_t* written) {
  if (!ModeWrites(mode_) || buffer == nullptr || written == nullptr) return kPortableFileRefused;
  const int32_t opened = ReopenKeepingPosition();
  if (opened != 0) return opened;
  if (!TakeBuffer()) return kPortableFileRefused;
  // Staged bytes are appended to only when they end where this write starts; read-ahead bytes
  // are dropped, so that every byte reaches the disk at the offset it was written to.
  if (fill_ > 0 && (!dirty_ || position_ - bufferPosition_ != fill_)) {
    if (dirty_) {
      const int32_t flushed = Flush();
      if (flushed != 0) return flushed;
    }
    fill_ = 0;
    bufferPosition_ = 0;
  }
  const unsigned char* data = static_cast<const unsigned char*>(buffer);
  while (count > 0) {
    const uint32_t room = bufferSize_ - fill_;
    const uint32_t n = count < room ? count : room;
    if (n == 0) {
      if (!dirty_) return 0;
      const int32_t flushed = Flush();
      if (flushed != 0) return flushed;
      continue;
    }
    if (fill_ == 0) bufferPosition_ = position_;
    memcpy(buffer_ + fill_, data, n);
    dirty_ = 1;
    fill_ += n;
    Advance(n, written, true);
    data += n;
    count -= n;
  }
  return 0;
}

int32_t CPortableUnBufWinPFile::Flush() {
  if (mode_ == kPortableOpenRead || !dirty_ || fill_ == 0) return 0;
  // Whole sectors staged from a sector boundary (a full buffer of sequential writes) go to the
  // disk straight from this buffer: moving them out first would copy every byte once more.
  if (handle_.valid() && bufferPosition_ % sectorSize_ == 0 && fill_ % sectorSize_ == 0 && IsSectorAligned(buffer_)) {
    if (!PositionAt(bufferPosition_, __LINE__) || !WriteSectors(buffer_, bufferPosition_, fill_, __LINE__)) {
      return lastError_;  // still staged
    }
    dirty_ = 0;
    bufferPosition_ = 0;
    fill_ = 0;
    return 0;
  }
  // The write below stages through this file's own buffer, so the bytes move out first.
  void* staging = UnBufBufferPool::Take();
  if (staging == nullptr) return lastError_ = kPortableFileRefused;
  const int64_t kept = position_;
  const int64_t stagedAt = bufferPosition_;
  const uint32_t staged = fill_;
  memcpy(staging, buffer_, staged);
  position_ = stagedAt;
  dirty_ = 0;
  bufferPosition_ = 0;
  fill_ = 0;
  uint32_t written = 0;
  const int32_t result = WriteDirect(staging, staged, &written);
  if (result != 0 && buffer_ != nullptr) {
    // Not on disk: keep the bytes staged so that a later flush can still write them.
    memcpy(buffer_, staging, staged);
    bufferPosition_ = stagedAt;
    fill_ = staged;
    dirty_ = 1;
  }
  UnBufBufferPool::GiveBack(staging);
  position_ = kept;
  return result;
}

int32_t CPortableUnBufWinPFile::Read(void* buffer, uint32_t count, uint32_t* read) {
  if (!ModeReads(mode_) || buffer == nullptr || read == nullptr) return kPortableFileRefused;
  // Reads served from read-ahead bytes: the common case of small cached reads, kept short.
  if (caching_ && !dirty_ && handle_.valid() && AheadHolds(count) && count <= logicalSize_ - position_) {
    CopyPiece(buffer, buffer_ + static_cast<size_t>(position_ - bufferPosition_), count);
    *read = 0;
    Advance(count, read, false);
    return 0;
  }
  if (dirty_) {
    const int32_t flushed = Flush();
    if (flushed != 0) return flushed;
  }
  // A file closed before its size was learned: the size decides what can be read.
  if (!sizeKnown_) {
    const int32_t opened = ReopenKeepingPosition();
    if (opened != 0) {
      memset(buffer, 0, count);
      *read = 0;
      return opened;
    }
  }
  // The caller's bytes past what is read end up zero; the bytes that will be read are not
  // cleared first, which would cost a pass over large buffers.
  unsigned char* out = static_cast<unsigned char*>(buffer);
  *read = 0;
  const uint32_t asked = count;
  const int64_t left = position_ < logicalSize_ ? logicalSize_ - position_ : 0;
  if (static_cast<int64_t>(count) > left) count = static_cast<uint32_t>(left);
  memset(out + count, 0, asked - count);
  int32_t result = 0;
  if (count > 0) {
    result = ReopenKeepingPosition();
    if (result == 0 && !TakeBuffer()) result = kPortableFileRefused;
    if (result == 0) result = caching_ ? ReadCached(buffer, count, read) : ReadDirect(buffer, count, read);
  }
  if (*read < count) memset(out + *read, 0, count - *read);
  return result;
}

int32_t CPortableUnBufWinPFile::ReadDirect(void* buffer, uint32_t count, uint32_t* read) {
  if (!ModeReads(mode_) || buffer == nullptr || read == nullptr || buffer_ == nullptr) {
    return kPortableFileRefused;
  }
  unsigned char* out = static_cast<unsigned char*>(buffer);
  const int64_t start = Aligned(position_);
  if (!PositionAt(start, __LINE__)) return lastError_;
  const uint32_t offset = static_cast<uint32_t>(position_ - start);
  if (offset != 0 && count > 0) {
    if (!ReadSectors(start, sectorSize_, __LINE__)) return lastError_;
    const uint32_t n = count < sectorSize_ - offset ? count : sectorSize_ - offset;
    memcpy(out, buffer_ + offset, n);
    Advance(n, read, false);
    out += n;
    count -= n;
  }
  const uint32_t largest = bufferSize_ / sectorSize_ * sectorSize_;
  while (count >= sectorSize_) {
    uint32_t chunk = count / sectorSize_ * sectorSize_;
    if (chunk > largest) chunk = largest;
    if (IsSectorAligned(out)) {
      if (!ReadSectorsInto(out, position_, chunk, __LINE__)) return lastError_;
    } else {
      if (!ReadSectors(position_, chunk, __LINE__)) return lastError_;
      memcpy(out, buffer_, chunk);
    }
    Advance(chunk, read, false);
    out += chunk;
    count -= chunk;
  }
  if (count > 0) {
    if (!ReadSectors(position_, sectorSize_, __LINE__)) return lastError_;
    memcpy(out, buffer_, count);
    Advance(count, read, false);
  }
  return 0;
}

int32_t CPortableUnBufWinPFile::ReadCached(void* buffer, uint32_t count, uint32_t* read) {
  if (!ModeReads(mode_) || buffer == nullptr || read == nullptr || buffer_ == nullptr || !handle_.valid()) {
    return kPortableFileRefused;
  }
  if (count == 0) return 0;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  if (AheadHolds(count)) {
    memcpy(out, buffer_ + static_cast<size_t>(position_ - bufferPosition_), count);
    Advance(count, read, false);
    return 0;
  }
  if (dirty_ && fill_ > 0) {
    const int32_t flushed = Flush();
    if (flushed != 0) return flushed;
  }
  bufferPosition_ = 0;
  fill_ = 0;
  const int64_t largest = bufferSize_ / sectorSize_ * sectorSize_;
  while (count > 0 && position_ < logicalSize_) {
    const int64_t start = Aligned(position_);
    if (!PositionAt(start, __LINE__)) return lastError_;
    // Capped before rounding up: largest is whole sectors, and nothing is added to a position.
    const int64_t left = logicalSize_ - start;
    const int64_t capped = left < largest ? left : largest;
    const uint32_t length = static_cast<uint32_t>((capped + sectorSize_ - 1) / sectorSize_ * sectorSize_);
    if (!ReadSectors(start, length, __LINE__)) return lastError_;
    bufferPosition_ = start;
    fill_ = length;
    const int64_t available = static_cast<int64_t>(length) - (position_ - start);
    const uint32_t n = available < count ? static_cast<uint32_t>(available) : count;
    memcpy(out, buffer_ + static_cast<size_t>(position_ - start), n);
    Advance(n, read, false);
    out += n;
    count -= n;
  }
  return 0;
}
