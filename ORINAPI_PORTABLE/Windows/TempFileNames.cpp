#include "ORINAPI_PORTABLE/Windows/TempFileNames.h"

#include <stdio.h>
#include <string.h>

#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/MultibyteText.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {

constexpr int kNameBufferSize = 16384;
constexpr int kUniqueLength = 6;

// The names of live claims. Temporary files may be made on several threads, so the list has a
// lock of its own; the work under it is a short search.
using LiveNameList = std::vector<TempNameText, orin::LayerStdAllocator<TempNameText>>;

LiveNameList& LiveNames() {
  static LiveNameList names;
  return names;
}
std::mutex liveNamesLock;
using LiveNamesGuard = std::lock_guard<std::mutex>;

// Index of name among the live names, or -1; the system compares names regardless of case.
int FindLive(const LiveNameList& names, const char* name) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (_stricmp(names[i].c_str(), name) == 0) return static_cast<int>(i);
  }
  return -1;
}

bool IsLive(const char* name) {
  LiveNamesGuard guard(liveNamesLock);
  return FindLive(LiveNames(), name) >= 0;
}

}  // namespace

TempNameClaim::TempNameClaim(TempNameClaim&& other) noexcept
    : name_(std::move(other.name_)), held_(other.held_) {
  other.held_ = false;
}

TempNameClaim& TempNameClaim::operator=(TempNameClaim&& other) noexcept {
  if (this != &other) {
    Release();
    name_ = std::move(other.name_);
    held_ = other.held_;
    other.held_ = false;
  }
  return *this;
}

bool TempNameClaim::Claim(const char* name) {
  Release();
  if (name == nullptr) return false;
  try {
    TempNameText copy(name);
    LiveNamesGuard guard(liveNamesLock);
    LiveNameList& names = LiveNames();
    if (FindLive(names, name) >= 0) return false;
    names.push_back(copy);
    name_ = std::move(copy);
    held_ = true;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void TempNameClaim::Release() {
  if (!held_) return;
  LiveNamesGuard guard(liveNamesLock);
  LiveNameList& names = LiveNames();
  const int at = FindLive(names, name_.c_str());
  if (at >= 0) names.erase(names.begin() + at);
  held_ = false;
}

CPortableString FormatTempFileCandidate(const char* directory, int index) {
  CPortableString folder(directory);
  if (!folder.IsEmpty() && !orin::EndsWithChar(folder.Text(), '\\')) folder.Append("\\");
  if (folder.Failed()) return CPortableString();  // a cut folder would put the file elsewhere
  std::unique_ptr<char[], orin::LayerDeleter> name(static_cast<char*>(orin::Allocate(kNameBufferSize)));
  if (!name) return CPortableString();
  const int length = snprintf(name.get(), kNameBufferSize, "%sOrinMPEG%4dXXXXXXXXX", folder.Text(), index);
  if (length < 0 || length >= kNameBufferSize) return CPortableString();
  return CPortableString(name.get(), length);
}

bool MakeTempNameUnique(CPortableString& name, TempNameClaim* claim) {
  const int length = name.Length();
  if (length < kUniqueLength) return false;
  char* unique = name.Text() + length - kUniqueLength;
  for (int i = 0; i < kUniqueLength; ++i) {
    if (unique[i] != 'X') return false;
  }
  unsigned long number = orin::Sys().GetCurrentThreadId() % 100000;
  for (int i = kUniqueLength - 1; i >= 1; --i) {
    unique[i] = static_cast<char>('0' + number % 10);
    number /= 10;
  }
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    unique[0] = letter;
    if (orin::Sys().GetFileAttributesA(name.Text()) != INVALID_FILE_ATTRIBUTES) continue;
    if (claim != nullptr ? claim->Claim(name.Text()) : !IsLive(name.Text())) return true;
  }
  memset(unique, 'X', kUniqueLength);
  return false;
}
