// FileCallRecorder: a system-call table for the file tests. It passes every call through to the
// real system while it records the transfers, checks that each transfer on an unbuffered handle
// is sector-aligned in offset, length and memory, and fails chosen calls on demand.
#ifndef TESTS_FILES_FILECALLRECORDER_H
#define TESTS_FILES_FILECALLRECORDER_H

#include <stdint.h>

#include <string>
#include <vector>

#include "ORINAPI_PORTABLE/CPortableFile.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace filetest {

enum class Call { Create, Read, Write, Position, SetEnd, Size, Close, Delete, DiskFreeSpace, Attributes };

// One recorded transfer or positioning on an unbuffered handle.
struct Transfer {
  char kind;        // 'P' positioning, 'R' read, 'W' write
  int64_t offset;   // where the read or write started, or the position asked for
  uint32_t length;  // bytes asked for (0 for positionings)
  bool operator==(const Transfer& other) const {
    return kind == other.kind && offset == other.offset && length == other.length;
  }
};
std::string Describe(const std::vector<Transfer>& transfers);

// Installs itself for its lifetime; one at a time.
class FileCallRecorder {
 public:
  FileCallRecorder();
  ~FileCallRecorder();
  FileCallRecorder(const FileCallRecorder&) = delete;
  FileCallRecorder& operator=(const FileCallRecorder&) = delete;

  // The nth next call of that kind (1 = the very next) fails with code; it reaches the system
  // first only when passThrough is set (a close that closes yet reports failure).
  void FailCall(Call call, uint32_t code, int nth = 1, bool passThrough = false);
  // The nth next ReadFile or WriteFile (call) succeeds but reports at most bytes done.
  void ShortenTransfer(Call call, uint32_t bytes, int nth = 1) {
    shortCall_ = call;
    shortBytes_ = bytes;
    shortIn_ = nth;
  }
  bool ShouldShorten(Call call, uint32_t* bytes) {
    *bytes = shortBytes_;
    return call == shortCall_ && shortIn_ > 0 && --shortIn_ == 0;
  }
  // GetDiskFreeSpaceA answers this sector size (0: the real answer).
  void FakeSectorSize(uint32_t bytes) { fakeSectorSize_ = bytes; }

  // Transfers on unbuffered handles since the last ClearTransfers.
  const std::vector<Transfer>& Transfers() const { return transfers_; }
  void ClearTransfers() { transfers_.clear(); }
  int AlignmentViolations() const { return violations_; }
  int CallCount(Call call) const { return counts_[static_cast<int>(call)]; }

  static FileCallRecorder* Current();

  // Used by the table's functions.
  bool ShouldFail(Call call, DWORD* code, bool* passThrough);
  void Count(Call call) { ++counts_[static_cast<int>(call)]; }
  void NoteHandle(HANDLE handle, DWORD flags);
  void ForgetHandle(HANDLE handle);
  bool IsUnbuffered(HANDLE handle) const;
  void CheckTransfer(char kind, HANDLE handle, const void* memory, DWORD length);
  void NotePositioning(HANDLE handle, int64_t offset);
  uint32_t SectorSize() const { return fakeSectorSize_ != 0 ? fakeSectorSize_ : realSectorSize_; }
  void NoteRealSectorSize(uint32_t bytes) { realSectorSize_ = bytes; }
  uint32_t fakeSectorSize() const { return fakeSectorSize_; }

 private:
  struct Fault {
    Call call;
    uint32_t code;
    int remaining;
    bool passThrough;
  };
  orin::ScopedFileSystemCalls install_;
  uint32_t fakeSectorSize_ = 0;
  uint32_t realSectorSize_ = 512;
  std::vector<Fault> faults_;
  std::vector<HANDLE> unbuffered_;
  std::vector<Transfer> transfers_;
  int counts_[10] = {};
  Call shortCall_ = Call::Read;
  uint32_t shortBytes_ = 0;
  int shortIn_ = 0;
  int violations_ = 0;
};

// Collects the reports of the file objects.
class RecordingSink : public CPortableErrorSink {
 public:
  struct Entry {
    std::string source;
    int32_t line;
    int32_t code;
    std::string path;
  };
  void Report(const char* sourceFile, int32_t line, int32_t errorCode, const char* path) override {
    entries.push_back(Entry{sourceFile, line, errorCode, path});
  }
  std::vector<Entry> entries;
};

}  // namespace filetest

#endif  // TESTS_FILES_FILECALLRECORDER_H
