#include "StatusRegistry.h"

#include "StationProtocol.h"

namespace station {

StatusKey StationStatusKey() { return StatusKey{HKEY_LOCAL_MACHINE, kStatusKeyPath}; }

bool CreateStatusKey(const StatusKey& key) {
  UniqueKey created;
  DWORD disposition = 0;
  return RegCreateKeyExA(key.root, key.path, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                         KEY_ALL_ACCESS, nullptr, created.put(), &disposition) == ERROR_SUCCESS;
}

UniqueKey OpenStatusKey(const StatusKey& key) {
  UniqueKey opened;
  if (RegOpenKeyExA(key.root, key.path, 0, KEY_ALL_ACCESS, opened.put()) != ERROR_SUCCESS)
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
