/* MsWin32.h - the few kernel32 declarations the Microsoft-ABI samples use. They are built by
 * clang in MSVC mode, where no Windows SDK is at hand; the import libraries come from MinGW-w64,
 * whose import stubs carry the same names. */
#ifndef SAMPLES_DRIVERS_MSABI_MSWIN32_H
#define SAMPLES_DRIVERS_MSABI_MSWIN32_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int BOOL;
typedef unsigned long DWORD;
typedef long LONG;
typedef unsigned int UINT;
typedef void* HANDLE;
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef void* LPVOID;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef int(__stdcall* FARPROC)(void);

#define WINAPI __stdcall
#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE ((HANDLE)(ptrdiff_t)-1)
#define PAGE_READWRITE 0x04
#define FILE_MAP_ALL_ACCESS 0xF001F
#define DLL_PROCESS_ATTACH 1
#define DLL_PROCESS_DETACH 0
#define STD_OUTPUT_HANDLE ((DWORD)-11)
#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOOPENFILEERRORBOX 0x8000

__declspec(dllimport) HANDLE WINAPI CreateFileMappingA(HANDLE file, void* security, DWORD protect,
                                                       DWORD sizeHigh, DWORD sizeLow, LPCSTR name);
__declspec(dllimport) LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh,
                                                  DWORD offsetLow, size_t bytes);
__declspec(dllimport) BOOL WINAPI UnmapViewOfFile(const void* view);
__declspec(dllimport) BOOL WINAPI CloseHandle(HANDLE handle);
__declspec(dllimport) DWORD WINAPI GetCurrentProcessId(void);
__declspec(dllimport) LPSTR WINAPI lstrcpynA(LPSTR to, LPCSTR from, int size);
__declspec(dllimport) DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size);
__declspec(dllimport) HANDLE WINAPI GetProcessHeap(void);
__declspec(dllimport) LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, size_t bytes);
__declspec(dllimport) BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID memory);
__declspec(dllimport) HMODULE WINAPI LoadLibraryA(LPCSTR path);
__declspec(dllimport) FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name);
__declspec(dllimport) BOOL WINAPI FreeLibrary(HMODULE module);
__declspec(dllimport) HANDLE WINAPI GetStdHandle(DWORD which);
__declspec(dllimport) BOOL WINAPI WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written,
                                            void* overlapped);
__declspec(dllimport) LPSTR WINAPI GetCommandLineA(void);
__declspec(dllimport) void WINAPI ExitProcess(UINT code);
__declspec(dllimport) UINT WINAPI SetErrorMode(UINT mode);

/* The compiler's own intrinsic: kernel32 exports no such function in 64-bit Windows. */
long _InterlockedIncrement(long volatile* value);
#define InterlockedIncrement(value) _InterlockedIncrement(value)

#ifdef __cplusplus
}
#endif

#endif /* SAMPLES_DRIVERS_MSABI_MSWIN32_H */
