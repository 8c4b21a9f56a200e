// The buffered Windows file on real files under a scratch folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FileCallRecorder.h"
#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"
#include "TestSupport.h"

using filetest::Call;
using filetest::FileCallRecorder;
using filetest::RecordingSink;

namespace {

class BufferedFileTest : public ::testing::Test {
 protected:
  std::string PathOf(const char* name) const { return dir_.Join(name); }
  std::string Contents(const char* name) const { return testsupport::ReadWholeFile(PathOf(name)); }
  bool Exists(const char* name) const { return GetFileAttributesA(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES; }

  int32_t WriteText(CPortableFile& file, const std::string& text) {
    uint32_t written = 0;
    const int32_t result = file.Write(text.data(), static_cast<uint32_t>(text.size()), &written);
    if (result == 0) {
      EXPECT_EQ(text.size(), written);
    }
    return result;
  }

  testsupport::TempDir dir_{"bf"};
};

TEST_F(BufferedFileTest, OpenModesDecideWhatHappensToExistingAndMissingFiles) {
  ASSERT_TRUE(dir_.WriteFile("old.bin", "keep me"));
  {
    CPortableWinPFile file(PathOf("old.bin").c_str(), kPortableOpenReadWrite, nullptr);
    EXPECT_EQ(0, file.Open(kPortableOpenReadWrite));
  }
  EXPECT_EQ("keep me", Contents("old.bin"));
  {
    CPortableWinPFile file(PathOf("new.bin").c_str(), kPortableOpenReadWrite, nullptr);
    EXPECT_EQ(0, file.Open(kPortableOpenReadWrite));
  }
  EXPECT_TRUE(Exists("new.bin"));
  {
    CPortableWinPFile file(PathOf("old.bin").c_str(), kPortableOpenWrite, nullptr);
    EXPECT_EQ(0, file.Open(kPortableOpenWrite));
  }
  EXPECT_EQ("", Contents("old.bin"));

  CPortableWinPFile missing(PathOf("missing.bin").c_str(), kPortableOpenRead, nullptr);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, missing.Open(kPortableOpenRead));
  char byte = 0;
  uint32_t read = 0;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, missing.Read(&byte, 1, &read));
  EXPECT_FALSE(Exists("missing.bin"));
}

TEST_F(BufferedFileTest, BadModeGivesFiveEveryTimeAndKeepsTheMode) {
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenRead, nullptr);
  EXPECT_EQ(kPortableFileBadMode, file.Open(7));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(7, file.GetMode());
  EXPECT_EQ(kPortableFileBadMode, WriteText(file, "x"));
  char byte = 0;
  uint32_t read = 0;
  EXPECT_EQ(kPortableFileBadMode, file.Read(&byte, 1, &read));
  EXPECT_EQ(kPortableFileBadMode, file.Seek(kPortableSeekFromStart, 0));
  CPortableWinPFile zero(PathOf("b.bin").c_str(), 0, nullptr);
  EXPECT_EQ(kPortableFileBadMode, WriteText(zero, "x"));
  EXPECT_FALSE(Exists("a.bin"));
  EXPECT_FALSE(Exists("b.bin"));
}

TEST_F(BufferedFileTest, WritesReadsAndSeeksFromEveryOrigin) {
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, nullptr);
  ASSERT_EQ(0, WriteText(file, "0123456789"));
  int64_t position = -1;
  EXPECT_EQ(0, file.GetPosition(&position));
  EXPECT_EQ(10, position);

  struct Row { int32_t origin; int64_t distance; int32_t result; int64_t position; } rows[] = {
      {kPortableSeekFromStart, 2, 0, 2},  {kPortableSeekFromCurrent, 3, 0, 5},
      {kPortableSeekNone, 99, 0, 5},      {kPortableSeekFromEnd, -1, 0, 9},
      {4, 0, kPortableFileBadOrigin, 9},  {-1, 0, kPortableFileBadOrigin, 9},
      {kPortableSeekFromStart, -5, ERROR_NEGATIVE_SEEK, 9},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "origin " << row.origin << " distance " << row.distance);
    EXPECT_EQ(row.result, file.Seek(row.origin, row.distance));
    EXPECT_EQ(0, file.GetPosition(&position));
    EXPECT_EQ(row.position, position);
  }

  char data[8] = {};
  uint32_t read = 0;
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 6));
  EXPECT_EQ(0, file.Read(data, sizeof data, &read));  // the end of the file is no failure
  EXPECT_EQ(4u, read);
  EXPECT_EQ(std::string("6789\0\0\0\0", 8), std::string(data, 8));
  EXPECT_EQ(0, file.Read(data, sizeof data, &read));
  EXPECT_EQ(0u, read);
}

TEST_F(BufferedFileTest, SeekWithoutMovementStillOpensTheFile) {
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, nullptr);
  EXPECT_EQ(0, file.Seek(kPortableSeekNone, 12345));
  EXPECT_TRUE(file.IsOpen());
  EXPECT_TRUE(Exists("a.bin"));
}

TEST_F(BufferedFileTest, NullArgumentsAndEmptyTransfers) {
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, nullptr);
  char data[4] = {1, 2, 3, 4};
  uint32_t count = 77;
  EXPECT_EQ(kPortableFileRefused, file.Read(nullptr, 4, &count));
  EXPECT_EQ(kPortableFileRefused, file.Read(data, 4, nullptr));
  EXPECT_EQ(kPortableFileRefused, file.Write(nullptr, 4, &count));
  EXPECT_EQ(kPortableFileRefused, file.Write(data, 4, nullptr));
  EXPECT_EQ(kPortableFileRefused, file.GetPosition(nullptr));
  EXPECT_EQ(kPortableFileRefused, file.GetSize(nullptr));
  EXPECT_EQ(nullptr, file.GetFileName(nullptr));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(77u, count);

  EXPECT_EQ(0, file.Read(data, 0, &count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(0, file.Write(data, 0, &count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(0, file.GetError());
}

TEST_F(BufferedFileTest, GetSizeOnAClosedWriteFileLeavesItReadOnly) {
  ASSERT_TRUE(dir_.WriteFile("a.bin", "12345"));
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenWrite, nullptr);
  uint64_t size = 0;
  EXPECT_EQ(0, file.GetSize(&size));
  EXPECT_EQ(5u, size);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(kPortableOpenRead, file.GetMode());
  EXPECT_EQ(ERROR_ACCESS_DENIED, WriteText(file, "x"));
  EXPECT_EQ("12345", Contents("a.bin"));
}

TEST_F(BufferedFileTest, GetPositionOnAClosedWriteFileEmptiesIt) {
  ASSERT_TRUE(dir_.WriteFile("a.bin", "12345"));
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenWrite, nullptr);
  int64_t position = -1;
  EXPECT_EQ(0, file.GetPosition(&position));
  EXPECT_EQ(0, position);
  file.Close();
  EXPECT_EQ("", Contents("a.bin"));
}

TEST_F(BufferedFileTest, TruncateCutsAtThePositionAndNeedsAnOpenFile) {
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, nullptr);
  EXPECT_EQ(0, file.Truncate());  // closed, no error stored: nothing happens
  EXPECT_FALSE(Exists("a.bin"));
  ASSERT_EQ(0, WriteText(file, "abcdefgh"));
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 3));
  EXPECT_EQ(0, file.Truncate());
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ("abc", Contents("a.bin"));

  RecordingSink sink;
  CPortableWinPFile missing(PathOf("none\\a.bin").c_str(), kPortableOpenRead, &sink);
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, missing.Open(kPortableOpenRead));
  EXPECT_EQ(ERROR_PATH_NOT_FOUND, missing.Truncate());
  EXPECT_EQ(2u, sink.entries.size());
}

TEST_F(BufferedFileTest, CloseAndLazyReopenInWriteModeEmptiesTheFileAgain) {
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenWrite, nullptr);
  ASSERT_EQ(0, WriteText(file, "first"));
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ("first", Contents("a.bin"));
  ASSERT_EQ(0, WriteText(file, "2nd"));
  file.Close();
  EXPECT_EQ("2nd", Contents("a.bin"));
}

TEST_F(BufferedFileTest, CloneOpensLazilyAndMeetsTheSharingRule) {
  ASSERT_TRUE(dir_.WriteFile("a.bin", "shared"));
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, nullptr);
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 3));
  std::unique_ptr<CPortableFile> clone(file.Clone());
  ASSERT_NE(nullptr, clone);
  char name[MAX_PATH] = {};
  EXPECT_STREQ(PathOf("a.bin").c_str(), clone->GetFileName(name));
  char data[6] = {};
  uint32_t read = 0;
  EXPECT_EQ(ERROR_SHARING_VIOLATION, clone->Read(data, 6, &read));
  EXPECT_EQ(ERROR_SHARING_VIOLATION, clone->GetError());

  file.Close();
  EXPECT_EQ(0, clone->Read(data, 6, &read));  // starts at 0, not at the original's position
  EXPECT_EQ("shared", std::string(data, read));
}

TEST_F(BufferedFileTest, CloneOfATemporaryFileIsAPlainFile) {
  std::unique_ptr<CPortableFile> clone;
  {
    CPortableWinTempPFile temp(PathOf("t.bin").c_str(), kPortableOpenWrite, nullptr);
    ASSERT_EQ(0, WriteText(temp, "data"));
    clone.reset(temp.Clone());
    temp.Close();
    ASSERT_EQ(0, WriteText(*clone, "clone"));
    clone->Close();
  }
  EXPECT_FALSE(Exists("t.bin"));  // the temporary deleted it
  ASSERT_EQ(0, WriteText(*clone, "again"));
  clone.reset();
  EXPECT_EQ("again", Contents("t.bin"));
}

TEST_F(BufferedFileTest, DeleteClosesAndRemovesTheFile) {
  RecordingSink sink;
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenWrite, &sink);
  ASSERT_EQ(0, WriteText(file, "x"));
  EXPECT_EQ(0, file.Delete());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(Exists("a.bin"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, file.Delete());
  ASSERT_EQ(1u, sink.entries.size());
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, sink.entries[0].code);
}

TEST_F(BufferedFileTest, GetLocationFindsTheDriveOfThePathOrOfTheCurrentDirectory) {
  char cwd[1040] = {};
  ASSERT_NE(0u, GetCurrentDirectoryA(sizeof cwd, cwd));
  const int32_t currentDrive = static_cast<unsigned char>(cwd[0]);
  struct Row { const char* path; int32_t kind; int32_t letter; } rows[] = {
      {"D:\\data\\x.bin", kPortableLocationDrive, 'D'},
      {"e:x", kPortableLocationDrive, 'e'},
      {"\\\\server\\share\\x", kPortableLocationDrive, currentDrive},
      {"relative\\x.bin", kPortableLocationDrive, currentDrive},
      {"", kPortableLocationDrive, currentDrive},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    CPortableWinPFile file(row.path, kPortableOpenRead, nullptr);
    const PortableLocation location = file.GetLocation();
    EXPECT_EQ(row.kind, location.kind);
    EXPECT_EQ(row.letter, location.letter);
  }
  CPortableWinPFile none(nullptr, kPortableOpenRead, nullptr);
  EXPECT_EQ(kPortableLocationNoDrive, none.GetLocation().kind);
  EXPECT_EQ(0, none.GetLocation().letter);
}

TEST_F(BufferedFileTest, UnusablePathsGiveCodes) {
  ASSERT_TRUE(dir_.MakeDir("folder"));
  const std::string longPath = dir_.Path() + "\\" + std::string(2000, 'n');
  const std::string paths[] = {PathOf("folder"), PathOf("no\\such\\dir\\a.bin"), longPath};
  for (const std::string& path : paths) {
    SCOPED_TRACE(path.substr(0, 80));
    CPortableWinPFile file(path.c_str(), kPortableOpenWrite, nullptr);
    EXPECT_NE(0, WriteText(file, "x"));
    EXPECT_NE(0, file.GetError());
    EXPECT_FALSE(file.IsOpen());
  }
  CPortableWinPFile nameless(nullptr, kPortableOpenWrite, nullptr);
  EXPECT_EQ(ERROR_INVALID_NAME, WriteText(nameless, "x"));
  char name[4] = {'?'};
  EXPECT_STREQ("", nameless.GetFileName(name));
}

TEST_F(BufferedFileTest, FailedCallsAreRecordedAndReported) {
  struct Row { Call call; const char* what; } rows[] = {
      {Call::Write, "write"}, {Call::Read, "read"}, {Call::Position, "seek"},
      {Call::SetEnd, "truncate"}, {Call::Size, "size"}, {Call::Delete, "delete"},
      {Call::Create, "open"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FileCallRecorder recorder;
    RecordingSink sink;
    CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, &sink);
    if (row.call != Call::Create) {
      ASSERT_EQ(0, WriteText(file, "abc"));
    }
    recorder.FailCall(row.call, ERROR_DISK_FULL);
    char data[3] = {'q', 'q', 'q'};
    uint32_t count = 0;
    uint64_t size = 0;
    int32_t result = 0;
    switch (row.call) {
      case Call::Write: case Call::Create: result = WriteText(file, "x"); break;
      case Call::Read: result = file.Read(data, 3, &count); break;
      case Call::Position: result = file.Seek(kPortableSeekFromStart, 1); break;
      case Call::SetEnd: result = file.Truncate(); break;
      case Call::Size: result = file.GetSize(&size); break;
      default: result = file.Delete(); break;
    }
    EXPECT_EQ(ERROR_DISK_FULL, result);
    EXPECT_EQ(ERROR_DISK_FULL, file.GetError());
    EXPECT_EQ(std::string(row.call == Call::Read ? 3 : 0, '\0') + std::string(row.call == Call::Read ? 0 : 3, 'q'),
              std::string(data, 3));
    ASSERT_EQ(1u, sink.entries.size());
    EXPECT_EQ("ORINAPI_PORTABLE\\Windows\\CPortableWinPFile", sink.entries[0].source);
    EXPECT_EQ(ERROR_DISK_FULL, sink.entries[0].code);
    EXPECT_EQ(PathOf("a.bin"), sink.entries[0].path);
    EXPECT_GT(sink.entries[0].line, 0);
  }
}

// After CloseHandle the number may belong to another file: whatever it answered, it is not used
// (nor closed) again.
TEST_F(BufferedFileTest, AFailedCloseForgetsTheHandle) {
  FileCallRecorder recorder;
  RecordingSink sink;
  {
    CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenWrite, &sink);
    ASSERT_EQ(0, WriteText(file, "abc"));
    recorder.FailCall(Call::Close, ERROR_INVALID_HANDLE, 1, true);
    EXPECT_EQ(ERROR_INVALID_HANDLE, file.Close());
    EXPECT_EQ(ERROR_INVALID_HANDLE, file.GetError());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(0, file.Close());
  }
  EXPECT_EQ(1, recorder.CallCount(Call::Close));
  EXPECT_EQ(1u, sink.entries.size());
  EXPECT_EQ("abc", Contents("a.bin"));
}

TEST_F(BufferedFileTest, AWriteTheSystemCutShortIsAFailure) {
  FileCallRecorder recorder;
  CPortableWinPFile file(PathOf("a.bin").c_str(), kPortableOpenWrite, nullptr);
  recorder.ShortenTransfer(Call::Write, 2);
  uint32_t written = 0;
  EXPECT_EQ(kPortableFileRefused, file.Write("abcd", 4, &written));
  EXPECT_EQ(2u, written);
  EXPECT_EQ(kPortableFileRefused, file.GetError());
}

TEST_F(BufferedFileTest, RefusalsAreNotReported) {
  RecordingSink sink;
  CPortableWinPFile file(PathOf("a.bin").c_str(), 7, &sink);
  uint32_t count = 0;
  EXPECT_EQ(kPortableFileBadMode, file.Open(7));
  EXPECT_EQ(kPortableFileRefused, file.Read(nullptr, 1, &count));
  CPortableWinPFile other(PathOf("b.bin").c_str(), kPortableOpenReadWrite, &sink);
  EXPECT_EQ(kPortableFileBadOrigin, other.Seek(9, 0));
  EXPECT_TRUE(sink.entries.empty());
}

}  // namespace
