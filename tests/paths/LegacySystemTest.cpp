// On systems outside the NT family the layer binds no wide calls and resolves and enumerates
// through the narrow ones: once through a faked version word in this process, and once for real
// in a child program that Wine runs as an old non-NT version.
#include <gtest/gtest.h>

#include <string>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/Windows/CPortableFullPathApi.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "PathTestHelpers.h"
#include "ProcessStart.h"
#include "TestSupport.h"

namespace {

DWORD WINAPI OldVersionWord() { return 0xC0000A04; }  // 4.10 with the non-NT bit

// Drops the process-wide bindings so that the next use binds for the system now presented.
struct RebindAround {
  RebindAround() { Rebind(); }
  ~RebindAround() { Rebind(); }
  static void Rebind() {
    CPortableFullPathApi::Release();
  }
};

TEST(LegacySystem, UsesTheNarrowCallsWhenTheVersionWordIsNotNT) {
  testsupport::TempDir dir("legacy");
  ASSERT_TRUE(dir.WriteFile("one.txt", "1"));
  ASSERT_TRUE(dir.WriteFile("two.txt", "22"));
  ASSERT_TRUE(dir.MakeDir("sub"));
  {
    orin::FileSystemCalls calls = orin::Sys();
    calls.GetVersion = &OldVersionWord;
    orin::ScopedFileSystemCalls oldSystem(calls);
    RebindAround rebind;
    pathtest::NarrowCallCounter counter;
    ASSERT_EQ(0, IsWindowsNT());
    const CPortablePath directory((dir.Path() + "\\sub\\..\\").c_str(), 4);
    EXPECT_EQ(dir.Path(), directory.GetText());
    EXPECT_EQ(nullptr, CPortableFullPathApi::Instance()->WideEntry());
    EXPECT_EQ(nullptr, orin::Sys().FindFirstFileW);
    EXPECT_EQ(nullptr, orin::Sys().FindNextFileW);
    EXPECT_EQ((std::multiset<std::string>{"one.txt", "two.txt", "sub"}),
              pathtest::TakeNames(directory.Find("*", 0, 0, 0, 2)));
    EXPECT_GE(pathtest::NarrowCallCounter::fullPath, 1);
    EXPECT_EQ(1, pathtest::NarrowCallCounter::findFirst);
    EXPECT_GE(pathtest::NarrowCallCounter::findNext, 3);
  }
  // Back on the real system the wide calls are bound again.
  EXPECT_NE(nullptr, CPortableFullPathApi::Instance()->WideEntry());
  orin::BindWideEntries();
  EXPECT_NE(nullptr, orin::Sys().FindFirstFileW);
}

// Wine takes the version a program sees from its per-program settings.
bool PresentAsOldSystem(const char* exeName) {
  const std::string key = std::string("Software\\Wine\\AppDefaults\\") + exeName;
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  orin::UniqueRegistryKey owner(handle);
  static const char kVersion[] = "win98";
  return RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(kVersion), sizeof kVersion) ==
         ERROR_SUCCESS;
}

TEST(LegacySystem, AProgramRunAsAnOldSystemResolvesAndEnumeratesThroughTheNarrowCalls) {
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) {
    GTEST_SKIP() << "per-program system versions are a Wine setting";
  }
  ASSERT_TRUE(PresentAsOldSystem("paths_legacy_probe.exe"));
  testsupport::TempDir dir("legacy");
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(dir.WriteFile("f" + std::to_string(i) + ".txt", "x"));

  testsupport::StartedProcess probe = testsupport::StartProcess(
      "\"" + testsupport::ExeDirectory() + "paths_legacy_probe.exe\" \"" + dir.Path() + "\" 5");
  ASSERT_TRUE(probe) << "paths_legacy_probe.exe not started: " << probe.Failure();
  DWORD exitCode = 1;
  ASSERT_TRUE(probe.Wait(120000, &exitCode)) << "the probe did not finish";
  EXPECT_EQ(0u, exitCode) << "10: still NT, 11: wide entries bound, 12: wrong listing, 13: narrow calls missing";
}

}  // namespace
