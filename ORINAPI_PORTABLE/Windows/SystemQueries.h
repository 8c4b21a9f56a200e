// SystemQueries.h - the few system queries behind the system services, as swappable function
// pointers, so tests can present another system version, language or code page.
#ifndef ORINAPI_PORTABLE_WINDOWS_SYSTEMQUERIES_H
#define ORINAPI_PORTABLE_WINDOWS_SYSTEMQUERIES_H

#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

namespace orin {

struct SystemQueries {
  DWORD (*getVersion)();                 // GetVersion
  LANGID (*getSystemDefaultLangId)();    // GetSystemDefaultLangID
  int (*getMultibyteCodePage)();         // the C run-time's _getmbcp (0: single-byte "C")
  int (*isDoubleByteCodePage)(int codePage);  // GetCPInfo: more than one byte a character
};

// The real queries.
const SystemQueries& RealSystemQueries();
// The queries in use (the real ones unless a test swapped them).
const SystemQueries& CurrentSystemQueries();

// Puts other queries in place for its lifetime, then restores the previous ones.
class ScopedSystemQueries {
 public:
  explicit ScopedSystemQueries(const SystemQueries& replacement);
  ~ScopedSystemQueries();
  ScopedSystemQueries(const ScopedSystemQueries&) = delete;
  ScopedSystemQueries& operator=(const ScopedSystemQueries&) = delete;

 private:
  SystemQueries previous_;
};

}  // namespace orin

#endif  // ORINAPI_PORTABLE_WINDOWS_SYSTEMQUERIES_H
