// Temporary files: candidate names, the unique step, and deletion when the object goes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FileCallRecorder.h"
#include "ORINAPI_PORTABLE/PortableTempFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/TempFileNames.h"
#include "ORINAPI_PORTABLE/Windows/UnBufBufferPool.h"
#include "TestSupport.h"

using filetest::Call;
using filetest::FileCallRecorder;

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string NameOf(CPortableFile& file) {
  char name[20000] = {};
  return file.GetFileName(name);
}

TEST(TempFileNameTest, CandidatesFollowTheNumberedPattern) {
  struct Row { const char* directory; int index; const char* name; } rows[] = {
      {"C:\\T", 0, "C:\\T\\OrinMPEG   0XXXXXXXXX"},
      {"C:\\T\\", 12, "C:\\T\\OrinMPEG  12XXXXXXXXX"},
      {"", 3, "OrinMPEG   3XXXXXXXXX"},
      {nullptr, 9999, "OrinMPEG9999XXXXXXXXX"},
      {"x:", 5, "x:\\OrinMPEG   5XXXXXXXXX"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_STREQ(row.name, FormatTempFileCandidate(row.directory, row.index).Text());
  }
  const std::string huge(16400, 'd');
  EXPECT_TRUE(FormatTempFileCandidate(huge.c_str(), 0).IsEmpty());
}

TEST(TempFileNameTest, TheUniqueStepReplacesTheLastSixXAndAvoidsExistingFiles) {
  testsupport::TempDir dir("tn");
  CPortableString name = FormatTempFileCandidate(dir.Path().c_str(), 0);
  const std::string before = name.Text();
  ASSERT_TRUE(MakeTempNameUnique(name));
  const std::string first = name.Text();
  ASSERT_EQ(before.size(), first.size());
  EXPECT_EQ(before.substr(0, before.size() - 6), first.substr(0, first.size() - 6));
  EXPECT_EQ("XXX", first.substr(first.size() - 9, 3));
  EXPECT_EQ('a', first[first.size() - 6]);
  for (size_t i = first.size() - 5; i < first.size(); ++i) EXPECT_TRUE(isdigit(static_cast<unsigned char>(first[i])));

  ASSERT_TRUE(dir.WriteFile(first.substr(dir.Path().size() + 1), "taken"));
  CPortableString again = FormatTempFileCandidate(dir.Path().c_str(), 0);
  ASSERT_TRUE(MakeTempNameUnique(again));
  EXPECT_EQ('b', again.Text()[again.Length() - 6]);

  CPortableString shortName("abXX");
  EXPECT_FALSE(MakeTempNameUnique(shortName));
  EXPECT_STREQ("abXX", shortName.Text());
}

class TempFileTest : public ::testing::Test {
 protected:
  testsupport::TempDir dir_{"tf"};
};

TEST_F(TempFileTest, ABufferedTemporaryFileClaimsItsNameAtOnceAndGoesWithTheObject) {
  std::unique_ptr<CPortableFile> file(CreatePortableTempFile(dir_.Path().c_str(), 0));
  ASSERT_NE(nullptr, file);
  EXPECT_NE(nullptr, dynamic_cast<CPortableWinTempPFile*>(file.get()));
  const std::string name = NameOf(*file);
  EXPECT_EQ(dir_.Path() + "\\OrinMPEG   0XXX", name.substr(0, dir_.Path().size() + 16));
  EXPECT_TRUE(Exists(name));
  uint32_t written = 0;
  ASSERT_EQ(0, file->Write("temp", 4, &written));
  file.reset();
  EXPECT_FALSE(Exists(name));
}

// A file that appears after the unique step looked (or whose attribute query failed) is not
// opened, overwritten or deleted: the name is claimed by creating the file.
TEST_F(TempFileTest, ANameTakenAfterTheUniqueStepLookedMovesToTheNextCandidate) {
  for (uint32_t flags : {0u, static_cast<uint32_t>(kPortableTempUnbuffered)}) {
    SCOPED_TRACE(flags);
    CPortableString first = FormatTempFileCandidate(dir_.Path().c_str(), 0);
    ASSERT_TRUE(MakeTempNameUnique(first));
    ASSERT_TRUE(dir_.WriteFile(std::string(first.Text()).substr(dir_.Path().size() + 1), "theirs"));
    FileCallRecorder recorder;
    recorder.FailCall(Call::Attributes, ERROR_FILE_NOT_FOUND);
    std::unique_ptr<CPortableFile> file(CreatePortableTempFile(dir_.Path().c_str(), flags));
    ASSERT_NE(nullptr, file);
    EXPECT_NE(std::string::npos, NameOf(*file).find("OrinMPEG   1XXX"));
    file.reset();
    EXPECT_EQ("theirs", testsupport::ReadWholeFile(first.Text()));
    ASSERT_TRUE(DeleteFileA(first.Text()));
  }
}

// Buffered temporary files are not on disk before their first write: the names must differ all
// the same, or destroying one would delete the other's file.
TEST_F(TempFileTest, BufferedTemporaryFilesMadeInARowGetNamesOfTheirOwn) {
  std::unique_ptr<CPortableFile> first(CreatePortableTempFile(dir_.Path().c_str(), 0));
  std::unique_ptr<CPortableFile> second(CreatePortableTempFile(dir_.Path().c_str(), 0));
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  const std::string name = NameOf(*second);
  EXPECT_NE(NameOf(*first), name);
  EXPECT_EQ(name.size(), NameOf(*first).size());
  uint32_t written = 0;
  ASSERT_EQ(0, first->Write("one", 3, &written));
  ASSERT_EQ(0, second->Write("two", 3, &written));
  first.reset();
  ASSERT_EQ(0, second->Close());
  EXPECT_EQ("two", testsupport::ReadWholeFile(name));
  // A name given up is free again.
  first.reset(CreatePortableTempFile(dir_.Path().c_str(), 0));
  ASSERT_NE(nullptr, first);
  EXPECT_EQ('a', NameOf(*first)[name.size() - 6]);
}

// Run under a Japanese system locale: U+8868 is 0x95 0x5C, a character whose second byte is '\'.
TEST_F(TempFileTest, AFolderEndingInADoubleByteCharacterGetsItsSeparator) {
  if (GetACP() != 932) GTEST_SKIP() << "needs a system code page of 932";
  const std::string folder = dir_.Join("\x95\x5C");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_EQ(folder + "\\OrinMPEG   0XXXXXXXXX", FormatTempFileCandidate(folder.c_str(), 0).Text());
  std::unique_ptr<CPortableFile> file(CreatePortableTempFile(folder.c_str(), kPortableTempUnbuffered));
  ASSERT_NE(nullptr, file);
  const std::string name = NameOf(*file);
  EXPECT_EQ(folder + "\\OrinMPEG   0XXX", name.substr(0, folder.size() + 16));
  EXPECT_TRUE(Exists(name));
}

TEST_F(TempFileTest, AnUnbufferedTemporaryFileExistsAtOnceAndGoesWithTheObject) {
  std::unique_ptr<CPortableFile> file(CreatePortableTempFile((dir_.Path() + "\\").c_str(), kPortableTempUnbuffered));
  ASSERT_NE(nullptr, file);
  auto* unbuffered = dynamic_cast<CPortableUnBufWinTempPFile*>(file.get());
  ASSERT_NE(nullptr, unbuffered);
  EXPECT_FALSE(unbuffered->IsCaching());
  EXPECT_EQ(kPortableOpenWrite, unbuffered->GetMode());
  const std::string name = NameOf(*file);
  EXPECT_EQ(std::string::npos, name.find("\\\\"));
  EXPECT_TRUE(Exists(name));
  uint32_t written = 0;
  ASSERT_EQ(0, file->Write("0123456789", 10, &written));
  file.reset();
  EXPECT_FALSE(Exists(name));
  EXPECT_EQ(UnBufBufferPool::kBufferCount, UnBufBufferPool::FreeCount());
}

TEST_F(TempFileTest, AFailedCandidateIsSkippedAndOutOfMemoryEndsTheSearch) {
  // Access denied comes from a name held by a file pending deletion, too.
  for (uint32_t code : {ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}) {
    SCOPED_TRACE(code);
    FileCallRecorder recorder;
    recorder.FailCall(Call::Create, code);
    std::unique_ptr<CPortableFile> file(CreatePortableTempFile(dir_.Path().c_str(), kPortableTempUnbuffered));
    ASSERT_NE(nullptr, file);
    EXPECT_NE(std::string::npos, NameOf(*file).find("OrinMPEG   1XXX"));
  }
  FileCallRecorder recorder;
  recorder.FailCall(Call::Create, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(nullptr, CreatePortableTempFile(dir_.Path().c_str(), kPortableTempUnbuffered));
  EXPECT_EQ(1, recorder.CallCount(Call::Create));
}

TEST_F(TempFileTest, AFolderThatCannotHoldFilesEndsTheSearchAtOnce) {
  FileCallRecorder recorder;
  const std::string missing = dir_.Join("no\\such");
  EXPECT_EQ(nullptr, CreatePortableTempFile(missing.c_str(), kPortableTempUnbuffered));
  EXPECT_EQ(1, recorder.CallCount(Call::Create));
  const std::string tooLong(20000, 'q');
  EXPECT_EQ(nullptr, CreatePortableTempFile(tooLong.c_str(), 0));
}

TEST_F(TempFileTest, AnEmptyFolderMeansTheCurrentDirectory) {
  char previous[MAX_PATH] = {};
  ASSERT_NE(0u, GetCurrentDirectoryA(MAX_PATH, previous));
  ASSERT_TRUE(SetCurrentDirectoryA(dir_.Path().c_str()));
  std::unique_ptr<CPortableFile> file(CreatePortableTempFile("", kPortableTempUnbuffered));
  ASSERT_NE(nullptr, file);
  const std::string name = NameOf(*file);
  EXPECT_EQ(0u, name.find("OrinMPEG   0XXX"));
  EXPECT_TRUE(Exists(dir_.Join(name)));
  file.reset();
  EXPECT_FALSE(Exists(dir_.Join(name)));
  SetCurrentDirectoryA(previous);
}

}  // namespace
