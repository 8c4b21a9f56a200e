#include "ORINAPI_PORTABLE/Windows/CPortableFullPathApi.h"

#include <memory>
#include <new>

#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "ORINAPI_PORTABLE/CPortableWideString.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/TextConversion.h"

namespace {

// Destroyed with the library's other statics, which is when the module handle goes back.
std::unique_ptr<CPortableFullPathApi> g_fullPathApi;

}  // namespace

CPortableFullPathApi* CPortableFullPathApi::Instance() {
  if (!g_fullPathApi) g_fullPathApi.reset(new (std::nothrow) CPortableFullPathApi());
  return g_fullPathApi.get();
}

void CPortableFullPathApi::Release() { g_fullPathApi.reset(); }

CPortableFullPathApi::CPortableFullPathApi()
    : kernel_(nullptr), wide_(nullptr), narrow_(orin::GetPathSystemCalls().getFullPathNameA) {
  if (IsWindowsNT()) {
    kernel_ = ::LoadLibraryA("KERNEL32.DLL");
    if (kernel_ != nullptr) wide_ = orin::GetEntryPoint<orin::GetFullPathNameWFn>(kernel_, "GetFullPathNameW");
  }
}

CPortableFullPathApi::~CPortableFullPathApi() {
  if (kernel_ != nullptr) ::FreeLibrary(kernel_);
  kernel_ = nullptr;
  wide_ = nullptr;
}

CPortableString CPortableFullPathApi::Resolve(const char* text) const {
  if (text == nullptr || text[0] == '\0') return CPortableString();
  CPortableString resolved;
  const bool ok = wide_ != nullptr ? ResolveWide(text, &resolved) : ResolveNarrow(text, &resolved);
  if (!ok) return CPortableString(text);
  return AddRootToDrive(StripTrailingSeparators(resolved.Text()).Text());
}

bool CPortableFullPathApi::ResolveWide(const char* text, CPortableString* result) const {
  CPortableWideString wideText;
  NarrowToWideAnsi(wideText, text);
  wchar_t buffer[kPortableFullPathLimit + 1] = {};
  const DWORD length = wide_(wideText.Text(), kPortableFullPathLimit, buffer, nullptr);
  if (length == 0 || length >= static_cast<DWORD>(kPortableFullPathLimit)) return false;
  // Grown as needed: in a double-byte code page the narrow form may take up to two bytes a unit,
  // and a result that no longer fits the limit counts as unresolved like an overlong wide one.
  WideToString(*result, 0, buffer, static_cast<int>(length));
  return result->Length() > 0 && result->Length() < kPortableFullPathLimit;
}

bool CPortableFullPathApi::ResolveNarrow(const char* text, CPortableString* result) const {
  char buffer[kPortableFullPathLimit + 1] = {};
  const DWORD length = narrow_(text, kPortableFullPathLimit, buffer, nullptr);
  if (length == 0 || length >= static_cast<DWORD>(kPortableFullPathLimit)) return false;
  *result = buffer;
  return true;
}
