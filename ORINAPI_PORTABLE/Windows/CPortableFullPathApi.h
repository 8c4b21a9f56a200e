// CPortableFullPathApi: full-path resolution. On NT-family systems it uses the wide
// GetFullPathNameW, which reaches paths the narrow call cannot show; elsewhere the narrow call.
// Both come from the system-call table (FileSystemCalls.h), the wide one bound there once.
// Made by the first path construction, freed when the library unloads.
#ifndef ORINAPI_PORTABLE_WINDOWS_CPORTABLEFULLPATHAPI_H
#define ORINAPI_PORTABLE_WINDOWS_CPORTABLEFULLPATHAPI_H

#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "OrinRobo/CPortableString.h"

class CPortableFullPathApi {
 public:
  // The instance, created on first use (no lock: the layer is used from one thread at a time);
  // null only when it cannot be allocated.
  static CPortableFullPathApi* Instance();
  // Drops the instance and the wide entries; the next Instance() binds anew (unload, and tests
  // that change the system view).
  static void Release();

  ~CPortableFullPathApi();
  CPortableFullPathApi(const CPortableFullPathApi&) = delete;
  CPortableFullPathApi& operator=(const CPortableFullPathApi&) = delete;

  // The full path of text without trailing separators ("C:" and "C:\" give "C:\"); the text
  // unchanged when the system cannot resolve it within the length limit; empty for null or "".
  // A failed string (CPortableString::Failed) when memory ran out on the way.
  CPortableString Resolve(const char* text) const;

  // The wide entry in use; null outside the NT family.
  orin::GetFullPathNameWFn WideEntry() const { return orin::Sys().GetFullPathNameW; }

 private:
  CPortableFullPathApi();
  bool ResolveWide(const char* text, CPortableString* result) const;
  bool ResolveNarrow(const char* text, CPortableString* result) const;
};

#endif  // ORINAPI_PORTABLE_WINDOWS_CPORTABLEFULLPATHAPI_H
