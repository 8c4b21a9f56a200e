// Path parts, the current directory, the largest file a volume allows and the special folders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "PathTestHelpers.h"
#include "TestSupport.h"

namespace {

constexpr uint64_t kNoLargeFiles = 0xFFFFFFFFull;
constexpr uint64_t kLargest = 0x7FFFFFFFFFFFFFFFull;

TEST(PathParts, SplitFilesAndRecogniseDirectories) {
  testsupport::TempDir dir("parts");
  ASSERT_TRUE(dir.MakeDir("archive.d"));
  const std::string existing = dir.Join("archive.d");
  struct Row {
    std::string text;
    std::string directory, file, base, extension;
  };
  const std::vector<Row> rows = {
      {"C:\\dir\\archive.tar.gz", "C:\\dir", "archive.tar.gz", "archive.tar", ".gz"},
      {"C:\\dir.d\\file", "C:\\dir.d", "file", "file", ""},
      {"C:\\dir\\.profile", "C:\\dir", ".profile", "", ".profile"},
      {"C:\\dir\\trailing.", "C:\\dir", "trailing.", "trailing", "."},
      {"name.txt", "", "name.txt", "name", ".txt"},
      {existing, existing, "", "", ""},
      {"", "", "", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(row.directory, GetDirectoryPart(row.text.c_str()).Text());
    EXPECT_EQ(row.file, GetFilePart(row.text.c_str()).Text());
    EXPECT_EQ(row.base, GetBaseName(row.text.c_str()).Text());
    EXPECT_EQ(row.extension, GetExtension(row.text.c_str()).Text());
  }
  EXPECT_EQ(1, IsDirectoryPath(existing.c_str()));
  EXPECT_EQ(0, IsDirectoryPath(dir.Join("missing").c_str()));
  EXPECT_EQ(0, IsDirectoryPath(nullptr));
  EXPECT_STREQ("", GetExtension(nullptr).Text());
  EXPECT_STREQ("", GetDirectoryPart(nullptr).Text());
}

TEST(CurrentDirectory, ChangesAndReadsBack) {
  testsupport::TempDir dir("cwd");
  char saved[1040] = {};
  ASSERT_EQ(1, GetCurrentDirectoryText(sizeof saved, saved));
  ASSERT_EQ(1, ChangeDirectory(dir.Path().c_str()));
  char now[1040] = {};
  EXPECT_EQ(1, GetCurrentDirectoryText(sizeof now, now));
  EXPECT_EQ(dir.Path(), now);
  char tiny[4] = {};
  EXPECT_EQ(0, GetCurrentDirectoryText(sizeof tiny, tiny));
  EXPECT_EQ(0, GetCurrentDirectoryText(0, now));
  EXPECT_EQ(0, GetCurrentDirectoryText(sizeof now, nullptr));
  EXPECT_EQ(0, ChangeDirectory(dir.Join("missing").c_str()));
  EXPECT_EQ(0, ChangeDirectory(nullptr));
  EXPECT_EQ(1, ChangeDirectory(saved));
}

// A volume of the file system named in g_fileSystem; records the roots the calls receive.
std::string g_fileSystem;
UINT g_driveType = DRIVE_FIXED;
bool g_textRefused = true;
std::vector<std::string> g_volumeQueries, g_driveQueries;
UINT g_errorModeSeen = 0;

BOOL WINAPI FakeVolumeInformation(LPCSTR root, LPSTR, DWORD, LPDWORD, LPDWORD, LPDWORD, LPSTR fileSystem, DWORD size) {
  g_volumeQueries.push_back(root);
  g_errorModeSeen = GetErrorMode();
  const std::string text = root;
  if (g_fileSystem.empty() || (g_textRefused && text.size() > 3)) return FALSE;
  lstrcpynA(fileSystem, g_fileSystem.c_str(), size);
  return TRUE;
}

UINT WINAPI FakeDriveType(LPCSTR root) {
  g_driveQueries.push_back(root);
  return g_driveType;
}

class MaxFileSizeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_fileSystem.clear();
    g_driveType = DRIVE_FIXED;
    g_textRefused = true;
    g_volumeQueries.clear();
    g_driveQueries.clear();
  }
  orin::FileSystemCalls Faked() const {
    orin::FileSystemCalls calls = orin::Sys();
    calls.GetVolumeInformationA = &FakeVolumeInformation;
    calls.GetDriveTypeA = &FakeDriveType;
    return calls;
  }
};

TEST_F(MaxFileSizeTest, FollowsTheVolumesFileSystem) {
  struct Row {
    const char* fileSystem;
    int known;
    uint64_t size;
  };
  const Row rows[] = {
      {"NTFS", 1, kLargest},   {"ntfs", 1, kLargest},        {"FAT16", 1, 0x7FFFFFFF},
      {"FAT32", 1, 0xFFFFFFFF}, {"CDFS", 0, kNoLargeFiles},  {"UDF", 0, kNoLargeFiles},
      {"", 0, kNoLargeFiles},
  };
  orin::ScopedFileSystemCalls faked(Faked());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.fileSystem);
    g_fileSystem = row.fileSystem;
    g_volumeQueries.clear();
    g_driveQueries.clear();
    uint64_t size = 0;
    EXPECT_EQ(row.known, GetMaxFileSize("D:\\media\\disc.iso", &size));
    EXPECT_EQ(row.size, size);
    EXPECT_EQ(std::vector<std::string>{"D:\\"}, g_driveQueries);
    EXPECT_EQ((std::vector<std::string>{"D:\\media\\disc.iso", "D:\\"}), g_volumeQueries)
        << "the text first, then the volume's root without a doubled separator";
    EXPECT_EQ(static_cast<UINT>(SEM_FAILCRITICALERRORS), g_errorModeSeen);
  }
}

TEST_F(MaxFileSizeTest, NetworkPathsAndRemoteDrivesAllowTheLargestFiles) {
  orin::ScopedFileSystemCalls faked(Faked());
  uint64_t size = 0;
  EXPECT_EQ(1, GetMaxFileSize("\\\\server\\share\\x", &size));
  EXPECT_EQ(kLargest, size);
  EXPECT_TRUE(g_driveQueries.empty() && g_volumeQueries.empty()) << "a network path is answered without asking";

  g_driveType = DRIVE_REMOTE;
  size = 0;
  EXPECT_EQ(1, GetMaxFileSize("N:\\share\\x", &size));
  EXPECT_EQ(kLargest, size);
  EXPECT_TRUE(g_volumeQueries.empty());
}

TEST_F(MaxFileSizeTest, UnknownVolumesAndBadInput) {
  orin::ScopedFileSystemCalls faked(Faked());
  uint64_t size = 0;
  EXPECT_EQ(0, GetMaxFileSize("Q:\\nothing", &size));
  EXPECT_EQ(kNoLargeFiles, size);
  size = 0;
  EXPECT_EQ(0, GetMaxFileSize("", &size));
  EXPECT_EQ(kNoLargeFiles, size);
  EXPECT_EQ(0, GetMaxFileSize(nullptr, &size));
  EXPECT_EQ(0, GetMaxFileSize("C:\\", nullptr));
  g_fileSystem = "NTFS";
  g_textRefused = false;
  g_driveQueries.clear();
  EXPECT_EQ(1, GetMaxFileSize("C:\\", &size));
  EXPECT_EQ(kLargest, size);
  EXPECT_EQ(std::vector<std::string>{"C:\\"}, g_driveQueries);
}

TEST_F(MaxFileSizeTest, RealDriveAndErrorModeRestored) {
  const UINT before = SetErrorMode(SEM_NOGPFAULTERRORBOX);
  testsupport::TempDir dir("max");
  uint64_t size = 0;
  char fileSystem[64] = {};
  const std::string root = dir.Path().substr(0, 3);
  ASSERT_TRUE(GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem));
  const int answer = GetMaxFileSize(dir.Path().c_str(), &size);
  if (_stricmp(fileSystem, "NTFS") == 0) {
    EXPECT_EQ(1, answer);
    EXPECT_EQ(kLargest, size);
  }
  EXPECT_EQ(static_cast<UINT>(SEM_NOGPFAULTERRORBOX), SetErrorMode(before));
}

TEST(SpecialFolders, TempDocumentsRootAndNothingElse) {
  char temp[1040] = {};
  GetTempPathA(sizeof temp, temp);
  CPortableString folder;
  EXPECT_EQ(1, GetSpecialFolder(0, &folder));
  EXPECT_STREQ(temp, folder.Text());

  CPortableString documents;
  EXPECT_EQ(1, GetSpecialFolder(1, &documents));
  EXPECT_FALSE(documents.IsEmpty());
  EXPECT_EQ(1, IsDirectoryPath(documents.Text())) << documents.Text();

  EXPECT_EQ(1, GetSpecialFolder(2, &folder));
  EXPECT_STREQ("\\", folder.Text());

  folder = "unchanged";
  for (int32_t kind : {3, -1, 100}) {
    SCOPED_TRACE(kind);
    EXPECT_EQ(0, GetSpecialFolder(kind, &folder));
    EXPECT_STREQ("unchanged", folder.Text());
  }
  EXPECT_EQ(0, GetSpecialFolder(0, nullptr));
}

TEST(SpecialFolders, TempDirectoryEndsInABackslash) {
  const CPortableString directory = GetTempDirectory();
  ASSERT_FALSE(directory.IsEmpty());
  EXPECT_EQ('\\', directory.Text()[directory.Length() - 1]);
  EXPECT_EQ(1, IsDirectoryPath(directory.Text()));
}

// A temporary folder the test chooses, reported the way GetTempPathA and GetTempPathW report
// (the wide form converted from the ANSI code page).
std::string g_tempText;
std::vector<DWORD> g_tempSizes;
DWORD WINAPI FakeTempPath(DWORD size, LPSTR buffer) {
  g_tempSizes.push_back(size);
  if (g_tempText.empty()) return 0;
  if (g_tempText.size() >= size) return static_cast<DWORD>(g_tempText.size() + 1);
  lstrcpyA(buffer, g_tempText.c_str());
  return static_cast<DWORD>(g_tempText.size());
}
DWORD WINAPI FakeTempPathW(DWORD size, LPWSTR buffer) {
  g_tempSizes.push_back(size);
  if (g_tempText.empty()) return 0;
  const int units = MultiByteToWideChar(CP_ACP, 0, g_tempText.c_str(), -1, nullptr, 0);
  if (static_cast<DWORD>(units) > size) return static_cast<DWORD>(units);
  MultiByteToWideChar(CP_ACP, 0, g_tempText.c_str(), -1, buffer, static_cast<int>(size));
  return static_cast<DWORD>(units - 1);
}

// The NT family asks for the wide form, older systems for the narrow one; the answers agree.
class TempFolderFromTheSystem : public ::testing::TestWithParam<bool> {
 protected:
  static DWORD WINAPI NtVersion() { return 0x0A280105; }
  static DWORD WINAPI OldVersion() { return 0xC0000A04; }
  orin::FileSystemCalls Faked() const {
    orin::FileSystemCalls calls = orin::Sys();
    calls.GetTempPathA = &FakeTempPath;
    calls.GetTempPathW = &FakeTempPathW;
    calls.GetVersion = GetParam() ? &NtVersion : &OldVersion;
    return calls;
  }
};

TEST_P(TempFolderFromTheSystem, AnswersFromTheSystemsTempPath) {
  const orin::ScopedFileSystemCalls system(Faked());
  ASSERT_EQ(GetParam() ? 1 : 0, IsWindowsNT());
  struct Row {
    std::string system;
    std::string directory;
    int codePage;  // of the C run-time; 0 leaves it
  };
  const std::vector<Row> rows = {
      {"D:\\tmp", "D:\\tmp\\", 0},
      {"D:\\tmp\\", "D:\\tmp\\", 0},
      {"", "C:\\", 0},
      {"D:\\" + std::string(1100, 't'), "", 0},
      // The run-time's code page decides, as in the path grammar: under 932 the last '\' is a second byte.
      {"D:\\\x95\x5C", "D:\\\x95\x5C", 1252},
      {"D:\\\x95\x5C", "D:\\\x95\x5C\\", 932},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.system.substr(0, 20) + " in " + std::to_string(row.codePage));
    g_tempText = row.system;
    const pathtest::ScopedMultibyteCodePage codePage(row.codePage != 0 ? row.codePage : _getmbcp());
    ASSERT_TRUE(codePage.switched);
    EXPECT_EQ(row.directory, GetTempDirectory().Text());
  }

  g_tempText = "D:\\" + std::string(3000, 'l');
  g_tempSizes.clear();
  CPortableString folder;
  EXPECT_EQ(1, GetSpecialFolder(0, &folder));
  EXPECT_EQ(g_tempText, folder.Text());
  EXPECT_EQ((std::vector<DWORD>{1040, 3004}), g_tempSizes) << "retries with the room the system asked for";
  g_tempText.clear();
  EXPECT_EQ(0, GetSpecialFolder(0, &folder));
}

INSTANTIATE_TEST_SUITE_P(NtAndOlder, TempFolderFromTheSystem, ::testing::Bool());

}  // namespace
