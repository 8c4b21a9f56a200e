// The system calls of the path layer that tests need to watch or fake (the narrow enumeration and
// full-path calls, the temporary folder and short names), reached through one table; volume
// queries go through the file classes' table (FileSystemCalls.h). Production code reads as plain
// Win32 calls through it; tests swap entries and put them back.
#ifndef ORINAPI_PORTABLE_WINDOWS_PATHSYSTEMCALLS_H
#define ORINAPI_PORTABLE_WINDOWS_PATHSYSTEMCALLS_H

#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

namespace orin {

using FindFirstFileWFn = HANDLE(WINAPI*)(LPCWSTR, LPWIN32_FIND_DATAW);
using FindNextFileWFn = BOOL(WINAPI*)(HANDLE, LPWIN32_FIND_DATAW);
using GetFullPathNameWFn = DWORD(WINAPI*)(LPCWSTR, DWORD, LPWSTR, LPWSTR*);
using GetFullPathNameAFn = DWORD(WINAPI*)(LPCSTR, DWORD, LPSTR, LPSTR*);

struct PathSystemCalls {
  GetFullPathNameAFn getFullPathNameA;
  HANDLE(WINAPI* findFirstFileA)(LPCSTR, LPWIN32_FIND_DATAA);
  BOOL(WINAPI* findNextFileA)(HANDLE, LPWIN32_FIND_DATAA);
  DWORD(WINAPI* getTempPathA)(DWORD, LPSTR);
  // The special folders' wide forms, for names the narrow calls cannot spell (NT family only).
  DWORD(WINAPI* getTempPathW)(DWORD, LPWSTR);
  DWORD(WINAPI* getShortPathNameW)(LPCWSTR, LPWSTR, DWORD);
};

// The table in use; the real system calls unless a test replaced some.
PathSystemCalls& GetPathSystemCalls();
// Puts the real system calls back.
void RestorePathSystemCalls();

}  // namespace orin

#endif  // ORINAPI_PORTABLE_WINDOWS_PATHSYSTEMCALLS_H
