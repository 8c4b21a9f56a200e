#include "ORINAPI_PORTABLE/PortableTempFile.h"

#include <new>
#include <utility>

#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/TempFileNames.h"

namespace {

constexpr int kCandidates = 10000;

// Failures that concern the folder rather than the name: no other candidate can succeed.
// Access denied is not one: a name held by a file pending deletion gives it too.
bool FailsForEveryName(int32_t error) {
  switch (error) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
      return true;
    default:
      return false;
  }
}

}  // namespace

CPortableFile* CreatePortableTempFile(const char* directory, uint32_t flags) {
  for (int i = 0; i < kCandidates; ++i) {
    CPortableString name = FormatTempFileCandidate(directory, i);
    if (name.IsEmpty() || name.Failed()) return nullptr;  // too long for any candidate, or no memory
    TempNameClaim claim;
    if (!MakeTempNameUnique(name, &claim)) continue;
    CPortableWinFileBase* file;
    if (flags & kPortableTempUnbuffered) {
      auto* temp = orin::New<CPortableUnBufWinTempPFile>(name.Text(), kPortableOpenWrite, 0, nullptr);
      if (temp != nullptr) temp->KeepNameClaim(std::move(claim));
      file = temp;
    } else {
      auto* temp = orin::New<CPortableWinTempPFile>(name.Text(), kPortableOpenWrite, nullptr);
      if (temp != nullptr) {
        temp->KeepNameClaim(std::move(claim));
        temp->Open(kPortableOpenWrite);  // claims the name on disk now
      }
      file = temp;
    }
    if (file == nullptr) return nullptr;
    // The object created its file (CREATE_NEW) or failed, so destroying it never deletes a
    // file someone else made; a name that exists means the next candidate.
    const int32_t error = file->GetError();
    if (error == 0) return file;
    delete file;
    if (error == ERROR_NOT_ENOUGH_MEMORY || FailsForEveryName(error)) return nullptr;
  }
  return nullptr;
}
