#include "ORINAPI_PORTABLE/Windows/UnBufBufferPool.h"

#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {

struct PoolEntry {
  unsigned char* buffer;  // null when it did not fit in the area
  int32_t inUse;
};

struct Pool {
  bool setUp = false;
  PoolEntry entries[UnBufBufferPool::kBufferCount] = {};
};

unsigned char g_area[UnBufBufferPool::kAreaSize];

Pool& ThePool() {
  static Pool pool;
  if (!pool.setUp) {
    SYSTEM_INFO info = {};
    orin::Sys().GetSystemInfo(&info);
    unsigned char* starts[UnBufBufferPool::kBufferCount];
    UnBufBufferPool::LayOut(g_area, sizeof g_area, info.dwPageSize, starts);
    for (int i = 0; i < UnBufBufferPool::kBufferCount; ++i) pool.entries[i] = PoolEntry{starts[i], 0};
    pool.setUp = true;
  }
  return pool;
}

}  // namespace

void UnBufBufferPool::LayOut(unsigned char* area, size_t areaSize, uint32_t pageSize,
                             unsigned char* starts[kBufferCount]) {
  if (pageSize == 0) pageSize = 4096;
  const uintptr_t begin = reinterpret_cast<uintptr_t>(area);
  const uintptr_t end = begin + areaSize;
  // Larger pages would make 128 KiB buffers overlap: space them a page apart instead, and give
  // up the ones that no longer fit.
  const uintptr_t spacing = pageSize > kBufferSpacing ? pageSize : kBufferSpacing;
  const uintptr_t first = (begin + pageSize - 1) / pageSize * pageSize;
  const uintptr_t length = pageSize > kBufferSpacing ? pageSize : kBufferSpacing / pageSize * pageSize;
  for (int i = 0; i < kBufferCount; ++i) {
    const uintptr_t start = first + static_cast<uintptr_t>(i) * spacing;
    starts[i] = start + length <= end && start >= first ? area + (start - begin) : nullptr;
  }
}

void* UnBufBufferPool::Take() {
  for (PoolEntry& entry : ThePool().entries) {
    if (!entry.inUse && entry.buffer != nullptr) {
      entry.inUse = 1;
      return entry.buffer;
    }
  }
  return nullptr;
}

void UnBufBufferPool::GiveBack(void* buffer) {
  if (buffer == nullptr) return;
  for (PoolEntry& entry : ThePool().entries) {
    if (entry.inUse && entry.buffer == buffer) {
      entry.inUse = 0;
      return;
    }
  }
}

int UnBufBufferPool::FreeCount() {
  int count = 0;
  for (const PoolEntry& entry : ThePool().entries) count += !entry.inUse && entry.buffer != nullptr;
  return count;
}
