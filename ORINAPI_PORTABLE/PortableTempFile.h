// CreatePortableTempFile: uniquely named temporary files that delete themselves when destroyed.
#ifndef ORINAPI_PORTABLE_PORTABLETEMPFILE_H
#define ORINAPI_PORTABLE_PORTABLETEMPFILE_H

#include <stdint.h>

#include "ORINAPI_PORTABLE/CPortableFile.h"

// Flag bits of CreatePortableTempFile.
enum : uint32_t {
  kPortableTempUnbuffered = 1,  // sector-aligned file bypassing the system cache
};

// A new temporary file in directory (empty or null: the current directory), opened for writing,
// named "<directory>\OrinMPEG<i>XXX<unique>". Owned by the caller; destroying it deletes the
// file. Null when no name could be made or memory ran out.
CPortableFile* CreatePortableTempFile(const char* directory, uint32_t flags);

#endif  // ORINAPI_PORTABLE_PORTABLETEMPFILE_H
