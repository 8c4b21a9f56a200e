// The station's installer as IT runs it: a quiet install with every feature; the files in the
// 32-bit program-files folder, the uninstall entry, the shortcuts, the key in the 32-bit view
// and its "Set Value" for Users; where 32-bit programs run, the installed station beside the
// installed simulator taking a load from the installed sender; then a quiet uninstall while the
// station runs, which parks the robot and leaves nothing behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ProcessStart.h"
#include "StationProtocol.h"
#include "StationWindows.h"
#include "TestSupport.h"

#include <aclapi.h>
#include <msi.h>
#include <sddl.h>
#include <shlobj.h>

namespace {

constexpr unsigned kPatienceMs = 180000;
constexpr const char* kUpgradeCode = "{6D3B1C52-8E0A-4F5B-9C61-2A7E4D9B0F13}";
constexpr const char* kShortcut = "Kelvora station.lnk";

std::string Installer() {
  const char* path = std::getenv("ORIN_STATION_INSTALLER");
  return path ? path : "";
}

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

// The 32-bit program-files folder: "Program Files (x86)" on 64-bit Windows.
std::string InstallFolder() {
  std::string base = Folder(CSIDL_PROGRAM_FILESX86);
  if (base.empty()) base = Folder(CSIDL_PROGRAM_FILES);
  return base + "\\Kelvora\\";
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Wine puts a per-machine package's shortcuts into the user's menus; Windows into all users'.
bool ShortcutIn(int commonCsidl, int userCsidl, const std::string& name) {
  return Exists(Folder(commonCsidl) + "\\" + name) || Exists(Folder(userCsidl) + "\\" + name);
}

std::string ProductCode() {
  char code[39] = {};
  return MsiEnumRelatedProductsA(kUpgradeCode, 0, 0, code) == ERROR_SUCCESS ? code : "";
}

// A 32-bit package's entry lies in the 32-bit view.
std::string UninstallEntryName(const std::string& productCode) {
  const std::string path = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + productCode;
  char name[256] = {};
  DWORD size = sizeof name;
  if (productCode.empty() ||
      RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), "DisplayName", RRF_RT_REG_SZ | RRF_SUBKEY_WOW6432KEY, nullptr,
                   name, &size) != ERROR_SUCCESS)
    return "";
  return name;
}

station::UniqueKey OpenKey(const char* path, REGSAM rights) {
  station::UniqueKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, rights | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS) key.release();
  return key;
}

// True when the key's access list lets the local Users group (S-1-5-32-545) set values.
bool UsersMaySetValues() {
  station::UniqueKey key = OpenKey(station::kStatusKeyPath, READ_CONTROL);
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!key || GetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  PSID users = nullptr;
  ConvertStringSidToSidA("S-1-5-32-545", &users);
  bool granted = false;
  for (DWORD i = 0; dacl && users && i < dacl->AceCount && !granted; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    granted = EqualSid(&ace->SidStart, users) && (ace->Mask & KEY_SET_VALUE);
  }
  LocalFree(users);
  LocalFree(descriptor);
  return granted;
}

// msiexec's exit code, or -1 when it did not end in time.
long Msiexec(const std::string& arguments, const testsupport::TempDir& logs, const char* log) {
  testsupport::StartedProcess msiexec =
      testsupport::StartProcess("msiexec.exe " + arguments + " /qn /l*v \"" + logs.Join(log) + "\"");
  if (!msiexec) {
    ADD_FAILURE() << "msiexec not started: " << msiexec.Failure();
    return -1;
  }
  DWORD code = 0;
  return msiexec.Wait(kPatienceMs, &code) ? static_cast<long>(code) : -1;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// 32-bit programs run in a 32-bit test; in a 64-bit one, when the installed 32-bit sender starts
// and answers a bare start with its usage code.
bool ThirtyTwoBitProgramsRun(const std::string& sender, const testsupport::TempDir& logs) {
  if (sizeof(void*) == 4) return true;
  testsupport::StartedProcess probe = testsupport::StartProcess(Quoted(sender), {"", logs.Join("probe.txt")});
  DWORD code = 0;
  return probe && probe.Wait(kPatienceMs, &code) && code == 4;
}

bool WaitFor(unsigned timeoutMs, bool (*done)()) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

bool StationWindowShown() { return FindWindowA(station::kWindowClass, station::kWindowTitle) != nullptr; }

// Whatever a failed step left behind goes, so that no other test meets a station or the key.
struct LeaveNothing {
  explicit LeaveNothing(const testsupport::TempDir& logs) : logs(logs) {}
  ~LeaveNothing() {
    const std::string code = ProductCode();
    if (!code.empty() && Msiexec("/x " + code, logs, "cleanup.log") != 0) ADD_FAILURE() << "the cleanup failed";
  }
  const testsupport::TempDir& logs;
};

}  // namespace

TEST(StationInstaller, InstallsRunsAndUninstallsLeavingNothing) {
  const std::string msi = Installer();
  ASSERT_TRUE(Exists(msi)) << "no installer at ORIN_STATION_INSTALLER=" << msi;
  ASSERT_FALSE(StationWindowShown()) << "a station is running already";
  testsupport::TempDir logs("installer");
  if (!ProductCode().empty()) {
    ASSERT_EQ(0, Msiexec("/x " + ProductCode(), logs, "leftover.log")) << "a leftover install could not be removed";
  }
  LeaveNothing cleanup(logs);

  ASSERT_EQ(0, Msiexec("/i " + Quoted(msi) + " ADDLOCAL=ALL", logs, "install.log"))
      << testsupport::ReadWholeFile(logs.Join("install.log"));
  const std::string folder = InstallFolder();
  for (const char* file : {"Pickwell.exe", "pickwell-send.exe", "VTROBOTS20.DLL", "VTROBOTS20.INI"}) {
    EXPECT_TRUE(Exists(folder + file)) << folder << file;
  }
  const std::string productCode = ProductCode();
  EXPECT_EQ("Kelvora robot station", UninstallEntryName(productCode));
  EXPECT_TRUE(ShortcutIn(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS, std::string("Kelvora\\") + kShortcut));
  EXPECT_TRUE(ShortcutIn(CSIDL_COMMON_STARTUP, CSIDL_STARTUP, kShortcut));
  EXPECT_TRUE(UsersMaySetValues());

  const bool stationRuns = ThirtyTwoBitProgramsRun(folder + "pickwell-send.exe", logs);
  testsupport::StartedProcess station;
  if (stationRuns) {
    // The simulator logs to our folder, so that the log outlives the uninstall.
    const std::string log = logs.Join("sim.log");
    testsupport::TempDir ini("ini");
    ASSERT_TRUE(ini.WriteFile("VTROBOTS20.INI", "[Delays]\r\nLoadMs=100\r\n[Log]\r\nFile=" + log + "\r\n"));
    ASSERT_TRUE(CopyFileA(ini.Join("VTROBOTS20.INI").c_str(), (folder + "VTROBOTS20.INI").c_str(), FALSE));
    station = testsupport::StartProcess(Quoted(folder + "Pickwell.exe"), {folder.substr(0, folder.size() - 1), ""});
    ASSERT_TRUE(station) << station.Failure();
    ASSERT_TRUE(WaitFor(kPatienceMs, StationWindowShown));
    testsupport::StartedProcess sender = testsupport::StartProcess(Quoted(folder + "pickwell-send.exe") + " load");
    DWORD sent = 99;
    EXPECT_TRUE(sender && sender.Wait(kPatienceMs, &sent) && sent == 0) << "pickwell-send load: " << sent;

    EXPECT_EQ(0, Msiexec("/x " + Quoted(msi), logs, "uninstall.log"))
        << testsupport::ReadWholeFile(logs.Join("uninstall.log"));
    EXPECT_TRUE(station.Wait(0)) << "the uninstall left the station running";
    EXPECT_NE(std::string::npos, testsupport::ReadWholeFile(log).find("VT_Robots_Park("))
        << testsupport::ReadWholeFile(log);
  } else {
    EXPECT_EQ(0, Msiexec("/x " + Quoted(msi), logs, "uninstall.log"));
  }

  EXPECT_FALSE(Exists(folder));
  EXPECT_EQ("", ProductCode());
  EXPECT_EQ("", UninstallEntryName(productCode));
  EXPECT_FALSE(ShortcutIn(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS, "Kelvora"));
  EXPECT_FALSE(ShortcutIn(CSIDL_COMMON_STARTUP, CSIDL_STARTUP, kShortcut));
  EXPECT_FALSE(OpenKey(station::kStatusKeyPath, KEY_READ));
  EXPECT_FALSE(OpenKey("SOFTWARE\\Vantrel Systems", KEY_READ));
  if (!stationRuns) {
    GTEST_SKIP() << "32-bit programs do not run on this machine: the installed station, simulator and "
                    "sender were not started (the 32-bit suite runs them)";
  }
}
