// StationWindows.h - includes <windows.h> with the settings every station source shares, and
// move-only owners for the handles the station keeps.
#ifndef STATION_STATIONWINDOWS_H
#define STATION_STATIONWINDOWS_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0501
#endif
#include <windows.h>

namespace station {

// Owns one handle; Traits names its type, its invalid value and how it is released.
template <class Traits>
class Owned {
 public:
  using Type = typename Traits::Type;
  Owned() noexcept = default;
  explicit Owned(Type value) noexcept : value_(value) {}
  Owned(Owned&& other) noexcept : value_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  Type get() const noexcept { return value_; }
  bool valid() const noexcept { return value_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }
  Type release() noexcept {
    Type value = value_;
    value_ = Traits::Invalid();
    return value;
  }
  void reset(Type value = Traits::Invalid()) noexcept {
    if (valid()) Traits::Release(value_);
    value_ = value;
  }
  Type* put() noexcept {  // for out-parameters; releases what was held
    reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Invalid();
};

struct KernelHandleTraits {  // threads, processes, events
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Release(Type h) { CloseHandle(h); }
};
struct SnapshotHandleTraits {  // Toolhelp snapshots and files
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Release(Type h) { CloseHandle(h); }
};
struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Release(Type h) { RegCloseKey(h); }
};
struct GdiObjectTraits {  // fonts and bitmaps
  using Type = HGDIOBJ;
  static Type Invalid() { return nullptr; }
  static void Release(Type h) { DeleteObject(h); }
};

using UniqueHandle = Owned<KernelHandleTraits>;
using UniqueSnapshot = Owned<SnapshotHandleTraits>;
using UniqueKey = Owned<RegistryKeyTraits>;
using UniqueGdiObject = Owned<GdiObjectTraits>;

}  // namespace station

#endif  // STATION_STATIONWINDOWS_H
