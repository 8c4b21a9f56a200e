// The user's documents folder and the temporary directory.
#include <shlobj.h>

#include <vector>

#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/Windows/FolderSeparator.h"
#include "ORINAPI_PORTABLE/Windows/PathSystemCalls.h"

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
      found = true;
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
    std::vector<char> buffer(size + 1, '\0');
    const DWORD length = orin::GetPathSystemCalls().getTempPathA(size, buffer.data());
    if (length == 0) return false;
    if (length < size) {
      *folder = buffer.data();
      return true;
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
    case PortableFolderRoot: *folder = "\\"; return 1;
    default: return 0;
  }
}

CPortableString GetTempDirectory() {
  char buffer[kTempPathBuffer] = {};
  const DWORD length = orin::GetPathSystemCalls().getTempPathA(kTempPathBuffer - 1, buffer);
  if (length == 0) return CPortableString("C:\\");
  CPortableString directory(length < kTempPathBuffer - 1 ? buffer : "");
  if (!directory.IsEmpty() && !EndsWithBackslash(directory.Text())) directory.Append("\\");
  return directory;
}
