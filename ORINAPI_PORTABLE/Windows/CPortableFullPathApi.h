// CPortableFullPathApi: the process-wide binding of full-path resolution. On NT-family systems it
// holds KERNEL32 and its wide GetFullPathNameW, which reaches paths the narrow call cannot show;
// elsewhere only the narrow call. Made by the first path construction, freed when the library unloads.
#ifndef ORINAPI_PORTABLE_WINDOWS_CPORTABLEFULLPATHAPI_H
#define ORINAPI_PORTABLE_WINDOWS_CPORTABLEFULLPATHAPI_H

#include "ORINAPI_PORTABLE/Windows/PathSystemCalls.h"
#include "OrinRobo/CPortableString.h"

class CPortableFullPathApi {
 public:
  // The instance, created on first use (no lock: the layer is used from one thread at a time);
  // null only when it cannot be allocated.
  static CPortableFullPathApi* Instance();
  // Drops the instance; the next Instance() binds anew (unload, and tests that change the system view).
  static void Release();

  ~CPortableFullPathApi();
  CPortableFullPathApi(const CPortableFullPathApi&) = delete;
  CPortableFullPathApi& operator=(const CPortableFullPathApi&) = delete;

  // The full path of text without trailing separators ("C:" and "C:\" give "C:\"); the text
  // unchanged when the system cannot resolve it within the length limit; empty for null or "".
  CPortableString Resolve(const char* text) const;

  HMODULE Kernel() const { return kernel_; }
  orin::GetFullPathNameWFn WideEntry() const { return wide_; }

 private:
  CPortableFullPathApi();
  bool ResolveWide(const char* text, CPortableString* result) const;
  bool ResolveNarrow(const char* text, CPortableString* result) const;

  HMODULE kernel_;                       // KERNEL32, loaded on NT-family systems only
  orin::GetFullPathNameWFn wide_;        // null when absent or not an NT-family system
  orin::GetFullPathNameAFn narrow_;
};

#endif  // ORINAPI_PORTABLE_WINDOWS_CPORTABLEFULLPATHAPI_H
