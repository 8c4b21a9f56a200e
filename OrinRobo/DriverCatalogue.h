// DriverCatalogue: the ordered, growable array of catalogue entries, held by value.
// Pointers to entries stay valid until the catalogue next changes.
#ifndef ORINROBO_DRIVERCATALOGUE_H
#define ORINROBO_DRIVERCATALOGUE_H

#include "OrinRobo/CRoboDriverInfo.h"

class DriverCatalogue {
 public:
  DriverCatalogue() = default;
  DriverCatalogue(const DriverCatalogue&) = delete;
  DriverCatalogue& operator=(const DriverCatalogue&) = delete;
  ~DriverCatalogue();

  int Count() const { return count_; }
  CRoboDriverInfo* At(int index) { return entries_ + index; }

  // The first entry whose name is not null and equals name byte for byte; -1 for none or null.
  int Find(const char* name) const;
  // Records a library discovery has read: one entry per name, the newest version winning. A
  // higher version than the entry of that name replaces it and stands at the end; an equal or
  // lower one is passed over (the entry found first stays). A null name never matches, so it
  // always gets an entry of its own. True when recorded; when memory runs out nothing changes.
  bool Offer(const char* name, uint32_t version, int hasConfigure, const char* path);

  // Copies entry into place at the end; false when memory ran out (nothing changes).
  bool Append(const CRoboDriverInfo& entry);
  // Later entries move up one place (by CopyFrom), the last element is destroyed.
  void RemoveAt(int index);
  // Destroys every entry; the storage is kept.
  void Clear();

 private:
  CRoboDriverInfo* entries_ = nullptr;  // raw storage for capacity_ entries
  int count_ = 0;
  int capacity_ = 0;
};

#endif  // ORINROBO_DRIVERCATALOGUE_H
