// The path's queries that rest on an enumeration of its parent directory: existence, the entry
// record and its times, and the status record.
#include <new>

#include "ORINAPI_PORTABLE/CPortableFileStatus.h"
#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/PathText.h"

namespace {

constexpr uint8_t kStatusFlags = 15;

}  // namespace

CPortableFindFile* CPortablePath::Find(const char* pattern, int32_t reserved, uint32_t required, uint32_t excluded,
                                       uint32_t options) const {
  if (text_.Failed()) return nullptr;
  return orin::New<CPortableFindFile>(text_.Text(), pattern, reserved, required, excluded, options);
}

int CPortablePath::Exists() const {
  // An empty path names nothing (its parent search would find the current directory itself).
  if (text_.IsEmpty()) return 0;
  const char* text = text_.Text();
  // Drive roots always exist, and have no parent entry to find.
  if (CountComponents(text) == 1 && text_.Length() >= 2 && IsLetterChar(text) && text[1] == ':') return 1;
  CPortableFindFile* finder = FindInParent(text, 0, 0, 0, PortableFindShortNameFallback);
  if (finder == nullptr) return 0;
  const int found = finder->IsValid() ? 1 : 0;
  delete finder;
  return found;
}

int CPortablePath::GetFileInfo(CPortableFileInfo* info) const {
  if (info == nullptr || text_.IsEmpty()) return 0;
  CPortableFindFile* finder = FindInParent(text_.Text(), 0, 0, 0, PortableFindShortNameFallback);
  if (finder == nullptr) return 0;
  int found = 0;
  if (finder->IsValid()) {
    *info = *finder->GetInfo();
    found = 1;
  }
  delete finder;
  return found;
}

CPortableTime CPortablePath::GetCreationTime() const {
  CPortableFileInfo info;
  GetFileInfo(&info);
  return info.creationTime;
}

CPortableTime CPortablePath::GetLastAccessTime() const {
  CPortableFileInfo info;
  GetFileInfo(&info);
  return info.lastAccessTime;
}

CPortableTime CPortablePath::GetLastWriteTime() const {
  CPortableFileInfo info;
  GetFileInfo(&info);
  return info.lastWriteTime;
}

CPortableFileStatus* CPortablePath::GetStatus() const {
  uint32_t attributes = 0;
  if (!GetAttributes(&attributes)) return nullptr;
  CPortableFileStatus* status = orin::New<CPortableFileStatus>();
  if (status == nullptr) return nullptr;
  // One read of the entry serves all four time slots.
  CPortableFileInfo info;
  GetFileInfo(&info);
  status->SetMode(PortableStatusMode(text_.Text(), attributes));
  status->SetSize(0);
  status->SetName(GetName().Text());
  status->SetFlags(kStatusFlags);
  status->SetTime(0, info.creationTime);
  status->SetTime(1, info.lastWriteTime);
  status->SetTime(2, info.lastAccessTime);
  status->SetTime(3, info.lastWriteTime);
  return status;
}
