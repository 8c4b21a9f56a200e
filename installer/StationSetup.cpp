// The installer's custom actions (StationSetup.dll, one build per bitness: the package picks the
// one this Windows runs). Each answers ERROR_SUCCESS or ERROR_INSTALL_FAILURE and says why in the
// installer's own message, which a quiet install writes to its log.
#include "SetupWindows.h"

#include <msi.h>
#include <msiquery.h>

#include <string>

#include "StationKeyAccess.h"
#include "StationWindow.h"

namespace {

// Parking a real robot takes tens of seconds.
constexpr DWORD kStationCloseMs = 120000;
constexpr const wchar_t* kRobotLibrary = L"VTROBOTS20.DLL";

// The two-call pattern of the MSI text getters: ask for the length, then fill the text.
template <typename Getter>
std::wstring MsiText(MSIHANDLE install, const wchar_t* name, Getter get) {
  DWORD length = 0;
  wchar_t none[1] = {};
  if (get(install, name, none, &length) != ERROR_MORE_DATA) return std::wstring();
  std::wstring text(++length, L'\0');
  if (get(install, name, &text[0], &length) != ERROR_SUCCESS) return std::wstring();
  text.resize(length);
  return text;
}

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
  return MsiText(install, name, MsiGetPropertyW);
}

std::wstring TargetPath(MSIHANDLE install, const wchar_t* folder) {
  return MsiText(install, folder, MsiGetTargetPathW);
}

// kind: INSTALLMESSAGE_ERROR for a failure, INSTALLMESSAGE_USER for information.
void Tell(MSIHANDLE install, INSTALLMESSAGE kind, const std::wstring& text) {
  const MSIHANDLE record = MsiCreateRecord(1);
  if (!record) return;
  MsiRecordSetStringW(record, 0, L"[1]");
  MsiRecordSetStringW(record, 1, text.c_str());
  const UINT icon = kind == INSTALLMESSAGE_ERROR ? MB_ICONERROR : MB_ICONINFORMATION;
  MsiProcessMessage(install, static_cast<INSTALLMESSAGE>(kind | MB_OK | icon), record);
  MsiCloseHandle(record);
}

UINT Fail(MSIHANDLE install, const std::wstring& text) {
  Tell(install, INSTALLMESSAGE_ERROR, text);
  return ERROR_INSTALL_FAILURE;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// No exception may reach the installer: a step that runs out of memory fails the install.
template <class Step>
UINT Guarded(Step step) {
  try {
    return step();
  } catch (...) {
    return ERROR_INSTALL_FAILURE;
  }
}

}  // namespace

// Install and repair: a running station holds its files, and a second one would not start.
extern "C" UINT WINAPI RefuseRunningStation(MSIHANDLE install) {
  return Guarded([&] {
    if (!setup::FindStationWindow()) return UINT{ERROR_SUCCESS};
    return Fail(install, L"The Kelvora 2.2 station is running. Close its window (the robot is parked), "
                         L"then run the installer again.");
  });
}

// Uninstall: the station ends through its own close sequence, which parks the robot.
extern "C" UINT WINAPI CloseRunningStation(MSIHANDLE install) {
  return Guarded([&] {
    if (setup::CloseStation(kStationCloseMs) != setup::StationClose::StillRunning) return UINT{ERROR_SUCCESS};
    return Fail(install, L"The Kelvora 2.2 station did not end within two minutes of being asked to close. "
                         L"Close its window, then uninstall again.");
  });
}

// The simulator answers every robot call with success: beside a real robot library it would
// stand in for the robot.
extern "C" UINT WINAPI RefuseSimulatorBesideRobotLibrary(MSIHANDLE install) {
  return Guarded([&] {
    const std::wstring folder = TargetPath(install, L"INSTALLDIR");
    if (folder.empty() || !FileExists(folder + kRobotLibrary)) return UINT{ERROR_SUCCESS};
    return Fail(install, L"A robot-control library VTROBOTS20.DLL is already in " + folder +
                             L". The robot simulator is never installed beside a real robot library: "
                             L"install without the Simulator feature.");
  });
}

// After the install: the station cannot start without the robot maker's library beside it.
extern "C" UINT WINAPI TellWhereRobotLibraryGoes(MSIHANDLE install) {
  return Guarded([&] {
    const std::wstring folder = TargetPath(install, L"INSTALLDIR");
    if (!folder.empty() && !FileExists(folder + kRobotLibrary)) {
      Tell(install, INSTALLMESSAGE_USER,
           L"The station needs the robot maker's robot-control library VTROBOTS20.DLL. Copy it into " + folder +
               L" (beside Pickwell.exe) before you start the station.");
    }
    return UINT{ERROR_SUCCESS};
  });
}

// Deferred, with the installer's own rights. CustomActionData: the group (name or SID) whose
// members run the station; empty for the local Users group.
extern "C" UINT WINAPI GrantStationKey(MSIHANDLE install) {
  return Guarded([&] {
    std::wstring group = Property(install, L"CustomActionData");
    if (group.empty()) group = setup::kUsersGroup;
    DWORD why = 0;
    const std::vector<BYTE> sid = setup::ResolveGroup(group, &why);
    if (sid.empty()) {
      return Fail(install, L"The group \"" + group + L"\" (STATIONUSERS) is not known to this computer (error " +
                               std::to_wstring(why) + L").");
    }
    const DWORD status = setup::GrantSetValue(sid);
    if (status == ERROR_SUCCESS) return UINT{ERROR_SUCCESS};
    return Fail(install, L"The station's registry key HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantrel Systems\\Kelvora "
                         L"could not be created or its rights set (error " + std::to_wstring(status) + L").");
  });
}

// Deferred, on uninstall unless KEEPSTATIONKEY is set.
extern "C" UINT WINAPI RemoveStationKey(MSIHANDLE install) {
  return Guarded([&] {
    const DWORD status = setup::RemoveStationKey();
    if (status == ERROR_SUCCESS) return UINT{ERROR_SUCCESS};
    return Fail(install, L"The station's registry key could not be removed (error " + std::to_wstring(status) + L").");
  });
}
