// LayerMemory.h - the one allocation hook of the portable layer. Its own allocations (text buffers,
// the objects it hands out, the few containers) come from here, so a test can make any one of them
// fail; a failure is counted per thread, so an operation can tell that something it built is short.
#ifndef ORINAPI_PORTABLE_LAYERMEMORY_H
#define ORINAPI_PORTABLE_LAYERMEMORY_H

#include <stddef.h>

#include <new>
#include <utility>

namespace orin {

// Answers null when the memory cannot be had; never throws.
using AllocateFn = void* (*)(size_t bytes);

// The function in use (the ordinary nothrow operator new unless a test swapped it).
AllocateFn& LayerAllocator();
AllocateFn RealLayerAllocator();

// Memory for the layer; null (and counted as a failure) when it cannot be had.
void* Allocate(size_t bytes);
// Gives memory from Allocate back; null is ignored.
void Free(void* memory);
// Allocations that failed on this thread so far; an operation compares it before and after.
unsigned FailedAllocations();

// For owners of memory from Allocate.
struct LayerDeleter {
  void operator()(void* memory) const { Free(memory); }
};

// An object built in layer memory; null when the memory cannot be had. Delete it with delete.
template <class T, class... Args>
T* New(Args&&... args) {
  void* memory = Allocate(sizeof(T));
  return memory != nullptr ? ::new (memory) T(std::forward<Args>(args)...) : nullptr;
}

// For standard containers: throws std::bad_alloc, which the code using them catches.
template <class T>
struct LayerStdAllocator {
  using value_type = T;
  LayerStdAllocator() = default;
  template <class U>
  LayerStdAllocator(const LayerStdAllocator<U>&) noexcept {}
  T* allocate(size_t n) {
    if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    void* memory = Allocate(n * sizeof(T));
    if (memory == nullptr) throw std::bad_alloc();
    return static_cast<T*>(memory);
  }
  void deallocate(T* memory, size_t) noexcept { Free(memory); }
  template <class U>
  bool operator==(const LayerStdAllocator<U>&) const noexcept { return true; }
  template <class U>
  bool operator!=(const LayerStdAllocator<U>&) const noexcept { return false; }
};

// Installs another allocation function for its lifetime (tests only).
class ScopedLayerAllocator {
 public:
  explicit ScopedLayerAllocator(AllocateFn allocate) : saved_(LayerAllocator()) { LayerAllocator() = allocate; }
  ~ScopedLayerAllocator() { LayerAllocator() = saved_; }
  ScopedLayerAllocator(const ScopedLayerAllocator&) = delete;
  ScopedLayerAllocator& operator=(const ScopedLayerAllocator&) = delete;

 private:
  AllocateFn saved_;
};

}  // namespace orin

#endif  // ORINAPI_PORTABLE_LAYERMEMORY_H
