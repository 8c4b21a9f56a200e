// WindowsSupport.h - the one place through which the library includes <windows.h> (with the
// settings every implementation file shares), and the handle owners the library uses.
#ifndef ORINAPI_PORTABLE_WINDOWS_WINDOWSSUPPORT_H
#define ORINAPI_PORTABLE_WINDOWS_WINDOWSSUPPORT_H

#include "common/UniqueHandle.h"

namespace orin {

// The layer's handles close through its system-call table (FileSystemCalls.h), so a test sees
// and can fail every close.
BOOL CloseHandleThroughSys(HANDLE handle);
BOOL FindCloseThroughSys(HANDLE handle);

struct FileHandleTraits {  // CreateFile: invalid is INVALID_HANDLE_VALUE
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandleThroughSys(h); }
};
struct FindHandleTraits {  // FindFirstFile
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { FindCloseThroughSys(h); }
};
struct KernelHandleTraits {  // threads, events, processes, snapshots... : invalid is null
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::CloseHandle(h); }
};
struct ModuleTraits {  // LoadLibrary
  using Type = HMODULE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::FreeLibrary(h); }
};
struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { ::RegCloseKey(h); }
};

using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

// The most characters a system path can hold. Longer texts never reach a wide call: the system
// refuses them, and some implementations of those calls read past the end of such a text.
constexpr int kSystemPathLimit = 32767;

// GetProcAddress with the cast to the entry point's type in one place.
template <class Fn>
Fn GetEntryPoint(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace orin

#endif  // ORINAPI_PORTABLE_WINDOWS_WINDOWSSUPPORT_H
