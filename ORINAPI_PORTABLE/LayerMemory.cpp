#include "ORINAPI_PORTABLE/LayerMemory.h"

namespace orin {
namespace {

// Objects made by New are deleted with delete, so all layer memory is operator new's.
void* AllocateReally(size_t bytes) { return ::operator new(bytes, std::nothrow); }

AllocateFn g_allocate = &AllocateReally;
thread_local unsigned t_failures = 0;

}  // namespace

AllocateFn& LayerAllocator() { return g_allocate; }
AllocateFn RealLayerAllocator() { return &AllocateReally; }

void* Allocate(size_t bytes) {
  void* memory = g_allocate(bytes != 0 ? bytes : 1);
  if (memory == nullptr) ++t_failures;
  return memory;
}

void Free(void* memory) { ::operator delete(memory); }

unsigned FailedAllocations() { return t_failures; }

}  // namespace orin
