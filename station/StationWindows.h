// StationWindows.h - includes <windows.h> with the settings every station source shares, and
// the owners for the handles the station keeps.
#ifndef STATION_STATIONWINDOWS_H
#define STATION_STATIONWINDOWS_H

#include "common/UniqueHandle.h"

namespace station {

struct KernelHandleTraits {  // threads, processes, events
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { CloseHandle(h); }
};
struct SnapshotHandleTraits {  // Toolhelp snapshots and files
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandle(h); }
};
struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { RegCloseKey(h); }
};
struct GdiObjectTraits {  // fonts and bitmaps
  using Type = HGDIOBJ;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DeleteObject(h); }
};

using UniqueHandle = orin::UniqueHandle<KernelHandleTraits>;
using UniqueSnapshot = orin::UniqueHandle<SnapshotHandleTraits>;
using UniqueKey = orin::UniqueHandle<RegistryKeyTraits>;
using UniqueGdiObject = orin::UniqueHandle<GdiObjectTraits>;

}  // namespace station

#endif  // STATION_STATIONWINDOWS_H
