// UniqueHandle.h - a move-only owner for one system handle, shared by the plug-in and the station
// (header only: neither deliverable links the other). Traits names the handle's type, its invalid
// value and how it is closed.
#ifndef COMMON_UNIQUEHANDLE_H
#define COMMON_UNIQUEHANDLE_H

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

namespace orin {

template <class Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept : value_(Traits::Invalid()) {}
  explicit UniqueHandle(Type value) noexcept : value_(value) {}
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Type get() const noexcept { return value_; }
  bool valid() const noexcept { return value_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  // Hands ownership on; call it only after the last step that can fail.
  Type release() noexcept {
    Type value = value_;
    value_ = Traits::Invalid();
    return value;
  }

  // Closes the current handle without disturbing the thread's last error.
  void reset(Type value = Traits::Invalid()) noexcept {
    if (valid()) {
      const DWORD lastError = ::GetLastError();
      Traits::Close(value_);
      ::SetLastError(lastError);
    }
    value_ = value;
  }

  // For out-parameters of system calls; closes what was held first.
  Type* put() noexcept {
    reset();
    return &value_;
  }

 private:
  Type value_;
};

}  // namespace orin

#endif  // COMMON_UNIQUEHANDLE_H
