// CPortableWinPFile: an ordinary file through the system cache, opened lazily in its stored mode;
// CPortableWinTempPFile deletes its file when destroyed.
#ifndef ORINAPI_PORTABLE_WINDOWS_CPORTABLEWINPFILE_H
#define ORINAPI_PORTABLE_WINDOWS_CPORTABLEWINPFILE_H

#include "ORINAPI_PORTABLE/Windows/CPortableWinFileBase.h"
#include "ORINAPI_PORTABLE/Windows/TempFileNames.h"

class CPortableWinPFile : public CPortableWinFileBase {
 public:
  // Created closed; the first Write, Read, Seek or GetPosition opens it in mode.
  CPortableWinPFile(const char* path, int32_t mode, CPortableErrorSink* sink);
  ~CPortableWinPFile() override;

  // A closed CPortableWinPFile on the same path and mode, without sink; starts at position 0.
  CPortableFile* Clone() override;
  // written must not be null (-1 otherwise), nor buffer when count > 0.
  int32_t Write(const void* buffer, uint32_t count, uint32_t* written) override;
  int32_t Read(void* buffer, uint32_t count, uint32_t* read) override;
  int32_t GetPosition(int64_t* position) override;
  int32_t Seek(int32_t origin, int64_t distance) override;
  // The handle is forgotten even when CloseHandle fails (the code is returned).
  int32_t Close() override;
  // 1: read, shared for reading, must exist; 2: write, created empty; 3: read/write, created if missing.
  int32_t Open(int32_t mode) override;
};

class CPortableWinTempPFile : public CPortableWinPFile {
 public:
  // The first open creates the file (CREATE_NEW) and fails with 80 when the name exists.
  CPortableWinTempPFile(const char* path, int32_t mode, CPortableErrorSink* sink);
  // Closes and deletes the file if this object created it, then gives up its name.
  ~CPortableWinTempPFile() override;
  // Keeps the name from other temporary objects while this one lives.
  void KeepNameClaim(TempNameClaim&& claim) { nameClaim_ = std::move(claim); }

 private:
  TempNameClaim nameClaim_;
};

#endif  // ORINAPI_PORTABLE_WINDOWS_CPORTABLEWINPFILE_H
