// CPortableWinFileBase: what the buffered and the unbuffered Windows files share - mode, last
// error, handle, path copy and error sink - and the operations that work the same on both.
#ifndef ORINAPI_PORTABLE_WINDOWS_CPORTABLEWINFILEBASE_H
#define ORINAPI_PORTABLE_WINDOWS_CPORTABLEWINFILEBASE_H

#include <memory>

#include "ORINAPI_PORTABLE/CPortableFile.h"
#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

// A file object's copy of its path, in layer memory.
using PathCopy = std::unique_ptr<char[], orin::LayerDeleter>;

// Source identifiers handed to CPortableErrorSink::Report.
extern const char kWinPFileSource[];       // ORINAPI_PORTABLE\Windows\CPortableWinPFile
extern const char kUnBufWinPFileSource[];  // ORINAPI_PORTABLE\Windows\CPortableUnBufWinPFile

class CPortableWinFileBase : public CPortableFile {
 public:
  // Stores a copy of path, the mode (any value) and the sink; never touches the disk.
  CPortableWinFileBase(const char* path, int32_t mode, CPortableErrorSink* sink);
  ~CPortableWinFileBase() override;
  CPortableWinFileBase(const CPortableWinFileBase&) = delete;
  CPortableWinFileBase& operator=(const CPortableWinFileBase&) = delete;

  int32_t GetError() override;
  char* GetFileName(char* destination) override;
  // On a closed file: opens it with Open(1) (the stored mode becomes 1) and closes it again.
  int32_t GetSize(uint64_t* size) override;
  // A closed file reports and returns the stored last error and changes nothing.
  int32_t Truncate() override;
  // Closes (a handle whose Close failed is closed regardless: the file is going) and deletes.
  int32_t Delete() override;
  // Drive of the path, else of the current directory, else kind 3.
  PortableLocation GetLocation() override;

  // Opens in mode (1 read, 2 write, 3 read/write); another mode gives 5 and a closed file.
  virtual int32_t Open(int32_t mode) = 0;

  // Inspection for the layer and its tests.
  int32_t GetMode() const { return mode_; }
  bool IsOpen() const { return handle_.valid(); }
  const char* GetPath() const { return path_ ? path_.get() : ""; }

 protected:
  // For the derived classes: which source identifier their reports carry.
  CPortableWinFileBase(const char* path, int32_t mode, CPortableErrorSink* sink, const char* source);

  // Stores code as the last error and hands it to the sink; returns code.
  int32_t RecordAndReport(int32_t code, int32_t line);
  // Ensures the file is open in the stored mode (virtual Open); false leaves the last error.
  bool EnsureOpen();
  // CloseHandle on the handle, which is forgotten whatever the answer: after a failed close the
  // number may already belong to another file. Records and reports a failure; returns its code.
  int32_t CloseOwnHandle(int32_t line);
  // The code for an open without a path: 123 for a null path, 8 when the copy could not be made.
  int32_t MissingPathCode() const { return pathCopyFailed_ ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_NAME; }
  // The disposition of the next CreateFileA: a temporary object's first open claims its name with
  // CREATE_NEW, so that it never opens, and later deletes, a file someone else made.
  DWORD Disposition(DWORD usual) const { return claimName_ ? CREATE_NEW : usual; }
  // After a successful CreateFileA: the name, if it was being claimed, is this object's own now.
  void NoteOpened() {
    if (claimName_) created_ = true;
    claimName_ = false;
  }

  int32_t mode_;                   // open mode last requested, any value
  int32_t lastError_ = 0;          // 0 or the code of the latest failure
  orin::UniqueFileHandle handle_;  // invalid while closed
  PathCopy path_;   // copy of the path given at construction; null if none
  CPortableErrorSink* sink_;       // not owned; may be null
  const char* source_;             // identifier for reports
  bool pathCopyFailed_ = false;    // a path was given but could not be copied
  bool claimName_ = false;         // the next open must create the file (temporary objects)
  bool created_ = false;           // this object created its file (temporary objects)
};

// The drive of a path as the C run-time's _splitpath finds it: the first character when the
// second is a colon, else 0. Never reads past the terminator.
char DriveLetterOf(const char* path);

#endif  // ORINAPI_PORTABLE_WINDOWS_CPORTABLEWINFILEBASE_H
