// The path text functions that ask the system or the C run-time: short names, temporary names
// and the current directory.
#include <direct.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {
// Far beyond any path the system accepts; keeps a misbehaving answer from growing us forever.
constexpr int kLongestPathBuffer = 1 << 20;
}  // namespace

CPortableString GetShortPath(const char* text) {
  if (text == nullptr) return CPortableString();
  CPortableString buffer;
  for (int size = 40; size <= kLongestPathBuffer; size *= 2) {
    buffer.Reserve(size);
    if (buffer.Capacity() < size + 2) break;
    memset(buffer.Text(), 0, size + 1);
    const DWORD needed = orin::Sys().GetShortPathNameA(text, buffer.Text(), static_cast<DWORD>(size));
    if (needed == 0) break;
    if (needed <= static_cast<DWORD>(size)) {
      buffer.UpdateLength();
      return buffer;
    }
  }
  return CPortableString();
}

CPortableString MakeTempName(const char* directory, const char* prefix) {
  char* name = orin::Sys().crtTempnam(directory, prefix != nullptr ? prefix : "");
  CPortableString result(name);
  free(name);
  return result;
}

int GetCurrentDirectoryString(CPortableString& out) {
  for (int size = 256; size <= kLongestPathBuffer; size += 256) {
    out.Reserve(size);
    if (out.Capacity() < size + 2) break;
    out.Text()[size] = '\0';
    if (orin::Sys().crtGetcwd(out.Text(), size) != nullptr) {
      out.UpdateLength();
      return 1;
    }
    if (errno != ERANGE) break;
  }
  out.UpdateLength();
  return 0;
}
