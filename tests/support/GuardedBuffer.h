// GuardedBuffer: memory whose last usable byte sits right before a no-access page, so that a
// function that reads or writes one unit past what it was given faults at once instead of
// passing unseen. GuardedText places a text (terminator included) at the very end of one.
#ifndef TESTS_SUPPORT_GUARDEDBUFFER_H
#define TESTS_SUPPORT_GUARDEDBUFFER_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>
#include <cstring>

namespace testsupport {

class GuardedBuffer {
 public:
  explicit GuardedBuffer(size_t bytes) : bytes_(bytes) {
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    const size_t usablePages = (bytes + page - 1) / page;
    total_ = (usablePages + 1) * page;
    base_ = static_cast<unsigned char*>(
        ::VirtualAlloc(nullptr, total_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    if (base_ == nullptr ||
        !::VirtualProtect(base_ + usablePages * page, page, PAGE_NOACCESS, &old)) {
      Free();
      return;
    }
    guard_ = base_ + usablePages * page;
  }
  ~GuardedBuffer() { Free(); }
  GuardedBuffer(const GuardedBuffer&) = delete;
  GuardedBuffer& operator=(const GuardedBuffer&) = delete;

  bool Valid() const { return guard_ != nullptr; }
  // The usable bytes; Data() + Size() is the first no-access byte.
  unsigned char* Data() const { return guard_ != nullptr ? guard_ - bytes_ : nullptr; }
  size_t Size() const { return bytes_; }

 private:
  void Free() {
    if (base_ != nullptr) ::VirtualFree(base_, 0, MEM_RELEASE);
    base_ = guard_ = nullptr;
  }

  size_t bytes_;
  size_t total_ = 0;
  unsigned char* base_ = nullptr;
  unsigned char* guard_ = nullptr;
};

// A copy of units units of text, plus a terminator when terminate is set, ending at the guard.
template <class Char>
class GuardedText {
 public:
  GuardedText(const Char* text, size_t units, bool terminate = true)
      : buffer_((units + (terminate ? 1 : 0)) * sizeof(Char)) {
    Char* start = Get();
    if (start == nullptr) return;
    if (units > 0) std::memcpy(start, text, units * sizeof(Char));
    if (terminate) start[units] = Char(0);
  }
  Char* Get() const { return reinterpret_cast<Char*>(buffer_.Data()); }
  bool Valid() const { return buffer_.Valid(); }

 private:
  GuardedBuffer buffer_;
};

}  // namespace testsupport

#endif  // TESTS_SUPPORT_GUARDEDBUFFER_H
