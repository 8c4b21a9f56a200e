// CPortableFileStatus: construction, queries and the deep copy of the extra records; the mode rule.
// The record owns its extra-record array and every entry's data, whatever the entry's type.
#include "ORINAPI_PORTABLE/CPortableFileStatus.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

#include "ORINAPI_PORTABLE/CPortableFileInfo.h"
#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/PathText.h"

namespace {

void FreeExtraRecords(PortableExtraRecord* records) {
  if (records == nullptr) return;
  for (PortableExtraRecord* entry = records;; ++entry) {
    std::free(entry->data);
    if (entry->type == kPortableExtraRecordEnd) break;
  }
  std::free(records);
}

// A new array with copies of every entry's data; null when memory ran out (nothing leaks).
PortableExtraRecord* CopyExtraRecords(const PortableExtraRecord* records) {
  size_t count = 1;
  while (records[count - 1].type != kPortableExtraRecordEnd) ++count;
  PortableExtraRecord* copy =
      static_cast<PortableExtraRecord*>(std::calloc(count, sizeof(PortableExtraRecord)));
  if (copy == nullptr) return nullptr;
  for (size_t i = 0; i < count; ++i) {
    copy[i].type = records[i].type;
    copy[i].length = records[i].length;
    if (records[i].data == nullptr || records[i].length <= 0) continue;
    copy[i].data = std::malloc(static_cast<size_t>(records[i].length));
    if (copy[i].data == nullptr) {
      copy[i].type = kPortableExtraRecordEnd;
      FreeExtraRecords(copy);
      return nullptr;
    }
    std::memcpy(copy[i].data, records[i].data, static_cast<size_t>(records[i].length));
  }
  return copy;
}

}  // namespace

uint32_t PortableStatusMode(const char* text, uint32_t attributes) {
  uint32_t mode = 0;
  if (IsExecutableName(text)) mode |= kPortableModeExecute;
  mode |= (attributes & PortableAttributeReadOnly) ? kPortableModeRead : kPortableModeRead | kPortableModeWrite;
  // Directories can always be searched, which the execute bit stands for.
  mode |= (attributes & PortableAttributeDirectory) ? kPortableModeDirectory | kPortableModeExecute
                                                    : kPortableModeRegular;
  mode |= (mode >> 3) & 0x38;  // owner bits to the group...
  mode |= (mode >> 6) & 7;     // ...and to the others
  return mode;
}

CPortableFileStatus::CPortableFileStatus() {}

CPortableFileStatus::~CPortableFileStatus() {
  FreeExtraRecords(extraRecords_);
}

const char* CPortableFileStatus::GetName(const uint8_t** bytes) const {
  if (bytes != nullptr) *bytes = bytes_;
  return name_.Text();
}

int32_t CPortableFileStatus::GetTime(int32_t index, struct tm* out) const {
  if (index < 0 || index >= kPortableStatusTimeCount) return 0;
  if (out != nullptr && times_[index].GetLocalTm(out) == nullptr) std::memset(out, 0, sizeof *out);
  return 1;
}

int32_t CPortableFileStatus::GetExtraValue(int32_t* out) const {
  if (hasExtraValue_ == 0) return 0;
  if (out != nullptr) *out = extraValue_;
  return 1;
}

void CPortableFileStatus::SetTime(int32_t index, const CPortableTime& time) {
  if (index >= 0 && index < kPortableStatusTimeCount) times_[index] = time;
}

void CPortableFileStatus::SetExtraRecords(PortableExtraRecord* records) {
  if (records == extraRecords_) return;
  FreeExtraRecords(extraRecords_);
  extraRecords_ = records;
}

CPortableFileStatus* CPortableFileStatus::Clone() const {
  CPortableFileStatus* copy = orin::New<CPortableFileStatus>();
  if (copy == nullptr) return nullptr;
  if (extraRecords_ != nullptr) {
    copy->extraRecords_ = CopyExtraRecords(extraRecords_);
    if (copy->extraRecords_ == nullptr) {
      delete copy;
      return nullptr;
    }
  }
  copy->mode_ = mode_;
  copy->size_ = size_;
  copy->name_ = name_;
  copy->bytes_[2] = bytes_[2];
  for (int i = 0; i < kPortableStatusTimeCount; ++i) copy->times_[i] = times_[i];
  copy->hasExtraValue_ = hasExtraValue_;
  copy->extraValue_ = extraValue_;
  copy->userId_ = userId_;
  copy->groupId_ = groupId_;
  return copy;
}
