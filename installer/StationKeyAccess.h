// StationKeyAccess.h - the station's registry key as the installer makes it: created in the
// 32-bit view (the station is a 32-bit program), with "Set Value" granted to the group whose
// members run the station, and removed again on uninstall.
#ifndef INSTALLER_STATIONKEYACCESS_H
#define INSTALLER_STATIONKEYACCESS_H

#include <string>
#include <vector>

#include "SetupWindows.h"

namespace setup {

// The local Users group, named by its well-known SID so that it is found in every language.
constexpr const wchar_t* kUsersGroup = L"S-1-5-32-545";

// The SID of a group (or account) given as a SID string ("S-1-5-32-545") or as a name
// ("Robot operators", "DOMAIN\Robot operators"); empty when it names nothing, with the system's
// reason in why.
std::vector<BYTE> ResolveGroup(const std::wstring& group, DWORD* why);

// Creates the key if it is missing and grants the SID the right to set values in it, keeping
// every other entry of its access list. 0 or the system's error code.
DWORD GrantSetValue(const std::vector<BYTE>& sid);

// Removes the key with its values, then its vendor key if nothing else is left in it.
// 0 (also when the key was not there) or the system's error code.
DWORD RemoveStationKey();

}  // namespace setup

#endif  // INSTALLER_STATIONKEYACCESS_H
