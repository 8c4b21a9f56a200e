// Recursive size and recursive deletion of directory trees. Neither walks through a junction or a
// symbolic link: a link's target lies outside the tree, and a link back up the tree never ends.
#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

namespace {

bool IsLink(const CPortablePath& path) {
  uint32_t attributes = 0;
  return path.GetAttributes(&attributes) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

}  // namespace

uint64_t GetTreeSize(const char* directory, const char* pattern, int32_t reserved, uint32_t required,
                     uint32_t excluded, uint32_t options) {
  uint64_t total = 0;
  const CPortablePath root(directory, PortablePathReadWrite);
  if (CPortableFindFile* matches = root.Find(pattern, reserved, required, excluded, options)) {
    for (; matches->IsValid(); matches->Next()) {
      if (CPortablePath* match = matches->GetCurrentPath()) total += match->GetSize64();
    }
    delete matches;
  }
  if (CPortableFindFile* entries = root.Find("*", 0, 0, 0, PortableFindShortNameFallback)) {
    for (; entries->IsValid(); entries->Next()) {
      CPortablePath* entry = entries->GetCurrentPath();
      if (entry == nullptr || !entry->IsDirectory() || IsLink(*entry)) continue;
      total += GetTreeSize(entry->GetText(), pattern, reserved, required, excluded, options);
    }
    delete entries;
  }
  return total;
}

int DeleteTree(const char* text) {
  CPortablePath path(text, PortablePathReadWrite);
  if (!path.IsDirectory()) return path.Delete() == 0 ? 1 : 0;
  // A junction or directory link goes as an entry of its own; what it points at stays.
  if (IsLink(path)) return ::RemoveDirectoryA(path.GetText()) ? 1 : 0;
  int allDeleted = 1;
  if (CPortableFindFile* entries = path.Find("*", 0, 0, 0, PortableFindShortNameFallback)) {
    for (; entries->IsValid(); entries->Next()) {
      CPortablePath* entry = entries->GetCurrentPath();
      if (entry == nullptr || !DeleteTree(entry->GetText())) allDeleted = 0;
    }
    delete entries;  // its search handle would keep the directory from going
  } else {
    allDeleted = 0;
  }
  return ::RemoveDirectoryA(path.GetText()) && allDeleted ? 1 : 0;
}
