// Directory tests and the directory, file, base-name and extension parts of a path text, and the
// current directory.
#include <direct.h>
#include <string.h>

#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {

// Position of the last '.' of the file part, or -1.
int LastDot(const CPortableString& filePart) {
  const char* dot = strrchr(filePart.Text(), '.');
  return dot != nullptr ? static_cast<int>(dot - filePart.Text()) : -1;
}

}  // namespace

int IsDirectoryPath(const char* text) { return CPortablePath(text, PortablePathReadWrite).IsDirectory(); }

CPortableString GetDirectoryPart(const char* text) {
  if (text == nullptr) return CPortableString();
  return IsDirectoryPath(text) ? CPortableString(text) : GetParent(text, 1);
}

CPortableString GetFilePart(const char* text) {
  if (text == nullptr || IsDirectoryPath(text)) return CPortableString();
  const int count = CountComponents(text);
  return count > 0 ? GetComponent(text, count - 1) : CPortableString();
}

CPortableString GetBaseName(const char* text) {
  const CPortableString filePart = GetFilePart(text);
  const int dot = LastDot(filePart);
  return dot < 0 ? filePart : filePart.Left(dot);
}

CPortableString GetExtension(const char* text) {
  const CPortableString filePart = GetFilePart(text);
  const int dot = LastDot(filePart);
  return dot < 0 ? CPortableString() : filePart.Right(filePart.Length() - dot);
}

int ChangeDirectory(const char* text) { return text != nullptr && orin::Sys().crtChdir(text) == 0 ? 1 : 0; }

int GetCurrentDirectoryText(int32_t size, char* buffer) {
  if (buffer == nullptr || size <= 0) return 0;
  return orin::Sys().crtGetcwd(buffer, size) != nullptr ? 1 : 0;
}
