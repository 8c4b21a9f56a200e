// CPortableFile: the abstract file of the portable layer. Callers read, write, position, size,
// truncate and delete files through it without touching the operating system. Also defines the
// drive location record and the optional receiver of failure reports.
#ifndef ORINAPI_PORTABLE_CPORTABLEFILE_H
#define ORINAPI_PORTABLE_CPORTABLEFILE_H

#include <stdint.h>

// Result codes of the int32 file operations. Any other positive value is the system's error
// code of the call that failed, unchanged.
enum : int32_t {
  kPortableFileOk = 0,
  kPortableFileRefused = -1,    // null argument, operation the mode forbids, no pool buffer
  kPortableFileBadOrigin = 1,   // seek origin outside 0..3
  kPortableFileBadMode = 5,     // open mode outside 1..3
};

// Open modes.
enum : int32_t {
  kPortableOpenRead = 1,
  kPortableOpenWrite = 2,
  kPortableOpenReadWrite = 3,
};

// Seek origins.
enum : int32_t {
  kPortableSeekNone = 0,         // no movement
  kPortableSeekFromStart = 1,
  kPortableSeekFromEnd = 2,
  kPortableSeekFromCurrent = 3,
};

// Where a file lies: kind 0 with the drive letter as the path spells it, or kind 3 and letter 0
// when no drive letter could be found.
struct PortableLocation {
  int32_t kind;
  int32_t letter;  // the letter in the low byte
};

enum : int32_t {
  kPortableLocationDrive = 0,
  kPortableLocationNoDrive = 3,
};

// Receives the failures of file operations. Not owned by the files that report to it; Report
// runs on the thread of the failing operation.
class CPortableErrorSink {
 public:
  virtual ~CPortableErrorSink() = default;
  // sourceFile names the implementation, line the failing call in it; path is never null.
  virtual void Report(const char* sourceFile, int32_t line, int32_t errorCode, const char* path) = 0;
};

// Every int32 operation returns 0 or an error code and also keeps it as the file's last error.
// The order of the virtual operations is fixed.
class CPortableFile {
 public:
  virtual ~CPortableFile() = default;
  // A new closed file object on the same path and mode, owned by the caller; null on failure.
  virtual CPortableFile* Clone() = 0;
  // Writes count bytes at the position; *written receives how many went. Null pointers give -1.
  virtual int32_t Write(const void* buffer, uint32_t count, uint32_t* written) = 0;
  // Reads up to count bytes (fewer at the end of the file, still success); buffer is zeroed first.
  virtual int32_t Read(void* buffer, uint32_t count, uint32_t* read) = 0;
  // The last error kept by the file.
  virtual int32_t GetError() = 0;
  // The current byte position.
  virtual int32_t GetPosition(int64_t* position) = 0;
  // Moves the position by distance from origin (0 none, 1 start, 2 end, 3 current).
  virtual int32_t Seek(int32_t origin, int64_t distance) = 0;
  // Closes the file; a later operation reopens it in its mode. A closed file gives 0.
  virtual int32_t Close() = 0;
  // Copies the path with its terminator into destination (room for the whole path); null for null.
  virtual char* GetFileName(char* destination) = 0;
  // The size of the file on disk.
  virtual int32_t GetSize(uint64_t* size) = 0;
  // Cuts the file at the current position.
  virtual int32_t Truncate() = 0;
  // Closes the file and deletes it by name.
  virtual int32_t Delete() = 0;
  // The drive the file lies on; this default knows none.
  virtual PortableLocation GetLocation();
};

#endif  // ORINAPI_PORTABLE_CPORTABLEFILE_H
