#include "StationKeyAccess.h"

#include <aclapi.h>
#include <sddl.h>

#include "station/StationProtocol.h"

namespace setup {
namespace {

// A 64-bit custom action reaches the 32-bit view only when asked; 32-bit Windows ignores the flag.
constexpr REGSAM kStationView = KEY_WOW64_32KEY;
constexpr const char* kVendorKeyPath = "SOFTWARE\\Vantrel Systems";
constexpr const char* kStationKeyName = "Kelvora";

struct LocalMemoryTraits {
  using Type = HLOCAL;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { LocalFree(h); }
};
using UniqueLocal = orin::UniqueHandle<LocalMemoryTraits>;

std::vector<BYTE> CopySid(PSID sid) {
  const BYTE* bytes = static_cast<const BYTE*>(sid);
  return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

}  // namespace

std::vector<BYTE> ResolveGroup(const std::wstring& group, DWORD* why) {
  *why = ERROR_NONE_MAPPED;
  if (group.empty()) return {};
  PSID converted = nullptr;
  if (group.compare(0, 2, L"S-") == 0 && ConvertStringSidToSidW(group.c_str(), &converted)) {
    UniqueLocal owner(converted);
    return CopySid(converted);
  }
  DWORD sidSize = 0, domainSize = 0;
  SID_NAME_USE use;
  LookupAccountNameW(nullptr, group.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
  if (sidSize == 0) {
    *why = GetLastError();
    return {};
  }
  std::vector<BYTE> sid(sidSize);
  std::wstring domain(domainSize + 1, L'\0');
  if (!LookupAccountNameW(nullptr, group.c_str(), sid.data(), &sidSize, &domain[0], &domainSize, &use)) {
    *why = GetLastError();
    return {};
  }
  return sid;
}

DWORD GrantSetValue(const std::vector<BYTE>& sid) {
  if (sid.empty() || !IsValidSid(const_cast<BYTE*>(sid.data()))) return ERROR_INVALID_SID;
  station::UniqueKey key;
  DWORD status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, station::kStatusKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 READ_CONTROL | WRITE_DAC | kStationView, nullptr, key.put(), nullptr);
  if (status != ERROR_SUCCESS) {
    key.release();
    return status;
  }
  PACL current = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  status = GetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &current,
                           nullptr, &descriptor);
  if (status != ERROR_SUCCESS) return status;
  UniqueLocal descriptorOwner(descriptor);

  // Only "Set Value": reading the key is already every user's right through HKLM\SOFTWARE.
  EXPLICIT_ACCESSW grant = {};
  grant.grfAccessPermissions = KEY_SET_VALUE;
  grant.grfAccessMode = GRANT_ACCESS;
  grant.grfInheritance = NO_INHERITANCE;
  grant.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  grant.Trustee.TrusteeType = TRUSTEE_IS_UNKNOWN;  // a group or an account
  grant.Trustee.ptstrName = reinterpret_cast<LPWSTR>(const_cast<BYTE*>(sid.data()));
  PACL merged = nullptr;
  status = SetEntriesInAclW(1, &grant, current, &merged);
  if (status != ERROR_SUCCESS) return status;
  UniqueLocal mergedOwner(merged);
  return SetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, merged, nullptr);
}

DWORD RemoveStationKey() {
  station::UniqueKey vendor;
  DWORD status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVendorKeyPath, 0, KEY_READ | KEY_WRITE | DELETE | kStationView,
                               vendor.put());
  if (status != ERROR_SUCCESS) {
    vendor.release();
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
  }
  status = RegDeleteTreeA(vendor.get(), kStationKeyName);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return status;
  // The vendor key goes only when the station's key was all it held.
  DWORD subKeys = 1, values = 1;
  if (RegQueryInfoKeyA(vendor.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
      subKeys != 0 || values != 0)
    return ERROR_SUCCESS;
  vendor.reset();
  status = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kVendorKeyPath, kStationView, 0);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace setup
