// The user's documents folder and the temporary directory.
#include <shlobj.h>

#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/MultibyteText.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {

constexpr DWORD kTempPathBuffer = 1040;

bool DocumentsFolder(CPortableString* folder) {
  IMalloc* allocator = nullptr;
  if (FAILED(::SHGetMalloc(&allocator)) || allocator == nullptr) return false;
  bool found = false;
  LPITEMIDLIST items = nullptr;
  if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items)) && items != nullptr) {
    char path[MAX_PATH + 1] = {};
    if (::SHGetPathFromIDListA(items, path)) {
      *folder = path;
      found = !folder->Failed();
    }
    allocator->Free(items);
  }
  allocator->Release();
  return found;
}

bool TempFolder(CPortableString* folder) {
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
  char buffer[kTempPathBuffer] = {};
  const DWORD length = orin::Sys().GetTempPathA(kTempPathBuffer - 1, buffer);
  if (length == 0) return CPortableString("C:\\");
  CPortableString directory(length < kTempPathBuffer - 1 ? buffer : "");
  // The last character, not the last byte: a double-byte character may end in 0x5C.
  if (!directory.IsEmpty() && !orin::EndsWithChar(directory.Text(), '\\')) directory.Append("\\");
  return directory;
}
