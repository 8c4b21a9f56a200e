#include "ORINAPI_PORTABLE/Windows/TempFileNames.h"

#include <stdio.h>
#include <string.h>

#include <memory>
#include <new>

#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ORINAPI_PORTABLE/Windows/FolderSeparator.h"

namespace {

constexpr int kNameBufferSize = 16384;
constexpr int kUniqueLength = 6;

}  // namespace

CPortableString FormatTempFileCandidate(const char* directory, int index) {
  CPortableString folder(directory);
  if (!folder.IsEmpty() && !EndsWithBackslash(folder.Text())) folder.Append("\\");
  std::unique_ptr<char[]> name(new (std::nothrow) char[kNameBufferSize]);
  if (!name) return CPortableString();
  const int length = snprintf(name.get(), kNameBufferSize, "%sOrinMPEG%4dXXXXXXXXX", folder.Text(), index);
  if (length < 0 || length >= kNameBufferSize) return CPortableString();
  return CPortableString(name.get(), length);
}

bool MakeTempNameUnique(CPortableString& name) {
  const int length = name.Length();
  if (length < kUniqueLength) return false;
  char* unique = name.Text() + length - kUniqueLength;
  for (int i = 0; i < kUniqueLength; ++i) {
    if (unique[i] != 'X') return false;
  }
  unsigned long number = ::GetCurrentThreadId() % 100000;
  for (int i = kUniqueLength - 1; i >= 1; --i) {
    unique[i] = static_cast<char>('0' + number % 10);
    number /= 10;
  }
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    unique[0] = letter;
    if (orin::Sys().GetFileAttributesA(name.Text()) == INVALID_FILE_ATTRIBUTES) return true;
  }
  memset(unique, 'X', kUniqueLength);
  return false;
}
