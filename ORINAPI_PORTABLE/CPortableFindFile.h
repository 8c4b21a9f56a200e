// Forward-only enumeration of one directory by wildcard pattern and attribute filter. A finder is
// born standing on its first match (or exhausted) and hands each match out as an entry record and
// as a CPortablePath of its full path.
#ifndef ORINAPI_PORTABLE_CPORTABLEFINDFILE_H
#define ORINAPI_PORTABLE_CPORTABLEFINDFILE_H

#include <stdint.h>

#include <memory>

#include "ORINAPI_PORTABLE/CPortableFileInfo.h"
#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "OrinRobo/CPortableString.h"

// Options of an enumeration.
enum : uint32_t {
  PortableFindShortNameFallback = 2,  // deliver the 8.3 name when the long one cannot be used
  PortableFindTidyCapitals = 4,       // README.TXT -> Readme.txt on volumes without creation times
  PortableFindTidyAlways = 8,         // with 4: also when the entry has a creation time
};

class CPortableFindFileBase {
 public:
  virtual int IsValid();
  virtual CPortablePath* GetMatchPath();
  // The current (or last read) entry, owned by the finder and rewritten by Next.
  virtual CPortableFileInfo* GetInfo() = 0;
  // The current match as a path owned by the finder, valid until Next or destruction.
  virtual CPortablePath* GetCurrentPath();
  virtual void Next() = 0;
  virtual ~CPortableFindFileBase();

  CPortableFindFileBase(const CPortableFindFileBase&) = delete;
  CPortableFindFileBase& operator=(const CPortableFindFileBase&) = delete;

 protected:
  CPortableFindFileBase(const char* directory, const char* pattern, int32_t reserved, uint32_t required,
                        uint32_t excluded, uint32_t options);
  // Reads entries until one passes the filters, or clears has-current.
  virtual void FindNext() = 0;

  CPortableString pattern_;      // may hold '*' and '?'; empty when none was given
  int32_t reserved_;             // stored, no effect
  uint32_t required_;            // every bit must be set in a match
  uint32_t excluded_;            // no bit may be set in a match
  uint32_t options_;             // PortableFind* options
  int32_t hasCurrent_;           // nonzero while standing on a match
  CPortablePath* currentPath_;   // owned, made on demand
  CPortableString directory_;    // as given at construction
};

// Owns the system search handle without exposing the system's types here.
class PortableSearchHandle {
 public:
  PortableSearchHandle() = default;
  ~PortableSearchHandle();
  PortableSearchHandle(const PortableSearchHandle&) = delete;
  PortableSearchHandle& operator=(const PortableSearchHandle&) = delete;

  bool IsOpen() const;
  void* Get() const { return value_; }
  void Reset(void* value);

 private:
  void* value_ = reinterpret_cast<void*>(static_cast<intptr_t>(-1));  // invalid search handle
};

class CPortableFindFile : public CPortableFindFileBase {
 public:
  // An empty finder: no search, not valid, its current path an empty path.
  CPortableFindFile();
  CPortableFindFile(const char* directory, const char* pattern, int32_t reserved, uint32_t required,
                    uint32_t excluded, uint32_t options);
  ~CPortableFindFile() override;

  CPortableFileInfo* GetInfo() override { return &entry_; }
  CPortablePath* GetCurrentPath() override;
  void Next() override;

  // The current match as a path that names exactly the entry listed, whatever its name: the match
  // path when that names it, else its long-path form ("\\?\"), which the system takes as written.
  // Owned by the finder and valid until Next; null when it cannot be allocated.
  CPortablePath* GetEntryPath();

 protected:
  void FindNext() override;

 private:
  // Reads one entry into entry_; false at the end of the listing or on any error.
  bool ReadRawEntry(CPortableString* shortName, bool* creationMissing);
  void ApplyShortNameFallback(const CPortableString& shortName);
  void TidyCapitalName(bool creationMissing);

  PortableSearchHandle search_;  // opened by the first read, kept until destruction
  CPortableFileInfo entry_;
  std::unique_ptr<CPortablePath> entryPath_;  // made by GetEntryPath when the match path is not exact
};

// A finder over the parent directory of text, with text's last component as the pattern; a bare
// name searches the current directory. Null only when it cannot be allocated.
CPortableFindFile* FindInParent(const char* text, int32_t reserved, uint32_t required, uint32_t excluded,
                                uint32_t options);
// Entries that are not directories.
CPortableFindFile* FindFilesInParent(const char* text, int32_t reserved, uint32_t options);
// Directories only.
CPortableFindFile* FindDirectoriesInParent(const char* text, int32_t reserved, uint32_t options);

#endif  // ORINAPI_PORTABLE_CPORTABLEFINDFILE_H
