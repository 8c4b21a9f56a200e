#include "OrinRobo/DriverCatalogue.h"

#include <cstring>
#include <new>

DriverCatalogue::~DriverCatalogue() {
  Clear();
  ::operator delete(static_cast<void*>(entries_));
}

int DriverCatalogue::Find(const char* name) const {
  if (name == nullptr) return -1;
  for (int i = 0; i < count_; ++i) {
    const char* entryName = entries_[i].Name();
    if (entryName != nullptr && std::strcmp(entryName, name) == 0) return i;
  }
  return -1;
}

bool DriverCatalogue::Offer(const char* name, uint32_t version, int hasConfigure, const char* path) {
  const int found = Find(name);
  if (found >= 0 && version <= entries_[found].Version()) return false;
  // Appending before removing gives the same order (the replaced entry was earlier), and when
  // memory runs out the older version stays listed instead of the name vanishing.
  if (!Append(CRoboDriverInfo(name, version, hasConfigure, path))) return false;
  if (found >= 0) RemoveAt(found);
  return true;
}

bool DriverCatalogue::Append(const CRoboDriverInfo& entry) {
  if (count_ == capacity_) {
    const int grown = capacity_ ? capacity_ * 2 : 8;
    void* storage = ::operator new(sizeof(CRoboDriverInfo) * grown, std::nothrow);
    if (storage == nullptr) return false;
    CRoboDriverInfo* moved = static_cast<CRoboDriverInfo*>(storage);
    for (int i = 0; i < count_; ++i) {
      new (moved + i) CRoboDriverInfo();
      moved[i].CopyFrom(entries_[i]);
      entries_[i].~CRoboDriverInfo();
    }
    ::operator delete(static_cast<void*>(entries_));
    entries_ = moved;
    capacity_ = grown;
  }
  new (entries_ + count_) CRoboDriverInfo(entry);
  ++count_;
  return true;
}

void DriverCatalogue::RemoveAt(int index) {
  if (index < 0 || index >= count_) return;
  for (int i = index; i + 1 < count_; ++i) entries_[i].CopyFrom(entries_[i + 1]);
  entries_[count_ - 1].~CRoboDriverInfo();
  --count_;
}

void DriverCatalogue::Clear() {
  while (count_ > 0) {
    entries_[count_ - 1].~CRoboDriverInfo();
    --count_;
  }
}
