// The user's documents folder and the temporary directory. On the NT family they are read in
// their wide form: the system's narrow answer writes what the code page lacks as look-alikes
// ("Jürgen" as "Jurgen" under 932), which names a folder that does not exist.
#include <shlobj.h>
#include <wchar.h>

#include "ORINAPI_PORTABLE/CPortableWideString.h"
#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/MultibyteText.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/TextConversion.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {

constexpr DWORD kTempPathBuffer = 1040;
// Far beyond any path the system accepts; keeps a misbehaving answer from growing us forever.
constexpr DWORD kLongestPath = 1 << 20;

enum class Asked { kNone, kNotHeld, kFound };

// Asks query(room, buffer), a call that answers the length it wrote or, when the room is short,
// the room it needs, with room for size units. With grow it asks again with the room asked for; it
// may change in between, so a few rounds, each at least doubling.
template <typename Query>
Asked AskWide(Query query, DWORD size, bool grow, CPortableWideString* path) {
  for (int round = 0; round < (grow ? 8 : 1); ++round) {
    if (size > kLongestPath) return Asked::kNotHeld;
    path->Reserve(static_cast<int>(size));
    if (path->Capacity() < static_cast<int>(size) + 2) return Asked::kNotHeld;
    const DWORD length = query(size, path->Text());
    if (length == 0) return Asked::kNone;
    if (length < size) {
      path->Assign(path->Text(), static_cast<int>(length));
      return Asked::kFound;
    }
    size = length > 2 * size ? length : 2 * size;
  }
  return Asked::kNotHeld;
}

// The wide text as the narrow file calls' code page writes it; false when some character has no
// spelling there and would come back as another one.
bool SpellsExactly(const wchar_t* wide, CPortableString* narrow) {
  const uint32_t codePage = orin::Sys().AreFileApisANSI() ? CP_ACP : CP_OEMCP;
  WideToString(*narrow, codePage, wide, -1);
  CPortableWideString back;
  NarrowToWide(back, codePage, narrow->Text(), -1);
  return wcscmp(back.Text(), wide) == 0;
}

// A narrow path that the narrow calls take to the folder the wide path names: its spelling, else
// its 8.3 form; false when neither works (a volume that keeps no short names). Unchanged on false.
bool NarrowFolder(const wchar_t* wide, CPortableString* folder) {
  CPortableString narrow;
  if (!SpellsExactly(wide, &narrow)) {
    CPortableWideString shortPath;
    const auto query = [wide](DWORD size, wchar_t* buffer) {
      return orin::Sys().GetShortPathNameW(wide, buffer, size);
    };
    if (AskWide(query, MAX_PATH, true, &shortPath) != Asked::kFound) return false;
    if (!SpellsExactly(shortPath.Text(), &narrow)) return false;
  }
  if (narrow.Failed()) return false;  // memory ran out: the text may be cut
  *folder = narrow;
  return !folder->Failed();
}

Asked WideTempPath(DWORD size, bool grow, CPortableWideString* path) {
  const auto query = [](DWORD room, wchar_t* buffer) {
    return orin::Sys().GetTempPathW(room, buffer);
  };
  return AskWide(query, size, grow, path);
}

bool DocumentsFolder(CPortableString* folder) {
  IMalloc* allocator = nullptr;
  if (FAILED(orin::Sys().SHGetMalloc(&allocator)) || allocator == nullptr) return false;
  bool found = false;
  LPITEMIDLIST items = nullptr;
  if (SUCCEEDED(orin::Sys().SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items)) && items != nullptr) {
    if (IsWindowsNT()) {
      wchar_t path[MAX_PATH + 1] = {};
      found = orin::Sys().SHGetPathFromIDListW(items, path) && NarrowFolder(path, folder);
    } else {
      char path[MAX_PATH + 1] = {};
      if (orin::Sys().SHGetPathFromIDListA(items, path)) {
        *folder = path;
        found = !folder->Failed();
      }
    }
    allocator->Free(items);
  }
  allocator->Release();
  return found;
}

bool TempFolder(CPortableString* folder) {
  if (IsWindowsNT()) {
    CPortableWideString path;
    return WideTempPath(kTempPathBuffer, true, &path) == Asked::kFound &&
           NarrowFolder(path.Text(), folder);
  }
  DWORD size = kTempPathBuffer;
  // The system answers the room it needs when the buffer is short; it may change in between, so
  // a few rounds, each at least doubling.
  for (int round = 0; round < 8; ++round) {
    // Layer memory: a refused allocation answers 0 instead of throwing out of the layer.
    CPortableString buffer;
    buffer.Reserve(static_cast<int>(size));
    if (buffer.Failed()) return false;
    const DWORD length = orin::Sys().GetTempPathA(size, buffer.Text());
    if (length == 0) return false;
    if (length < size) {
      buffer.UpdateLength();
      *folder = buffer;
      return !folder->Failed();
    }
    size = length > 2 * size ? length : 2 * size;
  }
  return false;
}

}  // namespace

int GetSpecialFolder(int32_t kind, CPortableString* folder) {
  if (folder == nullptr) return 0;
  switch (kind) {
    case PortableFolderDocuments: return DocumentsFolder(folder) ? 1 : 0;
    case PortableFolderTemp: return TempFolder(folder) ? 1 : 0;
    case PortableFolderRoot: *folder = "\\"; return folder->Failed() ? 0 : 1;
    default: return 0;
  }
}

CPortableString GetTempDirectory() {
  CPortableString directory;
  if (IsWindowsNT()) {
    CPortableWideString path;
    const Asked asked = WideTempPath(kTempPathBuffer - 1, false, &path);
    if (asked == Asked::kNone) return CPortableString("C:\\");
    // Empty when the path did not fit or no narrow path reaches the folder.
    if (asked == Asked::kFound) NarrowFolder(path.Text(), &directory);
  } else {
    char buffer[kTempPathBuffer] = {};
    const DWORD length = orin::Sys().GetTempPathA(kTempPathBuffer - 1, buffer);
    if (length == 0) return CPortableString("C:\\");
    if (length < kTempPathBuffer - 1) directory = buffer;
  }
  // The last character, not the last byte: a double-byte character may end in 0x5C.
  if (!directory.IsEmpty() && !orin::EndsWithChar(directory.Text(), '\\')) directory.Append("\\");
  return directory;
}
