#include "ORINAPI_PORTABLE/CPortableFileInfo.h"

#include <string.h>

CPortableFileInfo::CPortableFileInfo() : attributes(0), size(0), valid(0) {}

CPortableFileInfo::CPortableFileInfo(const CPortableFileInfo& other)
    : name(other.name),
      attributes(other.attributes),
      creationTime(other.creationTime),
      lastAccessTime(other.lastAccessTime),
      lastWriteTime(other.lastWriteTime),
      size(other.size),
      valid(other.valid) {}

CPortableFileInfo& CPortableFileInfo::operator=(const CPortableFileInfo& other) {
  if (&other != this) {
    name = other.name;
    attributes = other.attributes;
    creationTime = other.creationTime;
    lastAccessTime = other.lastAccessTime;
    lastWriteTime = other.lastWriteTime;
    size = other.size;
    valid = other.valid;
  }
  return *this;
}

CPortableFileInfo::~CPortableFileInfo() = default;

bool CPortableFileInfo::operator==(const CPortableFileInfo& other) const {
  return name.Length() == other.name.Length() && memcmp(name.Text(), other.name.Text(), name.Length()) == 0 &&
         attributes == other.attributes && creationTime == other.creationTime &&
         lastAccessTime == other.lastAccessTime && lastWriteTime == other.lastWriteTime && size == other.size &&
         valid == other.valid;
}
