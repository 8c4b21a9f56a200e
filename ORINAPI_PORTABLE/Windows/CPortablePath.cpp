// The path object: full-path resolution at construction, the lazily made inner file object that
// every file operation is forwarded to, and the attribute queries.
#include "ORINAPI_PORTABLE/CPortablePath.h"

#include <new>

#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/Windows/CPortableFullPathApi.h"
#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

namespace {

CPortableErrorSink* g_pathErrorSink = nullptr;

// Returned by forwarded operations when the inner file object cannot be allocated.
constexpr int32_t kNoInnerFile = -1;

// Only the three plain flags map to a file mode; mode 0 makes the file classes refuse to open.
// Without the binding (no memory for it) the text stays as given but counts as failed: the
// text was never resolved, and relative text would name another object later.
CPortableString ResolveFullPath(const char* text) {
  const CPortableFullPathApi* api = CPortableFullPathApi::Instance();
  if (api != nullptr) return api->Resolve(text);
  CPortableString unresolved(text);
  unresolved.MarkFailed();
  return unresolved;
}

int32_t InnerFileMode(uint32_t openFlags) {
  switch (openFlags & ~static_cast<uint32_t>(PortablePathUnbuffered)) {
    case PortablePathRead: return 1;
    case PortablePathWrite: return 2;
    case PortablePathReadWrite: return 3;
    default: return 0;
  }
}

}  // namespace

void SetPathErrorSink(CPortableErrorSink* sink) { g_pathErrorSink = sink; }

CPortableErrorSink* GetPathErrorSink() { return g_pathErrorSink; }

CPortablePath::CPortablePath() : openFlags_(PortablePathReadWrite), inner_(nullptr), refused_(0) {}

CPortablePath::CPortablePath(const char* text, uint32_t openFlags)
    : text_(ResolveFullPath(text)), openFlags_(openFlags), inner_(nullptr), refused_(0) {}

CPortablePath::CPortablePath(const char* text, uint32_t openFlags, PortableExactText)
    : text_(text), openFlags_(openFlags), inner_(nullptr), refused_(0) {}

CPortablePath::~CPortablePath() { DropInnerFile(); }

CPortableFile* CPortablePath::InnerFile() {
  // A text cut short names another object: nothing is opened, created or deleted through it.
  if (text_.Failed()) {
    refused_ = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  if (inner_ == nullptr) {
    const int32_t mode = InnerFileMode(openFlags_);
    if (openFlags_ & PortablePathUnbuffered) {
      inner_ = orin::New<CPortableUnBufWinPFile>(text_.Text(), mode, 0, g_pathErrorSink);
    } else {
      inner_ = orin::New<CPortableWinPFile>(text_.Text(), mode, g_pathErrorSink);
    }
    refused_ = inner_ != nullptr ? 0 : kNoInnerFile;
  }
  return inner_;
}

void CPortablePath::DropInnerFile() {
  delete inner_;
  inner_ = nullptr;
}

CPortableFile* CPortablePath::Clone() {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->Clone() : nullptr;
}

int32_t CPortablePath::Write(const void* buffer, uint32_t count, uint32_t* written) {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->Write(buffer, count, written) : refused_;
}

int32_t CPortablePath::Read(void* buffer, uint32_t count, uint32_t* read) {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->Read(buffer, count, read) : refused_;
}

int32_t CPortablePath::GetError() { return GetFileError(); }

int32_t CPortablePath::GetPosition(int64_t* position) {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->GetPosition(position) : refused_;
}

int32_t CPortablePath::Seek(int32_t origin, int64_t distance) {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->Seek(origin, distance) : refused_;
}

int32_t CPortablePath::Close() {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->Close() : refused_;
}

char* CPortablePath::GetFileName(char* destination) {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->GetFileName(destination) : nullptr;
}

int32_t CPortablePath::GetSize(uint64_t* size) {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->GetSize(size) : refused_;
}

int32_t CPortablePath::Truncate() {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->Truncate() : refused_;
}

int32_t CPortablePath::Delete() {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->Delete() : refused_;
}

PortableLocation CPortablePath::GetLocation() {
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->GetLocation() : CPortableFile::GetLocation();
}

int32_t CPortablePath::SetOpenMode(uint32_t openFlags) {
  openFlags_ = openFlags;
  DropInnerFile();
  return 0;
}

int32_t CPortablePath::GetFileError() {
  // The refusal a forwarded operation answered, not a fresh object's 0.
  if (inner_ == nullptr && refused_ != 0) return refused_;
  CPortableFile* inner = InnerFile();
  return inner != nullptr ? inner->GetError() : refused_;
}

CPortablePath& CPortablePath::Assign(const CPortablePath& other) {
  if (&other != this) {
    openFlags_ = other.openFlags_;
    text_ = other.text_;
  }
  refused_ = 0;
  DropInnerFile();
  return *this;
}

CPortableString CPortablePath::GetName() const {
  const int count = CountComponents(text_.Text());
  if (count == 0) return text_;
  CPortableString name = GetComponent(text_.Text(), count - 1);
  if (text_.Failed()) name.MarkFailed();
  return name;
}

int CPortablePath::GetAttributes(uint32_t* attributes) const {
  if (text_.Failed()) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  const DWORD found = orin::Sys().GetFileAttributesA(text_.Text());
  if (found == INVALID_FILE_ATTRIBUTES) return 0;
  if (attributes != nullptr) *attributes = found;
  return 1;
}

int CPortablePath::SetAttributes(uint32_t attributes) const {
  if (text_.Failed()) return 0;
  return orin::Sys().SetFileAttributesA(text_.Text(), attributes);
}

int CPortablePath::IsDirectory() const {
  uint32_t attributes = 0;
  return GetAttributes(&attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

uint64_t CPortablePath::GetSize64() {
  uint64_t size = 0;
  return GetSize(&size) == 0 ? size : ~static_cast<uint64_t>(0);
}
