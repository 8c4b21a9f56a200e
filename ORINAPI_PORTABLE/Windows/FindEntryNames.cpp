// How a finder tidies the names it delivers: the 8.3 name in place of a long name that cannot be
// used through the narrow calls, and a readable form of all-capital names from old volumes.
#include <ctype.h>
#include <stddef.h>
#include <string.h>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/MultibyteText.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {

// A directory name is usable when the current directory can be moved into it (and is put back).
bool DirectoryReachable(const char* path) {
  char saved[1040] = {};
  const DWORD length = orin::Sys().GetCurrentDirectoryA(sizeof saved - 1, saved);
  // A current directory too long for the buffer could not be put back afterwards.
  if (length == 0 || length >= sizeof saved - 1) return false;
  if (!orin::Sys().SetCurrentDirectoryA(path)) return false;
  orin::Sys().SetCurrentDirectoryA(saved);
  return true;
}

// Bytes of the character at p in the run-time's code page, the one the path grammar steps with.
ptrdiff_t CharBytes(const char* p) { return orin::NextChar(p) - p; }

bool FileReachable(const char* path) {
  orin::UniqueFileHandle file(orin::Sys().CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid();
}

}  // namespace

void CPortableFindFile::ApplyShortNameFallback(const CPortableString& shortName) {
  bool unusable;
  if (IsSpecialCodePageLocale()) {
    const CPortableString full = JoinPath(1, {directory_.Text(), entry_.name.Text()});
    unusable = (entry_.attributes & FILE_ATTRIBUTE_DIRECTORY) ? !DirectoryReachable(full.Text())
                                                              : !FileReachable(full.Text());
  } else {
    // Characters a conversion leaves in place of what the code page cannot show, or that a name
    // may not hold.
    unusable = strpbrk(entry_.name.Text(), "*\\?:") != nullptr;
  }
  if (unusable && !shortName.IsEmpty()) entry_.name = shortName;
}

void CPortableFindFile::TidyCapitalName(bool creationMissing) {
  const bool tidyAlways = (options_ & PortableFindTidyAlways) != 0 && !IsSpecialCodePageLocale();
  if (!creationMissing && !tidyAlways) return;
  char* name = entry_.name.Text();
  if (name[0] == '\0') return;
  // Double-byte characters are passed over whole: their second byte may look like an ASCII letter.
  for (const char* p = name; *p != '\0'; p += CharBytes(p)) {
    if (CharBytes(p) == 1 && toupper(static_cast<unsigned char>(*p)) != static_cast<unsigned char>(*p)) return;
  }
  // The first character stays as it is.
  for (char* p = name + CharBytes(name); *p != '\0'; p += CharBytes(p)) {
    if (CharBytes(p) == 1) *p = static_cast<char>(tolower(static_cast<unsigned char>(*p)));
  }
}
