#include "HeapBlock.h"

#include <vector>

HANDLE HeapHolding(const void* block) {
  std::vector<HANDLE> heaps(64);
  DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  if (count > heaps.size()) {
    heaps.resize(count);
    count = ::GetProcessHeaps(count, heaps.data());
  }
  for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
    if (StillAllocated(heaps[i], block)) return heaps[i];
  }
  return nullptr;
}

bool StillAllocated(HANDLE heap, const void* block) { return ::HeapValidate(heap, 0, block) != FALSE; }
