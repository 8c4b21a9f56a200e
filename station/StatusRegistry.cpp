#include "StatusRegistry.h"

#include "StationProtocol.h"

namespace station {

StatusKey StationStatusKey() { return StatusKey{HKEY_LOCAL_MACHINE, kStatusKeyPath}; }

// The station only sets values: asking for more would fail on a key whose owner granted just that.
constexpr REGSAM kStationRights = KEY_SET_VALUE;

bool CreateStatusKey(const StatusKey& key) {
  UniqueKey created;
  DWORD disposition = 0;
  return RegCreateKeyExA(key.root, key.path, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                         kStationRights, nullptr, created.put(), &disposition) == ERROR_SUCCESS;
}

UniqueKey OpenStatusKey(const StatusKey& key) {
  UniqueKey opened;
  if (RegOpenKeyExA(key.root, key.path, 0, kStationRights, opened.put()) != ERROR_SUCCESS)
    opened.release();
  return opened;
}

bool WriteStatus(HKEY openKey, uint32_t status) {
  const DWORD value = status;
  return RegSetValueExA(openKey, kStatusValueName, 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&value), sizeof value) == ERROR_SUCCESS;
}

bool WriteStatus(const StatusKey& key, uint32_t status) {
  UniqueKey opened = OpenStatusKey(key);
  return opened && WriteStatus(opened.get(), status);
}

bool WriteOutcomes(HKEY openKey, const OutcomeRecord* records, int count) {
  BYTE bytes[kOutcomeRecords * 8] = {};
  if (count < 0) count = 0;
  if (count > kOutcomeRecords) count = kOutcomeRecords;
  for (int i = 0; i < count; ++i)
    for (int b = 0; b < 4; ++b) {
      bytes[i * 8 + b] = static_cast<BYTE>(records[i].serial >> (8 * b));
      bytes[i * 8 + 4 + b] = static_cast<BYTE>(records[i].status >> (8 * b));
    }
  return RegSetValueExA(openKey, kOutcomesValueName, 0, REG_BINARY, bytes, static_cast<DWORD>(count * 8)) ==
         ERROR_SUCCESS;
}

OutcomeRead ReadOutcome(const StatusKey& key, uint32_t serial, uint32_t* status) {
  UniqueKey opened;
  if (RegOpenKeyExA(key.root, key.path, 0, KEY_QUERY_VALUE, opened.put()) != ERROR_SUCCESS) {
    opened.release();
    return OutcomeRead::Unreadable;
  }
  BYTE bytes[kOutcomeRecords * 8 + 8] = {};
  DWORD type = 0;
  DWORD size = sizeof bytes;
  if (RegQueryValueExA(opened.get(), kOutcomesValueName, nullptr, &type, bytes, &size) != ERROR_SUCCESS ||
      type != REG_BINARY)
    return OutcomeRead::Unreadable;
  for (DWORD at = 0; at + 8 <= size; at += 8) {
    uint32_t recordSerial = 0, recordStatus = 0;
    for (int b = 0; b < 4; ++b) {
      recordSerial |= static_cast<uint32_t>(bytes[at + b]) << (8 * b);
      recordStatus |= static_cast<uint32_t>(bytes[at + 4 + b]) << (8 * b);
    }
    if (recordSerial == serial) {
      if (status) *status = recordStatus;
      return OutcomeRead::Found;
    }
  }
  return OutcomeRead::NotFound;
}

bool ReadStatus(const StatusKey& key, uint32_t* status) {
  if (!status) return false;
  UniqueKey opened;
  if (RegOpenKeyExA(key.root, key.path, 0, KEY_QUERY_VALUE, opened.put()) != ERROR_SUCCESS) {
    opened.release();
    return false;
  }
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(opened.get(), kStatusValueName, nullptr, &type,
                       reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return false;
  *status = value;
  return true;
}

}  // namespace station
