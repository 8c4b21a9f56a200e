// CPortableUnBufWinPFile: a file opened without system caching. Every transfer to the disk
// starts on a sector boundary, covers whole sectors and uses page-aligned pool memory; the class
// keeps its own logical position and size, stages partial sectors (read-modify-write) and cuts
// the file to its logical size at Close. Optional caching adds read-ahead and write-behind.
// CPortableUnBufWinTempPFile deletes its file when destroyed.
#ifndef ORINAPI_PORTABLE_WINDOWS_CPORTABLEUNBUFWINPFILE_H
#define ORINAPI_PORTABLE_WINDOWS_CPORTABLEUNBUFWINPFILE_H

#include "ORINAPI_PORTABLE/Windows/CPortableWinFileBase.h"
#include "ORINAPI_PORTABLE/Windows/TempFileNames.h"

// Bit of the caching flags.
enum : uint32_t { kUnBufCaching = 1 };

class CPortableUnBufWinPFile : public CPortableWinFileBase {
 public:
  // Opens at once (modes 2 and 3 create a missing file and keep an existing one's contents) and
  // reads the on-disk size as the logical size. Only bit 0 of cachingFlags is used.
  CPortableUnBufWinPFile(const char* path, int32_t mode, uint32_t cachingFlags, CPortableErrorSink* sink);
  // Closes (flush and trim) when open.
  ~CPortableUnBufWinPFile() override;

  // Closes this object, then returns a new open object on the same path and mode, caching off.
  CPortableFile* Clone() override;
  // Modes 2 and 3 only; -1 for null pointers or when no pool buffer is free.
  int32_t Write(const void* buffer, uint32_t count, uint32_t* written) override;
  // Modes 1 and 3 only; the count is cut at the logical size.
  int32_t Read(void* buffer, uint32_t count, uint32_t* read) override;
  // The logical position, kept even while closed.
  int32_t GetPosition(int64_t* position) override;
  // Moves the logical position without touching the disk (flushes staged bytes first).
  int32_t Seek(int32_t origin, int64_t distance) override;
  // Flushes, cuts the file at the logical size, gives the pool buffer back and closes. A failed
  // flush or cut returns its code and leaves the file open, so that Close can be tried again.
  int32_t Close() override;
  // Sets the logical size to the position and closes (cutting the file); modes 2 and 3 only.
  int32_t Truncate() override;
  // The first open that succeeds learns the logical size; when the size query fails the file
  // stays closed and the code is returned.
  int32_t Open(int32_t mode) override;
  // Also drops staged bytes and gives the pool buffer back.
  int32_t Delete() override;

  // Same as Close.
  virtual int32_t Commit();
  // The transfer steps behind Read and Write; they expect the checks of Read/Write done.
  virtual int32_t ReadCached(void* buffer, uint32_t count, uint32_t* read);
  virtual int32_t ReadDirect(void* buffer, uint32_t count, uint32_t* read);
  virtual int32_t WriteCached(const void* buffer, uint32_t count, uint32_t* written);
  virtual int32_t WriteDirect(const void* buffer, uint32_t count, uint32_t* written);
  // Writes staged write-behind bytes; they stay staged when that fails. Whole sectors staged from
  // a sector boundary are written from the file's own buffer, else through a second pool buffer.
  virtual int32_t Flush();

  // Inspection for the layer and its tests.
  uint32_t GetSectorSize() const { return sectorSize_; }
  uint32_t GetBufferSize() const { return bufferSize_; }
  int64_t GetLogicalSize() const { return logicalSize_; }
  bool IsCaching() const { return caching_ != 0; }
  bool HoldsBuffer() const { return buffer_ != nullptr; }

 protected:
  // claimName: the first open creates the file (CREATE_NEW), for temporary objects.
  CPortableUnBufWinPFile(const char* path, int32_t mode, uint32_t cachingFlags, CPortableErrorSink* sink,
                         bool claimName);

 private:
  // Reads the on-disk size of the file just opened into the logical size; closes it on failure.
  int32_t LearnSize();
  int64_t Aligned(int64_t offset) const;
  // Opens a closed file in the stored mode without losing the logical position.
  int32_t ReopenKeepingPosition();
  bool TakeBuffer();
  void GiveBufferBack();
  // Low-level steps: each records and reports its own failure and returns false.
  bool PositionAt(int64_t offset, int32_t line);
  // Reads into the file's buffer at the file pointer, which stands at offset. Bytes past a short
  // read (the physical end) are zeroed; a short read before the bytes known on disk fails with
  // ERROR_HANDLE_EOF.
  bool ReadSectors(int64_t offset, uint32_t length, int32_t line);
  bool ReadSectorsInto(unsigned char* memory, int64_t offset, uint32_t length, int32_t line);
  // Caller memory that meets the system's alignment rule is transferred without a copy.
  bool IsSectorAligned(const void* memory) const;
  // Writes at the file pointer, which stands at offset.
  bool WriteSectors(const void* data, int64_t offset, uint32_t length, int32_t line);
  // Whether the buffer holds count bytes from the position on with at least one byte to spare
  // (the strict test of a cached hit).
  bool AheadHolds(uint32_t count) const;
  // Counts n transferred bytes: the caller's total, the position and, for writes, the size.
  void Advance(uint32_t n, uint32_t* total, bool grows);
  // Cuts the open file at the logical size.
  int32_t TrimToLogicalSize();

  unsigned char* buffer_ = nullptr;  // pool buffer held, or null
  int32_t dirty_ = 0;                // 1 while the buffer holds bytes not yet on disk
  int64_t bufferPosition_ = 0;       // file offset of the buffer's first byte
  uint32_t fill_ = 0;                // bytes of the buffer in use
  int64_t logicalSize_ = 0;          // the file's length as this object sees it
  uint32_t sectorSize_ = 0;          // bytes per sector of the volume
  uint32_t bufferSize_ = 0;          // usable length of a pool buffer
  uint32_t pageSize_ = 0;            // system page size
  int64_t position_ = 0;             // logical position
  int32_t caching_ = 0;              // 1: read-ahead and write-behind
  bool sizeKnown_ = false;           // the logical size was read from the disk or set
  int64_t onDisk_ = 0;               // bytes the file is known to hold: read at open, written, cut
};

class CPortableUnBufWinTempPFile : public CPortableUnBufWinPFile {
 public:
  // Creates the file (CREATE_NEW): GetError() is 80 when the name exists.
  CPortableUnBufWinTempPFile(const char* path, int32_t mode, uint32_t cachingFlags, CPortableErrorSink* sink)
      : CPortableUnBufWinPFile(path, mode, cachingFlags, sink, true) {}
  // Closes (flush, trim) and deletes the file if this object created it, then gives up its name.
  ~CPortableUnBufWinTempPFile() override;
  // Keeps the name from other temporary objects while this one lives.
  void KeepNameClaim(TempNameClaim&& claim) { nameClaim_ = std::move(claim); }

 private:
  TempNameClaim nameClaim_;
};

#endif  // ORINAPI_PORTABLE_WINDOWS_CPORTABLEUNBUFWINPFILE_H
