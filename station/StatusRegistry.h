// StatusRegistry.h - the registry key that carries "Status" to the host.
#ifndef STATION_STATUSREGISTRY_H
#define STATION_STATUSREGISTRY_H

#include <stdint.h>

#include "StationProtocol.h"
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

// Opens the existing key with the right to set values, all the station needs; empty on failure.
UniqueKey OpenStatusKey(const StatusKey& key);

// Writes "Status" as a 4-byte REG_DWORD into an open key; false on failure.
bool WriteStatus(HKEY openKey, uint32_t status);

// Opens the key, writes "Status" and closes it; false when the key cannot be opened or written.
bool WriteStatus(const StatusKey& key, uint32_t status);

// Writes "Outcomes" (at most kOutcomeRecords records, newest first) into an open key.
bool WriteOutcomes(HKEY openKey, const OutcomeRecord* records, int count);

enum class OutcomeRead { Found, NotFound, Unreadable };
// Looks for the command with this serial in "Outcomes": Unreadable when the key or the value is
// missing, NotFound when later commands have pushed it out.
OutcomeRead ReadOutcome(const StatusKey& key, uint32_t serial, uint32_t* status);

// Reads "Status"; false when the key or the value is missing or is no REG_DWORD.
bool ReadStatus(const StatusKey& key, uint32_t* status);

}  // namespace station

#endif  // STATION_STATUSREGISTRY_H
