#include "OrinRobo/CRoboDriverInfo.h"

#include <cstdlib>
#include <cstring>

namespace {
// A heap copy of text, or null for null (and when memory ran out: the entry then has no text).
char* DuplicateText(const char* text) {
  if (text == nullptr) return nullptr;
  const size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (copy) std::memcpy(copy, text, size);
  return copy;
}
}  // namespace

CRoboDriverInfo::CRoboDriverInfo() : name_(nullptr), version_(0), hasConfigure_(0), path_(nullptr) {}

CRoboDriverInfo::CRoboDriverInfo(const char* name, uint32_t version, int hasConfigure,
                                 const char* path)
    : name_(DuplicateText(name)), version_(version), hasConfigure_(hasConfigure),
      path_(DuplicateText(path)) {}

CRoboDriverInfo::CRoboDriverInfo(const CRoboDriverInfo& other)
    : CRoboDriverInfo(other.name_, other.version_, other.hasConfigure_, other.path_) {}

CRoboDriverInfo::~CRoboDriverInfo() {
  std::free(name_);
  std::free(path_);
}

CRoboDriverInfo& ORIN_METHOD CRoboDriverInfo::CopyFrom(const CRoboDriverInfo& other) {
  if (&other == this) return *this;
  std::free(name_);
  std::free(path_);
  name_ = DuplicateText(other.name_);
  path_ = DuplicateText(other.path_);
  version_ = other.version_;
  hasConfigure_ = other.hasConfigure_;
  return *this;
}
