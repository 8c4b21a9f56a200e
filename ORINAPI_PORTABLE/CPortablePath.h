// CPortablePath: one file-system object named by its full path. It answers questions about what it
// names, starts directory enumerations, and is itself a file: the first file operation creates an
// inner buffered or unbuffered file object for the path and every file operation is forwarded to it.
#ifndef ORINAPI_PORTABLE_CPORTABLEPATH_H
#define ORINAPI_PORTABLE_CPORTABLEPATH_H

#include <stdint.h>

#include "ORINAPI_PORTABLE/CPortableFile.h"
#include "ORINAPI_PORTABLE/CPortableTime.h"
#include "OrinRobo/CPortableString.h"

class CPortableFindFile;
class CPortableFileInfo;
class CPortableFileStatus;

// Open-mode flags of a path; the system itself always uses PortablePathReadWrite.
enum : uint32_t {
  PortablePathRead = 1,        // inner file mode 1: open existing for reading
  PortablePathWrite = 2,       // inner file mode 2: create or truncate for writing
  PortablePathReadWrite = 4,   // inner file mode 3: read and write, create if missing
  PortablePathUnbuffered = 8,  // inner file is a CPortableUnBufWinPFile
};

// The longest full path, in UTF-16 units or bytes, that resolution accepts.
constexpr int kPortableFullPathLimit = 1040;

// Marks a text that already names one object exactly, as a finder builds it for a listed entry.
// Resolution would drop a name's trailing dots and spaces or turn "nul" into the device.
struct PortableExactText {};

class CPortablePath : public CPortableFile {
 public:
  CPortablePath();  // empty text, flags 4
  // The text is resolved to a full path; when that fails the text is kept as given. When memory
  // runs out on the way the text is failed (GetTextString().Failed()): file operations answer 8,
  // queries answer 0 or null, and nothing is touched.
  CPortablePath(const char* text, uint32_t openFlags);
  // The text is taken as given, never resolved.
  CPortablePath(const char* text, uint32_t openFlags, PortableExactText);
  ~CPortablePath() override;

  // Copies go through Assign, which also drops the inner file object.
  CPortablePath(const CPortablePath&) = delete;
  CPortablePath& operator=(const CPortablePath&) = delete;

  // The file interface, forwarded to the inner file object (created on first use).
  CPortableFile* Clone() override;
  int32_t Write(const void* buffer, uint32_t count, uint32_t* written) override;
  int32_t Read(void* buffer, uint32_t count, uint32_t* read) override;
  int32_t GetError() override;
  int32_t GetPosition(int64_t* position) override;
  int32_t Seek(int32_t origin, int64_t distance) override;
  int32_t Close() override;
  char* GetFileName(char* destination) override;
  int32_t GetSize(uint64_t* size) override;
  int32_t Truncate() override;
  int32_t Delete() override;
  PortableLocation GetLocation() override;

  // Replaces the flags and drops the inner file object (closing what it held open); returns 0.
  virtual int32_t SetOpenMode(uint32_t openFlags);
  // The inner object's last error; -1 when there is no inner object.
  virtual int32_t GetFileError();

  // Takes other's flags and text and drops this path's inner file object.
  CPortablePath& Assign(const CPortablePath& other);

  const char* GetText() const { return text_.Text(); }
  CPortableString GetTextString() const { return text_; }
  uint32_t GetOpenMode() const { return openFlags_; }
  // The last component; the whole text when it has none.
  CPortableString GetName() const;

  // 1 and the attribute bits when the object can be queried, else 0.
  int GetAttributes(uint32_t* attributes) const;
  // Nonzero on success.
  int SetAttributes(uint32_t attributes) const;
  int IsDirectory() const;
  // The size from GetSize, or all ones when it cannot be read.
  uint64_t GetSize64();

  // Queries answered by enumerating the parent directory.
  int Exists() const;
  int GetFileInfo(CPortableFileInfo* info) const;
  CPortableTime GetCreationTime() const;
  CPortableTime GetLastAccessTime() const;
  CPortableTime GetLastWriteTime() const;
  // A new status record owned by the caller; null when the attributes cannot be read.
  CPortableFileStatus* GetStatus() const;

  // A new finder over the directory this path names, standing on its first match; null only when
  // it cannot be allocated. The caller owns it.
  CPortableFindFile* Find(const char* pattern, int32_t reserved, uint32_t required, uint32_t excluded,
                          uint32_t options) const;

 private:
  // The inner file object, made on demand; null when it cannot be allocated.
  CPortableFile* InnerFile();
  void DropInnerFile();

  CPortableString text_;    // full path, may be empty
  uint32_t openFlags_;      // PortablePath* flags
  CPortableFile* inner_;    // owned; null until the first file operation
  int32_t refused_;         // what forwarded operations answered without an inner object: 8 for a
                            // text cut short by a failed allocation, -1 when the object could not be had
};

// The sink handed to inner file objects created from now on; null switches reporting off.
void SetPathErrorSink(CPortableErrorSink* sink);
CPortableErrorSink* GetPathErrorSink();

// Process-wide binding of the full-path calls (ORINAPI_PORTABLE/Windows/CPortableFullPathApi.h).
class CPortableFullPathApi;

#endif  // ORINAPI_PORTABLE_CPORTABLEPATH_H
