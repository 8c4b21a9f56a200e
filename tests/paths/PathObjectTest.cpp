// The path object: full-path resolution, attribute queries, and the inner file object it forwards
// file operations to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ORINAPI_PORTABLE/CPortablePath.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "PathTestHelpers.h"
#include "TestSupport.h"

namespace {

constexpr uint64_t kAllOnes = ~static_cast<uint64_t>(0);

std::string CurrentDirectory() {
  CPortableString text;
  return GetCurrentDirectoryString(text) ? std::string(text.Text()) : std::string();
}

// A drive letter that no per-drive current directory refers to, so "Q:" means its root.
std::string UnusedDrive() { return CurrentDirectory()[0] == 'Q' ? "R:" : "Q:"; }

TEST(PathResolution, TurnsTextsIntoFullPathsWithoutTrailingSeparators) {
  const std::string drive = UnusedDrive();
  struct Row {
    const char* label;
    std::string given;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"empty", "", ""},
      {"bare drive", drive, drive + "\\"},
      {"drive root", drive + "\\", drive + "\\"},
      {"trailing separator", drive + "\\dir\\", drive + "\\dir"},
      {"several trailing separators", drive + "\\dir\\\\//", drive + "\\dir"},
      {"forward slashes", drive + "/dir/sub/", drive + "\\dir\\sub"},
      {"dot components", drive + "\\dir\\.\\x\\..\\file.txt", drive + "\\dir\\file.txt"},
      {"network path", "\\\\server\\share\\dir\\", "\\\\server\\share\\dir"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_STREQ(row.expected.c_str(), CPortablePath(row.given.c_str(), 4).GetText());
  }
  EXPECT_STREQ("", CPortablePath(nullptr, 4).GetText());
  EXPECT_STREQ("", CPortablePath().GetText());
  EXPECT_EQ(4u, CPortablePath().GetOpenMode());
}

TEST(PathResolution, ResolvesRelativeTextsAgainstTheCurrentDirectory) {
  testsupport::TempDir dir("rel");
  pathtest::ScopedCurrentDirectory inside(dir.Path());
  ASSERT_TRUE(inside.Changed());
  const std::string current = CurrentDirectory();
  EXPECT_EQ(current + "\\drivers", CPortablePath("drivers", 4).GetText());
  EXPECT_EQ(current + "\\drivers", CPortablePath("drivers\\", 4).GetText());
  EXPECT_EQ(current, CPortablePath(".", 4).GetText());
  EXPECT_EQ(CPortableString(GetParent(current.c_str(), 1)).Text(), std::string(CPortablePath("..", 4).GetText()));
}

// Resolution turns '/' into '\', so a text keeps its slash exactly when it stayed unresolved.
TEST(PathResolution, KeepsTextsOfTheLengthLimitOrMoreUnchangedByteForByte) {
  const std::string drive = UnusedDrive();
  for (int length : {1038, 1039, 1040, 1041, 2000, 40000}) {
    SCOPED_TRACE(length);
    std::string text = drive + "/";
    while (static_cast<int>(text.size()) < length) text += (text.size() % 200 == 199) ? '\\' : 'n';
    text[text.size() - 1] = 'x';
    const CPortablePath path(text.c_str(), 4);
    std::string resolved = text;
    resolved[2] = '\\';
    EXPECT_EQ(length < 1040 ? resolved : text, std::string(path.GetText()));
  }
}

TEST(PathResolution, LongPathsGiveCleanAnswers) {
  const std::string drive = UnusedDrive();
  for (size_t length : {2000u, 40000u}) {
    SCOPED_TRACE(length);
    const std::string text = drive + "\\" + std::string(length, 'z');
    CPortablePath path(text.c_str(), 4);
    uint32_t attributes = 0;
    EXPECT_EQ(0, path.GetAttributes(&attributes));
    EXPECT_EQ(0, path.IsDirectory());
    EXPECT_EQ(0, path.Exists());
    EXPECT_EQ(kAllOnes, path.GetSize64());
    EXPECT_EQ(nullptr, path.GetStatus());
    CPortableFindFile* finder = path.Find("*", 0, 0, 0, 2);
    ASSERT_NE(nullptr, finder);
    EXPECT_EQ(0, finder->IsValid());
    delete finder;
  }
}

// The system accepts current directories up to its classic path limit, a little above 256.
TEST(PathResolution, WorksFromACurrentDirectoryLongerThan256Characters) {
  testsupport::TempDir dir("deep");
  std::string deep = dir.Path();
  while (deep.size() < 200) {
    deep += "\\" + std::string(40, 'd');
    ASSERT_TRUE(pathtest::CreateWideDirectory(pathtest::Widen(deep))) << deep;
  }
  deep += "\\" + std::string(257 - deep.size() - 1, 'e');
  ASSERT_EQ(257u, deep.size());
  ASSERT_TRUE(pathtest::CreateWideDirectory(pathtest::Widen(deep))) << deep;
  pathtest::ScopedCurrentDirectory inside(deep);
  ASSERT_TRUE(inside.Changed());
  ASSERT_EQ(deep, CurrentDirectory());
  const std::string file = deep + "\\here.txt";
  ASSERT_TRUE(pathtest::CreateWideFile(L"\\\\?\\" + pathtest::Widen(file), "x"));
  EXPECT_EQ(file, CPortablePath("here.txt", 4).GetText());
  EXPECT_EQ(1, CPortablePath("here.txt", 4).Exists());
  CPortableFindFile* finder = FindInParent("here.txt", 0, 0, 0, 2);
  ASSERT_NE(nullptr, finder);
  ASSERT_EQ(1, finder->IsValid());
  EXPECT_EQ(file, finder->GetCurrentPath()->GetText());
  delete finder;
}

TEST(PathQueries, AnswerNamesAttributesAndSizes) {
  testsupport::TempDir dir("attr");
  ASSERT_TRUE(dir.WriteFile("ten.bin", "0123456789"));
  ASSERT_TRUE(dir.MakeDir("sub"));

  CPortablePath file(dir.Join("ten.bin").c_str(), 4);
  uint32_t attributes = 0;
  EXPECT_EQ(1, file.GetAttributes(&attributes));
  EXPECT_EQ(0u, attributes & 0x10);
  EXPECT_EQ(0, file.IsDirectory());
  EXPECT_EQ(10u, file.GetSize64());
  EXPECT_STREQ("ten.bin", file.GetName().Text());
  EXPECT_NE(0, file.SetAttributes(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(1, file.GetAttributes(&attributes));
  EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_READONLY);
  EXPECT_NE(0, file.SetAttributes(FILE_ATTRIBUTE_NORMAL));

  EXPECT_EQ(1, CPortablePath(dir.Join("sub").c_str(), 4).IsDirectory());
  EXPECT_STREQ("C:\\", CPortablePath("C:\\", 4).GetName().Text());
  EXPECT_STREQ("", CPortablePath().GetName().Text());

  CPortablePath missing(dir.Join("missing.bin").c_str(), 4);
  EXPECT_EQ(0, missing.GetAttributes(&attributes));
  EXPECT_EQ(0, missing.IsDirectory());
  EXPECT_EQ(kAllOnes, missing.GetSize64());
  EXPECT_EQ(0, missing.SetAttributes(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(0, missing.GetAttributes(nullptr));
}

TEST(PathAsFile, ForwardsFileOperationsToABufferedInnerFile) {
  testsupport::TempDir dir("file");
  CPortablePath path(dir.Join("data.bin").c_str(), 4);
  uint32_t count = 0;
  ASSERT_EQ(0, path.Write("hello", 5, &count));
  EXPECT_EQ(5u, count);
  int64_t position = 0;
  EXPECT_EQ(0, path.GetPosition(&position));
  EXPECT_EQ(5, position);
  EXPECT_EQ(0, path.Seek(1, 1));
  char buffer[8] = {};
  EXPECT_EQ(0, path.Read(buffer, 4, &count));
  EXPECT_STREQ("ello", buffer);
  char name[600] = {};
  EXPECT_STREQ(path.GetText(), path.GetFileName(name));
  EXPECT_EQ(0, path.GetError());
  EXPECT_EQ(0, path.Close());
  uint64_t size = 0;
  EXPECT_EQ(0, path.GetSize(&size));
  EXPECT_EQ(5u, size);
  const PortableLocation location = path.GetLocation();
  EXPECT_EQ(0, location.kind);
  EXPECT_EQ(dir.Path()[0], static_cast<char>(location.letter));

  CPortableFile* clone = path.Clone();
  ASSERT_NE(nullptr, clone);
  EXPECT_NE(nullptr, dynamic_cast<CPortableWinPFile*>(clone));
  EXPECT_EQ(nullptr, dynamic_cast<CPortablePath*>(clone));
  delete clone;

  EXPECT_EQ(0, path.Delete());
  EXPECT_EQ(0, CPortablePath(dir.Join("data.bin").c_str(), 4).Exists());
}

TEST(PathAsFile, SetOpenModeSwitchesBetweenUnbufferedAndBufferedInnerFiles) {
  testsupport::TempDir dir("mode");
  ASSERT_TRUE(dir.WriteFile("data.bin", "abcdef"));
  CPortablePath path(dir.Join("data.bin").c_str(), 4);

  ASSERT_EQ(0, path.SetOpenMode(9));  // unbuffered, read only
  EXPECT_EQ(9u, path.GetOpenMode());
  char buffer[8] = {};
  uint32_t count = 0;
  ASSERT_EQ(0, path.Read(buffer, 6, &count));
  EXPECT_STREQ("abcdef", buffer);
  EXPECT_NE(0, path.Write("x", 1, &count)) << "a read-only inner file must refuse writes";
  CPortableFile* clone = path.Clone();
  EXPECT_NE(nullptr, dynamic_cast<CPortableUnBufWinPFile*>(clone));
  delete clone;

  // The unbuffered file goes; a buffered read-write one (exclusive open) must be able to open.
  ASSERT_EQ(0, path.SetOpenMode(4));
  ASSERT_EQ(0, path.Seek(2, 0));
  ASSERT_EQ(0, path.Write("gh", 2, &count));
  clone = path.Clone();
  EXPECT_NE(nullptr, dynamic_cast<CPortableWinPFile*>(clone));
  EXPECT_EQ(nullptr, dynamic_cast<CPortableUnBufWinPFile*>(clone));
  delete clone;
  ASSERT_EQ(0, path.Close());
  EXPECT_EQ("abcdefgh", testsupport::ReadWholeFile(dir.Join("data.bin")));
}

TEST(PathAsFile, FlagsWithoutASingleModeGiveTheFileClassesBadModeError) {
  testsupport::TempDir dir("bad");
  ASSERT_TRUE(dir.WriteFile("data.bin", "abc"));
  for (uint32_t flags : {0u, 3u, 5u, 6u, 7u, 16u}) {
    SCOPED_TRACE(flags);
    CPortablePath path(dir.Join("data.bin").c_str(), flags);
    char buffer[4] = {};
    uint32_t count = 0;
    EXPECT_EQ(5, path.Read(buffer, 3, &count));
    EXPECT_EQ(5, path.GetFileError());
  }
  CPortablePath readOnly(dir.Join("data.bin").c_str(), 1);
  uint32_t count = 0;
  EXPECT_EQ(ERROR_ACCESS_DENIED, readOnly.Write("x", 1, &count));
  EXPECT_EQ(0, readOnly.Close());
  CPortablePath writeOnly(dir.Join("data.bin").c_str(), 2);
  EXPECT_EQ(0, writeOnly.Write("xy", 2, &count));
  EXPECT_EQ(0, writeOnly.Close());
  EXPECT_EQ("xy", testsupport::ReadWholeFile(dir.Join("data.bin")));
}

class RecordingSink : public CPortableErrorSink {
 public:
  void Report(const char*, int32_t, int32_t errorCode, const char* path) override {
    codes.push_back(errorCode);
    paths.push_back(path);
  }
  std::vector<int32_t> codes;
  std::vector<std::string> paths;
};

TEST(PathAsFile, HandsTheErrorSinkToInnerFilesMadeAfterItWasSet) {
  testsupport::TempDir dir("sink");
  RecordingSink first, second;
  const std::string missing = dir.Join("missing.bin");
  SetPathErrorSink(&first);
  CPortablePath early(missing.c_str(), 1);
  char buffer[4];
  uint32_t count = 0;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, early.Read(buffer, 4, &count));
  ASSERT_EQ(1u, first.codes.size());
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, first.codes[0]);
  EXPECT_EQ(missing, first.paths[0]);

  SetPathErrorSink(&second);
  EXPECT_EQ(&second, GetPathErrorSink());
  early.Read(buffer, 4, &count);  // its inner file keeps the sink it was made with
  EXPECT_EQ(2u, first.codes.size());
  EXPECT_TRUE(second.codes.empty());

  SetPathErrorSink(nullptr);
  CPortablePath late(missing.c_str(), 1);
  late.Read(buffer, 4, &count);
  EXPECT_EQ(2u, first.codes.size());
  EXPECT_TRUE(second.codes.empty());
}

TEST(PathAsFile, AssignTakesTextAndFlagsAndClosesTheOldInnerFile) {
  testsupport::TempDir dir("assign");
  CPortablePath held(dir.Join("held.bin").c_str(), 4);
  uint32_t count = 0;
  ASSERT_EQ(0, held.Write("abc", 3, &count));  // open, exclusively
  const CPortablePath other(dir.Join("other.bin").c_str(), 9);
  EXPECT_EQ(&held, &held.Assign(other));
  EXPECT_STREQ(other.GetText(), held.GetText());
  EXPECT_EQ(9u, held.GetOpenMode());
  EXPECT_EQ("abc", testsupport::ReadWholeFile(dir.Join("held.bin")));
  EXPECT_TRUE(DeleteFileA(dir.Join("held.bin").c_str())) << "the old inner file still holds the file open";
  EXPECT_EQ(&held, &held.Assign(held));
  EXPECT_STREQ(other.GetText(), held.GetText());
}

}  // namespace
