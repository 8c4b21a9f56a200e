// CPortableFileInfo: one directory entry as an enumeration reads it (name, attributes, times, size).
#ifndef ORINAPI_PORTABLE_CPORTABLEFILEINFO_H
#define ORINAPI_PORTABLE_CPORTABLEFILEINFO_H

#include <stdint.h>

#include "ORINAPI_PORTABLE/CPortableTime.h"
#include "OrinRobo/CPortableString.h"

// Attribute bits of an entry that the layer itself tests.
enum : uint32_t {
  PortableAttributeReadOnly = 0x01,
  PortableAttributeDirectory = 0x10,
  PortableAttributeReparsePoint = 0x400,
};

class CPortableFileInfo {
 public:
  CPortableFileInfo();
  CPortableFileInfo(const CPortableFileInfo& other);
  CPortableFileInfo& operator=(const CPortableFileInfo& other);
  virtual ~CPortableFileInfo();

  // Names byte for byte, every other field equal.
  bool operator==(const CPortableFileInfo& other) const;
  bool operator!=(const CPortableFileInfo& other) const { return !(*this == other); }

  CPortableString name;          // without directory, narrow text
  uint32_t attributes;           // the system's attribute bits
  CPortableTime creationTime;    // last access time when the volume records no creation time
  CPortableTime lastAccessTime;
  CPortableTime lastWriteTime;
  uint64_t size;                 // bytes; all ones for directories
  int32_t valid;                 // 1 after a successful read, 0 after a failed one
};

#endif  // ORINAPI_PORTABLE_CPORTABLEFILEINFO_H
