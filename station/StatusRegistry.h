// StatusRegistry.h - the registry key that carries "Status" to the host.
#ifndef STATION_STATUSREGISTRY_H
#define STATION_STATUSREGISTRY_H

#include <stdint.h>

#include "StationWindows.h"

namespace station {

// Where "Status" lives: HKEY_LOCAL_MACHINE and the station's key in the program; tests point
// it elsewhere.
struct StatusKey {
  HKEY root;
  const char* path;
};

StatusKey StationStatusKey();

// Creates the key, or opens it if it exists, and closes it again; false on failure.
bool CreateStatusKey(const StatusKey& key);

// Opens the existing key with full access; empty on failure.
UniqueKey OpenStatusKey(const StatusKey& key);

// Writes "Status" as a 4-byte REG_DWORD into an open key; false on failure.
bool WriteStatus(HKEY openKey, uint32_t status);

// Opens the key, writes "Status" and closes it; false when the key cannot be opened or written.
bool WriteStatus(const StatusKey& key, uint32_t status);

// Reads "Status"; false when the key or the value is missing or is no REG_DWORD.
bool ReadStatus(const StatusKey& key, uint32_t* status);

}  // namespace station

#endif  // STATION_STATUSREGISTRY_H
