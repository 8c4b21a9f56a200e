// Which of the process's heaps holds an object as an allocated block: how orinhost check sees an
// object that its destructor slot does not free, or frees through another allocator (say, made
// with HeapAlloc and freed by the run-time's operator delete, which uses another heap).
#ifndef TOOLS_ORINHOST_HEAPBLOCK_H
#define TOOLS_ORINHOST_HEAPBLOCK_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// Null when no heap holds it as a block of its own (static storage, a private pool, a run-time
// that keeps a header before the object): nothing can be said about such an object.
HANDLE HeapHolding(const void* block);

// Whether the heap still counts block as allocated.
bool StillAllocated(HANDLE heap, const void* block);

#endif  // TOOLS_ORINHOST_HEAPBLOCK_H
