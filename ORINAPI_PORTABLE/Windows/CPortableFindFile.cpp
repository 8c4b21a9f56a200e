// Directory enumeration: the raw reads through the wide calls (with the long-path prefix) or the
// narrow ones, the filter loop, the match path, and the parent-directory searches.
#include "ORINAPI_PORTABLE/CPortableFindFile.h"

#include <string.h>

#include <new>

#include "ORINAPI_PORTABLE/CPortableWideString.h"
#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/TextConversion.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

namespace {

// Long-path prefix of the wide calls; network paths keep their own form.
const char kLongPathPrefix[] = "\\\\?\\";

bool IsNetworkPath(const char* text) { return text[0] == '\\' && text[1] == '\\'; }

bool IsLongPath(const char* text) { return strncmp(text, kLongPathPrefix, 4) == 0; }

// Resolution and the narrow calls drop a last component's trailing dots and spaces.
bool EndsInDotOrSpace(const char* name) {
  const size_t length = strlen(name);
  return length > 0 && (name[length - 1] == '.' || name[length - 1] == ' ');
}

// The form of a full path that the system takes as written: "\\?\C:\dir" for a drive path,
// "\\?\UNC\server\share" for a network one; empty for any other text ("\\.\" device paths,
// relative text that could not be resolved).
CPortableString LongPathForm(const char* full) {
  if (IsNetworkPath(full)) {
    if (full[2] == '.' || full[2] == '?') return CPortableString();
    return CPortableString("\\\\?\\UNC").Append(full + 1);
  }
  const bool drivePath = full[0] != '\0' && IsLetterChar(full) && full[1] == ':' && IsSeparatorChar(full + 2);
  return drivePath ? kLongPathPrefix + CPortableString(full) : CPortableString();
}

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

template <class FindData>
void FillTimesAndSize(const FindData& data, CPortableFileInfo* entry, bool* creationMissing) {
  entry->attributes = data.dwFileAttributes;
  *creationMissing = data.ftCreationTime.dwLowDateTime == 0 && data.ftCreationTime.dwHighDateTime == 0;
  entry->creationTime.SetFromFileTime(*creationMissing ? &data.ftLastAccessTime : &data.ftCreationTime);
  entry->lastAccessTime.SetFromFileTime(&data.ftLastAccessTime);
  entry->lastWriteTime.SetFromFileTime(&data.ftLastWriteTime);
  entry->size = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    ? ~static_cast<uint64_t>(0)
                    : (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  entry->valid = 1;
}

}  // namespace

PortableSearchHandle::~PortableSearchHandle() { Reset(INVALID_HANDLE_VALUE); }

bool PortableSearchHandle::IsOpen() const { return value_ != INVALID_HANDLE_VALUE; }

void PortableSearchHandle::Reset(void* value) {
  if (IsOpen()) orin::Sys().FindClose(value_);
  value_ = value;
}

CPortableFindFile::CPortableFindFile() : CPortableFindFileBase("", "", 0, 0, 0, 0) {
  hasCurrent_ = 0;
  currentPath_ = orin::New<CPortablePath>();
  orin::BindWideEntries();
}

CPortableFindFile::CPortableFindFile(const char* directory, const char* pattern, int32_t reserved,
                                     uint32_t required, uint32_t excluded, uint32_t options)
    : CPortableFindFileBase(directory, pattern, reserved, required, excluded, options) {
  orin::BindWideEntries();
  if (directory_.Failed() || pattern_.Failed()) {
    hasCurrent_ = 0;  // a cut directory or pattern would list something else
    return;
  }
  FindNext();
}

// The search handle closes (member) before the base releases the current path.
CPortableFindFile::~CPortableFindFile() = default;

bool CPortableFindFile::ReadRawEntry(CPortableString* shortName, bool* creationMissing) {
  const orin::FileSystemCalls& calls = orin::Sys();
  const bool wide = search_.IsOpen() ? calls.FindNextFileW != nullptr : calls.FindFirstFileW != nullptr;
  WIN32_FIND_DATAW wideData;
  WIN32_FIND_DATAA narrowData;
  bool found;
  if (!search_.IsOpen()) {
    CPortableString searchText = JoinPath(1, {directory_.Text(), pattern_.Text()});
    HANDLE handle;
    if (wide) {
      if (!IsNetworkPath(searchText.Text())) searchText = kLongPathPrefix + searchText;
      CPortableWideString wideText;
      NarrowToWideAnsi(wideText, searchText.Text());
      handle = wideText.Length() > orin::kSystemPathLimit ? INVALID_HANDLE_VALUE
                                                     : calls.FindFirstFileW(wideText.Text(), &wideData);
    } else {
      handle = calls.FindFirstFileA(searchText.Text(), &narrowData);
    }
    found = handle != INVALID_HANDLE_VALUE;
    if (found) search_.Reset(handle);
  } else if (wide) {
    found = calls.FindNextFileW(search_.Get(), &wideData) != FALSE;
  } else {
    found = calls.FindNextFileA(search_.Get(), &narrowData) != FALSE;
  }
  if (!found) {
    entry_.valid = 0;
    return false;
  }
  if (wide) {
    WideToString(entry_.name, 0, wideData.cFileName, -1);
    WideToString(*shortName, 0, wideData.cAlternateFileName, -1);
    FillTimesAndSize(wideData, &entry_, creationMissing);
  } else {
    entry_.name = narrowData.cFileName;
    *shortName = narrowData.cAlternateFileName;
    FillTimesAndSize(narrowData, &entry_, creationMissing);
  }
  return true;
}

void CPortableFindFile::FindNext() {
  while (hasCurrent_) {
    // A name cut short by a failed allocation names a sibling: the listing ends there instead.
    const unsigned failuresBefore = orin::FailedAllocations();
    CPortableString shortName;
    bool creationMissing = false;
    hasCurrent_ = ReadRawEntry(&shortName, &creationMissing) ? 1 : 0;
    if (hasCurrent_ && orin::FailedAllocations() != failuresBefore) {
      hasCurrent_ = 0;
      entry_.valid = 0;
    }
    if (!hasCurrent_) return;
    if (IsDotEntry(entry_.name.Text())) continue;
    if ((entry_.attributes & required_) != required_ || (entry_.attributes & excluded_) != 0) continue;
    if (options_ & PortableFindShortNameFallback) ApplyShortNameFallback(shortName);
    if (options_ & PortableFindTidyCapitals) TidyCapitalName(creationMissing);
    if (orin::FailedAllocations() != failuresBefore) {
      hasCurrent_ = 0;
      entry_.valid = 0;
    }
    return;
  }
}

CPortablePath* CPortableFindFile::GetCurrentPath() {
  if (currentPath_ == nullptr) {
    if (hasCurrent_) {
      const CPortableString joined = JoinPath(0, {directory_.Text(), entry_.name.Text()});
      if (joined.Failed()) return nullptr;
      currentPath_ = orin::New<CPortablePath>(joined.Text(), PortablePathReadWrite);
    } else {
      currentPath_ = orin::New<CPortablePath>();
    }
  }
  return currentPath_;
}

CPortablePath* CPortableFindFile::GetEntryPath() {
  if (entryPath_) return entryPath_.get();
  if (!hasCurrent_) return GetCurrentPath();
  const CPortableString joined = JoinPath(0, {directory_.Text(), entry_.name.Text()});
  if (joined.Failed()) return nullptr;
  // Below a long-path directory the join is exact already; resolving it would rewrite it.
  CPortableString exact;
  if (IsLongPath(directory_.Text())) {
    exact = joined;
  } else {
    CPortablePath* match = GetCurrentPath();
    if (match == nullptr) return nullptr;
    // A name that resolves to itself names the entry (a text too long to resolve comes back as
    // given, trailing dot or not).
    if (strcmp(match->GetText(), joined.Text()) == 0 && !EndsInDotOrSpace(entry_.name.Text())) return match;
    exact = LongPathForm(joined.Text());
    if (exact.Failed()) return nullptr;
    if (exact.IsEmpty()) return match;
  }
  entryPath_.reset(orin::New<CPortablePath>(exact.Text(), PortablePathReadWrite, PortableExactText()));
  return entryPath_.get();
}

void CPortableFindFile::Next() {
  if (!hasCurrent_) return;
  delete currentPath_;
  currentPath_ = nullptr;
  entryPath_.reset();
  FindNext();
}

CPortableFindFile* FindInParent(const char* text, int32_t reserved, uint32_t required, uint32_t excluded,
                                uint32_t options) {
  if (text == nullptr) return orin::New<CPortableFindFile>();
  const unsigned failuresBefore = orin::FailedAllocations();
  CPortableString parent = GetParent(text, 1);
  if (parent.IsEmpty()) GetCurrentDirectoryString(parent);
  const CPortableString name = GetComponent(text, CountComponents(text) - 1);
  if (orin::FailedAllocations() != failuresBefore) return nullptr;  // a part may be cut short
  const CPortablePath directory(parent.Text(), PortablePathReadWrite);
  return directory.Find(name.Text(), reserved, required, excluded, options);
}

CPortableFindFile* FindFilesInParent(const char* text, int32_t reserved, uint32_t options) {
  return FindInParent(text, reserved, 0, FILE_ATTRIBUTE_DIRECTORY, options);
}

CPortableFindFile* FindDirectoriesInParent(const char* text, int32_t reserved, uint32_t options) {
  return FindInParent(text, reserved, FILE_ATTRIBUTE_DIRECTORY, 0, options);
}
