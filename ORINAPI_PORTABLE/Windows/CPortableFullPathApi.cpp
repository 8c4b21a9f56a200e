#include "ORINAPI_PORTABLE/Windows/CPortableFullPathApi.h"

#include <memory>

#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "ORINAPI_PORTABLE/CPortableWideString.h"
#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/TextConversion.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

namespace {

// Destroyed with the library's other statics.
std::unique_ptr<CPortableFullPathApi> g_fullPathApi;

}  // namespace

CPortableFullPathApi* CPortableFullPathApi::Instance() {
  if (!g_fullPathApi) {
    void* memory = orin::Allocate(sizeof(CPortableFullPathApi));
    if (memory != nullptr) g_fullPathApi.reset(::new (memory) CPortableFullPathApi());
  }
  return g_fullPathApi.get();
}

void CPortableFullPathApi::Release() {
  g_fullPathApi.reset();
  orin::ReleaseWideEntries();
}

CPortableFullPathApi::CPortableFullPathApi() { orin::BindWideEntries(); }

CPortableFullPathApi::~CPortableFullPathApi() = default;

CPortableString CPortableFullPathApi::Resolve(const char* text) const {
  if (text == nullptr || text[0] == '\0') return CPortableString();
  // Any allocation that fails on the way may have cut a piece of the text short.
  const unsigned failuresBefore = orin::FailedAllocations();
  CPortableString resolved;
  const bool ok = orin::Sys().GetFullPathNameW != nullptr ? ResolveWide(text, &resolved) : ResolveNarrow(text, &resolved);
  CPortableString result = ok ? AddRootToDrive(StripTrailingSeparators(resolved.Text()).Text()) : CPortableString(text);
  if (orin::FailedAllocations() != failuresBefore) result.MarkFailed();
  return result;
}

bool CPortableFullPathApi::ResolveWide(const char* text, CPortableString* result) const {
  CPortableWideString wideText;
  NarrowToWideAnsi(wideText, text);
  if (wideText.Length() > orin::kSystemPathLimit) return false;
  wchar_t buffer[kPortableFullPathLimit + 1] = {};
  const DWORD length = orin::Sys().GetFullPathNameW(wideText.Text(), kPortableFullPathLimit, buffer, nullptr);
  if (length == 0 || length >= static_cast<DWORD>(kPortableFullPathLimit)) return false;
  // Grown as needed: in a double-byte code page the narrow form may take up to two bytes a unit,
  // and a result that no longer fits the limit counts as unresolved like an overlong wide one.
  WideToString(*result, 0, buffer, static_cast<int>(length));
  return result->Length() > 0 && result->Length() < kPortableFullPathLimit;
}

bool CPortableFullPathApi::ResolveNarrow(const char* text, CPortableString* result) const {
  char buffer[kPortableFullPathLimit + 1] = {};
  const DWORD length = orin::Sys().GetFullPathNameA(text, kPortableFullPathLimit, buffer, nullptr);
  if (length == 0 || length >= static_cast<DWORD>(kPortableFullPathLimit)) return false;
  *result = buffer;
  return true;
}
