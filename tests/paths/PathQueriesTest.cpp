// The queries a path answers by searching its parent directory: existence, the entry record, the
// times and the status record, and the parent-directory finders they rest on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "ORINAPI_PORTABLE/CPortableFileStatus.h"
#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "PathTestHelpers.h"
#include "TestSupport.h"

namespace {

using Names = std::multiset<std::string>;

FILETIME FileTimeOf(int64_t seconds) {
  const ULONGLONG value = static_cast<ULONGLONG>(seconds + 11644473600ll) * 10000000ull;
  return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

class PathQueriesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.WriteFile("readme.txt", "hello"));
    ASSERT_TRUE(dir_.MakeDir("tools"));
  }
  testsupport::TempDir dir_{"query"};
};

TEST_F(PathQueriesTest, FindInParentSearchesTheParentForTheLastComponent) {
  const std::string tools = dir_.Join("tools");
  EXPECT_EQ(Names{"tools"}, pathtest::TakeNames(FindInParent(tools.c_str(), 0, 0, 0, 0)));
  EXPECT_EQ(Names{"tools"}, pathtest::TakeNames(FindDirectoriesInParent(tools.c_str(), 0, 0)));
  EXPECT_EQ(Names{}, pathtest::TakeNames(FindFilesInParent(tools.c_str(), 0, 0)));
  EXPECT_EQ(Names{"readme.txt"}, pathtest::TakeNames(FindFilesInParent(dir_.Join("readme.txt").c_str(), 0, 0)));
  EXPECT_EQ(Names{}, pathtest::TakeNames(FindDirectoriesInParent(dir_.Join("readme.txt").c_str(), 0, 0)));
  EXPECT_EQ((Names{"readme.txt", "tools"}), pathtest::TakeNames(FindInParent(dir_.Join("*").c_str(), 0, 0, 0, 0)));
  EXPECT_EQ(Names{}, pathtest::TakeNames(FindInParent(nullptr, 0, 0, 0, 0)));
}

TEST_F(PathQueriesTest, FindInParentOnABareNameSearchesTheCurrentDirectory) {
  pathtest::ScopedCurrentDirectory inside(dir_.Path());
  ASSERT_TRUE(inside.Changed());
  CPortableFindFile* finder = FindInParent("readme.txt", 0, 0, 0, 0);
  ASSERT_NE(nullptr, finder);
  ASSERT_EQ(1, finder->IsValid());
  EXPECT_EQ(dir_.Join("readme.txt"), finder->GetCurrentPath()->GetText());
  delete finder;
  EXPECT_EQ(Names{}, pathtest::TakeNames(FindInParent("C:\\", 0, 0, 0, 0)));
}

TEST_F(PathQueriesTest, ExistsAnswersForEntriesAndDriveRoots) {
  struct Row {
    std::string text;
    int exists;
  };
  const Row rows[] = {
      {dir_.Join("readme.txt"), 1}, {dir_.Join("tools"), 1},   {dir_.Join("tools\\"), 1},
      {dir_.Join("README.TXT"), 1}, {dir_.Join("missing"), 0}, {dir_.Join("missing\\readme.txt"), 0},
      {"Q:\\", 1},                  {"Q:", 1},                  {"", 0},
      {"C:\\", 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(row.exists, CPortablePath(row.text.c_str(), 4).Exists());
  }
}

TEST_F(PathQueriesTest, GetFileInfoCopiesTheEntryRecordAndTheTimesComeFromIt) {
  HANDLE file = CreateFileA(dir_.Join("readme.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  // The creation time is left to the volume: not every one can set it.
  const FILETIME accessed = FileTimeOf(1012712706), written = FileTimeOf(981173106);
  ASSERT_TRUE(SetFileTime(file, nullptr, &accessed, &written));
  CloseHandle(file);

  const CPortablePath path(dir_.Join("readme.txt").c_str(), 4);
  CPortableFileInfo info;
  ASSERT_EQ(1, path.GetFileInfo(&info));
  EXPECT_STREQ("readme.txt", info.name.Text());
  EXPECT_EQ(5u, info.size);
  EXPECT_EQ(1, info.valid);
  EXPECT_EQ(info.creationTime.GetValue(), path.GetCreationTime().GetValue());
  EXPECT_EQ(1012712706, path.GetLastAccessTime().GetValue());
  EXPECT_EQ(981173106, path.GetLastWriteTime().GetValue());

  CPortableFindFile* finder = FindInParent(path.GetText(), 0, 0, 0, 2);
  ASSERT_NE(nullptr, finder);
  EXPECT_TRUE(info == *finder->GetInfo());
  CPortableFileInfo copy(info);
  EXPECT_TRUE(copy == info);
  copy.name = "README.TXT";
  EXPECT_TRUE(copy != info);
  delete finder;

  const CPortablePath missing(dir_.Join("missing").c_str(), 4);
  CPortableFileInfo untouched;
  untouched.size = 77;
  EXPECT_EQ(0, missing.GetFileInfo(&untouched));
  EXPECT_EQ(77u, untouched.size);
  EXPECT_EQ(0, path.GetFileInfo(nullptr));
  EXPECT_EQ(0, missing.GetLastWriteTime().GetValue());
  CPortableFileInfo root;
  EXPECT_EQ(0, CPortablePath("C:\\", 4).GetFileInfo(&root)) << "a drive root has no parent entry";
}

// Some volumes keep no read-only bit on directories; the attribute query then presents it.
std::string g_readOnlyPath;
DWORD WINAPI AttributesReadOnly(LPCSTR path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && _stricmp(path, g_readOnlyPath.c_str()) == 0) {
    return attributes | FILE_ATTRIBUTE_READONLY;
  }
  return attributes;
}

struct StatusRow {
  const char* name;
  bool directory;
  bool readOnly;
  uint32_t mode;
};

TEST_F(PathQueriesTest, GetStatusModesMatchTheListedValuesAndTheRunTimesStat) {
  const StatusRow rows[] = {
      {"plain.txt", false, false, 0x81B6}, {"locked.txt", false, true, 0x8124},
      {"setup.exe", false, false, 0x81FF}, {"RUN.BAT", false, true, 0x816D},
      {"folder", true, false, 0x41FF},     {"tools.com", true, true, 0x416D},
  };
  for (const StatusRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string text = dir_.Join(row.name);
    ASSERT_TRUE(row.directory ? dir_.MakeDir(row.name) : dir_.WriteFile(row.name, "content"));
    if (row.readOnly) {
      ASSERT_TRUE(SetFileAttributesA(text.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    const bool bitKept = (GetFileAttributesA(text.c_str()) & FILE_ATTRIBUTE_READONLY) != 0;
    g_readOnlyPath = text;
    orin::FileSystemCalls calls = orin::Sys();
    if (row.readOnly && !bitKept) calls.GetFileAttributesA = &AttributesReadOnly;
    CPortableFileStatus* status = nullptr;
    {
      orin::ScopedFileSystemCalls presented(calls);
      status = CPortablePath(text.c_str(), 4).GetStatus();
    }
    ASSERT_NE(nullptr, status);
    EXPECT_EQ(row.mode, status->GetMode());
    // The run-time's own answer for the same entry, where it sees the same attributes.
    if (row.readOnly == bitKept) {
      struct _stat runTime;
      ASSERT_EQ(0, _stat(text.c_str(), &runTime));
      EXPECT_EQ(static_cast<uint32_t>(runTime.st_mode), status->GetMode());
    }

    const uint8_t* bytes = nullptr;
    EXPECT_STREQ(row.name, status->GetName(&bytes));
    ASSERT_NE(nullptr, bytes);
    EXPECT_EQ(4, bytes[0]);
    EXPECT_EQ(0, bytes[1]);
    EXPECT_EQ(15, status->GetFlags());
    EXPECT_EQ(0, status->GetSize());
    EXPECT_EQ(nullptr, status->GetExtraRecords());
    EXPECT_EQ(0, status->GetExtraValue(nullptr));
    EXPECT_EQ(0, status->GetUserId());
    EXPECT_EQ(0, status->GetGroupId());
    delete status;
    SetFileAttributesA(text.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  EXPECT_EQ(nullptr, CPortablePath(dir_.Join("missing").c_str(), 4).GetStatus());
}

TEST_F(PathQueriesTest, GetStatusTimesAreCreationWriteAccessWrite) {
  HANDLE file = CreateFileA(dir_.Join("readme.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  const FILETIME accessed = FileTimeOf(1012712706), written = FileTimeOf(981173106);
  ASSERT_TRUE(SetFileTime(file, nullptr, &accessed, &written));
  CloseHandle(file);
  const int32_t created = CPortablePath(dir_.Join("readme.txt").c_str(), 4).GetCreationTime().GetValue();
  CPortableFileStatus* status = CPortablePath(dir_.Join("readme.txt").c_str(), 4).GetStatus();
  ASSERT_NE(nullptr, status);
  const int32_t expected[] = {created, 981173106, 1012712706, 981173106, 0, 0, 0};
  for (int index = 0; index < 7; ++index) {
    SCOPED_TRACE(index);
    struct tm got = {}, want = {};
    ASSERT_EQ(1, status->GetTime(index, &got));
    CPortableTime(expected[index]).GetLocalTm(&want);
    if (expected[index] != 0) {
      EXPECT_EQ(want.tm_year, got.tm_year);
      EXPECT_EQ(want.tm_yday, got.tm_yday);
      EXPECT_EQ(want.tm_hour, got.tm_hour);
      EXPECT_EQ(want.tm_sec, got.tm_sec);
    }
  }
  delete status;
}

}  // namespace
