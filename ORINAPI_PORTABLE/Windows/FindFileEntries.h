// The wide enumeration entries of KERNEL32, looked up once per process on NT-family systems (where
// they reach long and non-ANSI names); elsewhere both stay null and the narrow calls are used.
#ifndef ORINAPI_PORTABLE_WINDOWS_FINDFILEENTRIES_H
#define ORINAPI_PORTABLE_WINDOWS_FINDFILEENTRIES_H

#include "ORINAPI_PORTABLE/Windows/PathSystemCalls.h"

namespace orin {

struct FindFileEntries {
  HMODULE kernel;               // null when not loaded
  FindFirstFileWFn findFirst;   // null: use FindFirstFileA
  FindNextFileWFn findNext;     // null: use FindNextFileA
};

// Looks the entries up on the first call; tests may replace the addresses afterwards.
FindFileEntries& BindFindFileEntries();
// Frees the module and forgets the lookup (unload, and tests that change the system view).
void ReleaseFindFileEntries();

}  // namespace orin

#endif  // ORINAPI_PORTABLE_WINDOWS_FINDFILEENTRIES_H
