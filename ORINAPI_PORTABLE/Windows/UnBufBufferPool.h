// UnBufBufferPool: the process-wide page-aligned buffers of the unbuffered files, carved out of
// one static area so that no allocation happens on the transfer path. No lock: unbuffered files
// are used from one thread at a time.
#ifndef ORINAPI_PORTABLE_WINDOWS_UNBUFBUFFERPOOL_H
#define ORINAPI_PORTABLE_WINDOWS_UNBUFBUFFERPOOL_H

#include <stddef.h>
#include <stdint.h>

class UnBufBufferPool {
 public:
  static constexpr uint32_t kAreaSize = 786432;       // 768 KiB of static data
  static constexpr uint32_t kBufferSpacing = 131072;  // 128 KiB between buffer starts
  static constexpr int kBufferCount = 5;

  // A free buffer (set up on first use), or null when all are in use.
  static void* Take();
  // Marks buffer free again; a pointer the pool did not hand out is ignored.
  static void GiveBack(void* buffer);
  // Buffers free at the moment.
  static int FreeCount();

  // The buffer starts for an area and page size: page-aligned, kBufferSpacing (or a whole page
  // when pages are larger) apart; buffers that would not fit in the area are null.
  static void LayOut(unsigned char* area, size_t areaSize, uint32_t pageSize,
                     unsigned char* starts[kBufferCount]);
};

#endif  // ORINAPI_PORTABLE_WINDOWS_UNBUFBUFFERPOOL_H
