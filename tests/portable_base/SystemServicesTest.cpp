// System services: version and locale answers through the query seam (both answers of each),
// real answers from the running system (the ctest entries start this program under several
// locales and say what to expect), a child presented as an older non-NT Windows, error texts,
// memory figures, and profile folders whose names the code page may not spell.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ProcessStart.h"
#include "TestSupport.h"

namespace {

struct FakeSystem {
  static DWORD version;
  static LANGID language;
  static int codePage;
  static int doubleByte;
  static int languageReads;

  static DWORD WINAPI Version() { return version; }
  static LANGID WINAPI Language() {
    ++languageReads;
    return language;
  }
  static BOOL WINAPI CodePageInfo(UINT, LPCPINFO info) {
    info->MaxCharSize = doubleByte ? 2 : 1;
    return TRUE;
  }
  static orin::FileSystemCalls Queries() {
    orin::FileSystemCalls calls = orin::Sys();
    calls.GetVersion = &Version;
    calls.GetSystemDefaultLangID = &Language;
    calls.crtGetmbcp = []() { return codePage; };
    calls.GetCPInfo = &CodePageInfo;
    return calls;
  }
};
DWORD FakeSystem::version = 0;
LANGID FakeSystem::language = 0x0409;
int FakeSystem::codePage = 1252;
int FakeSystem::doubleByte = 0;
int FakeSystem::languageReads = 0;

TEST(SystemVersion, SplitsTheVersionWordAndTellsTheNtFamily) {
  const orin::ScopedFileSystemCalls fake(FakeSystem::Queries());
  const struct {
    DWORD version;
    int32_t major, minor, nt;
  } rows[] = {
      {0x0A280105, 5, 1, 1},  // 5.1, build 2600
      {0x1DB10106, 6, 1, 1},
      {0xC0000A04, 4, 10, 0},  // 4.10 with bit 31 set
      {0x80000004, 4, 0, 0},
      {0x7FFFFFFF, 0xFF, 0xFF, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.version);
    FakeSystem::version = row.version;
    int32_t major = -1, minor = -1;
    EXPECT_EQ(row.version, GetOSVersion(&major, &minor));
    EXPECT_EQ(row.major, major);
    EXPECT_EQ(row.minor, minor);
    EXPECT_EQ(row.nt, IsWindowsNT());
    EXPECT_EQ(row.version, GetOSVersion(nullptr, nullptr));
  }
}

TEST(SystemLocale, SpecialForDoubleByteCodePagesAndGreekRussianThai) {
  const orin::ScopedFileSystemCalls fake(FakeSystem::Queries());
  const struct {
    int codePage, doubleByte;
    LANGID language;
    int32_t special;
  } rows[] = {
      {1252, 0, 0x0409, 0}, {1251, 0, 0x0419, 1}, {1253, 0, 0x0408, 1}, {874, 0, 0x041E, 1},
      {1252, 0, 0x0809, 0}, {1251, 0, 0x0422, 0},  // Ukrainian is not on the list
      {932, 1, 0x0411, 1},  {936, 1, 0x0409, 1},  {0, 0, 0x0407, 0},
      {1252, 0, 0x0819, 1},  // Russian (Moldova): only the primary language counts
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.codePage) + " / " + std::to_string(row.language));
    FakeSystem::codePage = row.codePage;
    FakeSystem::doubleByte = row.doubleByte;
    FakeSystem::language = row.language;
    FakeSystem::languageReads = 0;
    EXPECT_EQ(row.special, IsSpecialCodePageLocale());
    EXPECT_EQ(row.doubleByte ? 0 : 1, FakeSystem::languageReads);  // double-byte answers first
  }
}

TEST(SystemQueriesSeam, RestoresTheRealQueries) {
  {
    const orin::ScopedFileSystemCalls fake(FakeSystem::Queries());
    EXPECT_NE(orin::RealFileSystemCalls().GetVersion, orin::Sys().GetVersion);
  }
  EXPECT_EQ(orin::RealFileSystemCalls().GetVersion, orin::Sys().GetVersion);
}

// The ctest entry names the locale it started this program under.
TEST(SystemLocaleReal, MatchesTheLocaleThisProgramRunsUnder) {
  const char* codePage = std::getenv("EXPECTED_ANSI_CODE_PAGE");
  const char* special = std::getenv("EXPECTED_SPECIAL_LOCALE");
  if (codePage == nullptr || special == nullptr) GTEST_SKIP() << "started without expectations";
  ASSERT_EQ(static_cast<UINT>(std::atoi(codePage)), GetACP()) << "the locale did not take effect";
  EXPECT_EQ(std::atoi(special), IsSpecialCodePageLocale());
}

// A profile like "C:\users\Jürgen Ölmann", its Temp handed out through TMP and TEMP and its
// Documents through the user's shell-folder setting. Code page 932 has no ü or Ö: there the
// system's own narrow spelling names a folder that does not exist.
class ProfileFolders {
 public:
  ProfileFolders() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    ::GetEnvironmentVariableW(L"TMP", savedTmp_, MAX_PATH);
    ::GetEnvironmentVariableW(L"TEMP", savedTemp_, MAX_PATH);
    profile = temp + (L"J\u00fcrgen \u00d6lmann " + std::to_wstring(::GetCurrentProcessId()));
    made = ::CreateDirectoryW(profile.c_str(), nullptr) && ::CreateDirectoryW(Temp().c_str(), nullptr) &&
           ::CreateDirectoryW(Documents().c_str(), nullptr) &&
           ::SetEnvironmentVariableW(L"TMP", Temp().c_str()) && ::SetEnvironmentVariableW(L"TEMP", Temp().c_str());
    ::RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
    DWORD size = sizeof savedPersonal_;
    if (::RegQueryValueExW(key_, L"Personal", nullptr, &personalType_, savedPersonal_, &size) == ERROR_SUCCESS) {
      personalSize_ = size;  // only a setting we can put back is changed
      const std::wstring documents = Documents();
      made = made && ::RegSetValueExW(key_, L"Personal", 0, REG_SZ, reinterpret_cast<const BYTE*>(documents.c_str()),
                                      DWORD((documents.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    } else {
      made = false;
    }
  }
  ~ProfileFolders() {
    if (personalSize_ > 0) ::RegSetValueExW(key_, L"Personal", 0, personalType_, savedPersonal_, personalSize_);
    ::RegCloseKey(key_);
    ::SetEnvironmentVariableW(L"TMP", savedTmp_[0] ? savedTmp_ : nullptr);
    ::SetEnvironmentVariableW(L"TEMP", savedTemp_[0] ? savedTemp_ : nullptr);
    ::RemoveDirectoryW(Temp().c_str());
    ::RemoveDirectoryW(Documents().c_str());
    ::RemoveDirectoryW(profile.c_str());
  }
  std::wstring Temp() const { return profile + L"\\Temp"; }
  std::wstring Documents() const { return profile + L"\\Documents"; }

  std::wstring profile;
  bool made = false;

 private:
  static constexpr const wchar_t* kShellFolders =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  wchar_t savedTmp_[MAX_PATH + 1] = {}, savedTemp_[MAX_PATH + 1] = {};
  HKEY key_ = nullptr;
  DWORD personalType_ = REG_SZ, personalSize_ = 0;
  BYTE savedPersonal_[2048] = {};
};

// True when a file made through the narrow path shows up in the folder named in wide.
bool ReachesFolder(std::string narrow, const std::wstring& wide) {
  if (narrow.empty() || narrow.back() != '\\') narrow += '\\';
  if (!orin::UniqueFileHandle(::CreateFileA((narrow + "x.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            0, nullptr)).valid()) {
    return false;
  }
  return ::DeleteFileW((wide + L"\\x.txt").c_str()) != FALSE;
}

DWORD WINAPI NoShortName(LPCWSTR, LPWSTR, DWORD) { return 0; }

TEST(SystemLocaleReal, ProfileFoldersAreHandedOutByANameThatReachesThem) {
  const ProfileFolders folders;
  ASSERT_TRUE(folders.made);
  BOOL lossy = FALSE;
  char spelled[1040] = {};
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, folders.profile.c_str(), -1, spelled, sizeof spelled,
                        nullptr, &lossy);
  SCOPED_TRACE(lossy ? "the code page cannot spell the profile" : spelled);

  const CPortableString temp = GetTempDirectory();
  CPortableString special, documents;
  EXPECT_EQ(1, GetSpecialFolder(PortableFolderTemp, &special));
  EXPECT_STREQ(temp.Text(), special.Text());
  ASSERT_EQ(1, GetSpecialFolder(PortableFolderDocuments, &documents));
  EXPECT_TRUE(ReachesFolder(temp.Text(), folders.Temp())) << temp.Text();
  EXPECT_TRUE(ReachesFolder(documents.Text(), folders.Documents())) << documents.Text();
  if (!lossy) {  // where the code page spells it: what the narrow calls say, not a short form
    char narrow[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof narrow, narrow);
    EXPECT_STREQ(narrow, temp.Text());
    LPITEMIDLIST items = nullptr;
    ASSERT_EQ(S_OK, ::SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &items));
    EXPECT_TRUE(::SHGetPathFromIDListA(items, narrow));
    ::CoTaskMemFree(items);
    EXPECT_STREQ(narrow, documents.Text());
    return;
  }

  // Without a short name no narrow path reaches the folder: no answer rather than a wrong one.
  orin::FileSystemCalls calls = orin::Sys();
  calls.GetShortPathNameW = &NoShortName;
  const orin::ScopedFileSystemCalls noShortNames(calls);
  special = "unchanged";
  EXPECT_EQ(0, GetSpecialFolder(PortableFolderTemp, &special));
  EXPECT_EQ(0, GetSpecialFolder(PortableFolderDocuments, &special));
  EXPECT_STREQ("unchanged", special.Text());
  EXPECT_STREQ("", GetTempDirectory().Text());
}

class PresentedWindowsVersion : public ::testing::Test {
 protected:
  static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\base_sysprobe.exe";

  void TearDown() override { ::RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

  static void Present(const char* version) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE,
                                               nullptr, &key, nullptr));
    orin::UniqueRegistryKey owned(key);
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                               static_cast<DWORD>(strlen(version) + 1)));
  }

  // Runs the probe and returns its exit code, or -1 (the test fails saying why).
  static int RunProbe() {
    testsupport::StartedProcess probe =
        testsupport::StartProcess("\"" + testsupport::ExeDirectory() + "base_sysprobe.exe\"");
    if (!probe) {
      ADD_FAILURE() << "base_sysprobe.exe not started: " << probe.Failure();
      return -1;
    }
    DWORD code = 0;
    if (!probe.Wait(120000, &code)) {
      ADD_FAILURE() << "base_sysprobe.exe did not finish";
      return -1;
    }
    return static_cast<int>(code);
  }
};

TEST_F(PresentedWindowsVersion, NonNtSystemIsToldApart) {
  Present("win98");
  const int answer = RunProbe();
  ASSERT_NE(-1, answer);
  EXPECT_EQ(0, answer & 1) << "IsWindowsNT";
  EXPECT_EQ(4, (answer >> 8) & 0xFF);
  EXPECT_EQ(10, (answer >> 16) & 0xFF);
  EXPECT_EQ(IsSpecialCodePageLocale(), (answer >> 1) & 1);
}

TEST_F(PresentedWindowsVersion, NtSystemIsToldApart) {
  Present("winxp");
  const int answer = RunProbe();
  ASSERT_NE(-1, answer);
  EXPECT_EQ(1, answer & 1) << "IsWindowsNT";
  EXPECT_EQ(5, (answer >> 8) & 0xFF);
  EXPECT_EQ(1, (answer >> 16) & 0xFF);
  EXPECT_EQ(IsSpecialCodePageLocale(), (answer >> 1) & 1);  // the child shares our locale
}

TEST(SystemErrorText, DescribesTheLastErrorOrIsEmpty) {
  const HANDLE file = ::CreateFileA("Z:\\no such folder\\no such file.txt", GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_EQ(INVALID_HANDLE_VALUE, file);
  const DWORD code = ::GetLastError();
  ASSERT_TRUE(code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) << code;
  ::SetLastError(ERROR_FILE_NOT_FOUND);
  const CPortableString text = GetLastErrorText();
  char expected[512] = {};
  ASSERT_NE(0u, ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                 ERROR_FILE_NOT_FOUND, 1024, expected, sizeof expected, nullptr));
  EXPECT_STREQ(expected, text.Text());
  EXPECT_GT(text.Length(), 0);

  ::SetLastError(0x2FFFFFFF);  // no message exists for it
  EXPECT_EQ(0, GetLastErrorText().Length());
}

TEST(SystemMemory, FiguresAreConsistent) {
  const uint32_t total = GetTotalPhysicalMemory();
  EXPECT_GT(total, 0u);
  EXPECT_LE(GetAvailablePhysicalMemory(), total);
  const double load = GetMemoryLoad();
  EXPECT_GE(load, 0.0);
  EXPECT_LE(load, 100.0);
  EXPECT_EQ(load, static_cast<double>(static_cast<int>(load)));
}

// A machine presented through the call table; what a SIZE_T cannot hold (the 32-bit flavour) is
// all ones, as the system reports it there.
uint64_t g_totalPhys = 0, g_availPhys = 0;
VOID WINAPI PresentedMemory(LPMEMORYSTATUS status) {
  status->dwMemoryLoad = 37;
  status->dwTotalPhys = static_cast<SIZE_T>(std::min<uint64_t>(g_totalPhys, SIZE_MAX));
  status->dwAvailPhys = static_cast<SIZE_T>(std::min<uint64_t>(g_availPhys, SIZE_MAX));
}

TEST(SystemMemory, FiguresTooLargeFor32BitsAreAllOnesNeverWrapped) {
  orin::FileSystemCalls calls = orin::Sys();
  calls.GlobalMemoryStatus = &PresentedMemory;
  const orin::ScopedFileSystemCalls presented(calls);
  constexpr uint64_t kGiB = 1ull << 30;
  const struct {
    uint64_t total, available;
    uint32_t expectedTotal, expectedAvailable;
  } rows[] = {
      {4 * kGiB - 1, 3 * kGiB, 0xFFFFFFFFu, 3u << 30},
      {4 * kGiB, 4 * kGiB - 1, 0xFFFFFFFFu, 0xFFFFFFFFu},
      {16 * kGiB, 6 * kGiB, 0xFFFFFFFFu, 0xFFFFFFFFu},  // wrapped: total 0, available 2 GiB
      {16 * kGiB, 2 * kGiB, 0xFFFFFFFFu, 2u << 30},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.total) + " / " + std::to_string(row.available));
    g_totalPhys = row.total;
    g_availPhys = row.available;
    EXPECT_EQ(row.expectedTotal, GetTotalPhysicalMemory());
    EXPECT_EQ(row.expectedAvailable, GetAvailablePhysicalMemory());
    EXPECT_EQ(37.0, GetMemoryLoad());
  }
}

TEST(SystemSleep, WaitsAboutTheTimeAsked) {
  const DWORD start = ::GetTickCount();
  SleepMilliseconds(60);
  EXPECT_GE(::GetTickCount() - start, 40u);
  SleepMilliseconds(0);
}

}  // namespace
