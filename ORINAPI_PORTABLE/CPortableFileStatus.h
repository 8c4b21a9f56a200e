// CPortableFileStatus: a file's status record in the manner of a POSIX stat result - type and
// permission bits, size, name, seven time stamps, optional extra records. CPortablePath fills one
// for its caller, who owns it.
#ifndef ORINAPI_PORTABLE_CPORTABLEFILESTATUS_H
#define ORINAPI_PORTABLE_CPORTABLEFILESTATUS_H

#include <stdint.h>

#include "ORINAPI_PORTABLE/CPortableTime.h"
#include "OrinRobo/CPortableString.h"

struct tm;

// Mode bits.
enum : uint32_t {
  kPortableModeDirectory = 0x4000,
  kPortableModeRegular = 0x8000,
  kPortableModeRead = 0x100,
  kPortableModeWrite = 0x80,
  kPortableModeExecute = 0x40,
};

// One extra record; an array of them ends with an entry of type kPortableExtraRecordEnd.
struct PortableExtraRecord {
  int32_t type;
  int32_t length;  // bytes in data
  void* data;      // malloc'd, owned by the record that holds the array; may be null
};
constexpr int32_t kPortableExtraRecordEnd = 6;

constexpr int kPortableStatusTimeCount = 7;

// The mode of the object a path text names, from its attribute bits (PortableAttribute*): read
// always, write unless read-only, execute for directories and for names ending in ".exe", ".cmd",
// ".bat" or ".com" (any case); the owner's bits copied to the group and the others.
uint32_t PortableStatusMode(const char* text, uint32_t attributes);

// The interface chain of the status record: a record kind and its destructor...
class IPortableRecord {
 public:
  virtual int32_t GetKind() const = 0;
  virtual ~IPortableRecord() {}
};

// ...the identity and size of a file (kind 4)...
class IPortableStatusCore : public IPortableRecord {
 public:
  int32_t GetKind() const override { return 4; }
  virtual uint32_t GetMode() const = 0;
  virtual int32_t GetUserId() const = 0;
  virtual int32_t GetGroupId() const = 0;
  virtual int64_t GetSize() const = 0;
  virtual const PortableExtraRecord* GetExtraRecords() const = 0;
};

// ...and its name, flags, times and extras.
class IPortableFileStatus : public IPortableStatusCore {
 public:
  int32_t GetKind() const override { return 4; }
  // The name's text; *bytes (when bytes is not null) = the three bytes {4, 0, flags}.
  virtual const char* GetName(const uint8_t** bytes) const = 0;
  virtual uint8_t GetFlags() const = 0;
  // 1 for index 0..6 (out, when not null, gets the time's local breakdown, zeros if it has none);
  // 0 for any other index, out untouched.
  virtual int32_t GetTime(int32_t index, struct tm* out) const = 0;
  // 1 and *out = the extra value when there is one (out may be null), else 0.
  virtual int32_t GetExtraValue(int32_t* out) const = 0;
  // A deep copy owned by the caller; null when memory ran out.
  virtual IPortableFileStatus* Clone() const = 0;
};

class CPortableFileStatus : public IPortableFileStatus {
 public:
  CPortableFileStatus();
  ~CPortableFileStatus() override;
  CPortableFileStatus(const CPortableFileStatus&) = delete;
  CPortableFileStatus& operator=(const CPortableFileStatus&) = delete;

  uint32_t GetMode() const override { return mode_; }
  int32_t GetUserId() const override { return userId_; }
  int32_t GetGroupId() const override { return groupId_; }
  int64_t GetSize() const override { return size_; }
  const PortableExtraRecord* GetExtraRecords() const override { return extraRecords_; }
  const char* GetName(const uint8_t** bytes) const override;
  uint8_t GetFlags() const override { return bytes_[2]; }
  int32_t GetTime(int32_t index, struct tm* out) const override;
  int32_t GetExtraValue(int32_t* out) const override;
  CPortableFileStatus* Clone() const override;

  // For the creator.
  void SetMode(uint32_t mode) { mode_ = mode; }
  void SetSize(int64_t size) { size_ = size; }
  void SetName(const char* name) { name_ = name ? name : ""; }
  void SetFlags(uint8_t flags) { bytes_[2] = flags; }
  // Out-of-range indices are ignored.
  void SetTime(int32_t index, const CPortableTime& time);
  // Takes a malloc'd array ended by a type-6 entry, with malloc'd data blocks (frees the old).
  void SetExtraRecords(PortableExtraRecord* records);
  void SetExtraValue(int32_t hasExtraValue, int32_t value) {
    hasExtraValue_ = hasExtraValue;
    extraValue_ = value;
  }
  void SetUserId(int32_t id) { userId_ = id; }
  void SetGroupId(int32_t id) { groupId_ = id; }

 private:
  uint32_t mode_ = 0;
  int64_t size_ = 0;
  PortableExtraRecord* extraRecords_ = nullptr;  // owned, with every entry's data
  CPortableString name_;
  uint8_t bytes_[3] = {4, 0, 0};
  CPortableTime times_[kPortableStatusTimeCount];
  int32_t hasExtraValue_ = 0;
  int32_t extraValue_ = 0;
  int32_t userId_ = 0;
  int32_t groupId_ = 0;
};

#endif  // ORINAPI_PORTABLE_CPORTABLEFILESTATUS_H
