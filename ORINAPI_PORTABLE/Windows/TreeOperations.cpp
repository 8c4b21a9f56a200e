// Recursive size and recursive deletion of directory trees. Neither walks through a junction or a
// symbolic link: a link's target lies outside the tree, and a link back up the tree never ends.
// Below the given directory every entry is handled through the finder's exact entry path: a name
// such as "...", " " or "a." would otherwise resolve to the parent or to a sibling. An entry whose
// kind cannot be read is neither entered nor deleted: it might be a link.
#include <memory>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {

using Finder = std::unique_ptr<CPortableFindFile>;

enum class Kind { Unknown, File, Directory, Link };

// One attribute query decides, so a directory is never entered on the strength of a first answer
// when the second (is it a link?) fails.
Kind KindOf(const CPortablePath& path) {
  uint32_t attributes = 0;
  if (!path.GetAttributes(&attributes)) return Kind::Unknown;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return Kind::File;
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? Kind::Link : Kind::Directory;
}

struct SizeFilter {
  const char* pattern;
  int32_t reserved;
  uint32_t required;
  uint32_t excluded;
  uint32_t options;
};

uint64_t TreeSize(const CPortablePath& directory, const SizeFilter& filter) {
  uint64_t total = 0;
  for (Finder matches(directory.Find(filter.pattern, filter.reserved, filter.required, filter.excluded,
                                     filter.options));
       matches && matches->IsValid(); matches->Next()) {
    if (CPortablePath* match = matches->GetEntryPath()) total += match->GetSize64();
  }
  for (Finder entries(directory.Find("*", 0, 0, 0, PortableFindShortNameFallback)); entries && entries->IsValid();
       entries->Next()) {
    CPortablePath* entry = entries->GetEntryPath();
    if (entry == nullptr || KindOf(*entry) != Kind::Directory) continue;
    total += TreeSize(*entry, filter);
  }
  return total;
}

int DeleteEntry(CPortablePath& path) {
  switch (KindOf(path)) {
    case Kind::Unknown: return 0;
    case Kind::File: return path.Delete() == 0 ? 1 : 0;
    // A junction or directory link goes as an entry of its own; what it points at stays.
    case Kind::Link: return orin::Sys().RemoveDirectoryA(path.GetText()) ? 1 : 0;
    case Kind::Directory: break;
  }
  int allDeleted = 1;
  {
    Finder entries(path.Find("*", 0, 0, 0, PortableFindShortNameFallback));
    if (!entries) allDeleted = 0;
    for (; entries && entries->IsValid(); entries->Next()) {
      CPortablePath* entry = entries->GetEntryPath();
      if (entry == nullptr || !DeleteEntry(*entry)) allDeleted = 0;
    }
  }  // the finder's search handle would keep the directory from going
  return orin::Sys().RemoveDirectoryA(path.GetText()) && allDeleted ? 1 : 0;
}

}  // namespace

uint64_t GetTreeSize(const char* directory, const char* pattern, int32_t reserved, uint32_t required,
                     uint32_t excluded, uint32_t options) {
  const CPortablePath root(directory, PortablePathReadWrite);
  return TreeSize(root, SizeFilter{pattern, reserved, required, excluded, options});
}

int DeleteTree(const char* text) {
  CPortablePath path(text, PortablePathReadWrite);
  return DeleteEntry(path);
}
