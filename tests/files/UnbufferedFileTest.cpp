// The unbuffered file on real files: transfer patterns checked call by call through the
// recorder (which also fails any unaligned transfer), life cycle, pool and failure paths.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <memory>
#include <string>
#include <vector>

#include "FileCallRecorder.h"
#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/UnBufBufferPool.h"
#include "TestSupport.h"

using filetest::Call;
using filetest::FileCallRecorder;
using filetest::RecordingSink;
using filetest::Transfer;

namespace {

class UnbufferedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(UnBufBufferPool::kBufferCount, UnBufBufferPool::FreeCount());
    recorder_.FakeSectorSize(512);
  }
  void TearDown() override { EXPECT_EQ(UnBufBufferPool::kBufferCount, UnBufBufferPool::FreeCount()); }

  std::string PathOf(const char* name) const { return dir_.Join(name); }
  std::string Contents(const char* name) const { return testsupport::ReadWholeFile(PathOf(name)); }

  static std::string Pattern(size_t size, int seed = 0) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + seed) % 26);
    return bytes;
  }
  static int32_t WriteText(CPortableFile& file, const std::string& text) {
    uint32_t written = 0;
    const int32_t result = file.Write(text.data(), static_cast<uint32_t>(text.size()), &written);
    EXPECT_EQ(result == 0 ? text.size() : written, written);
    return result;
  }
  static int64_t PositionOf(CPortableFile& file) {
    int64_t position = -1;
    EXPECT_EQ(0, file.GetPosition(&position));
    return position;
  }

  testsupport::TempDir dir_{"ub"};
  FileCallRecorder recorder_;
};

TEST_F(UnbufferedFileTest, PartialSectorsAreReadChangedAndWrittenWhole) {
  struct Row {
    const char* name;
    int64_t at;
    size_t count;
    std::vector<Transfer> transfers;
  } rows[] = {
      {"10 at 0", 0, 10, {{'P', 0, 0}, {'R', 0, 512}, {'P', 0, 0}, {'W', 0, 512}}},
      {"700 at 500", 500, 700,
       {{'P', 0, 0}, {'R', 0, 512}, {'P', 0, 0}, {'W', 0, 512}, {'W', 512, 512},
        {'R', 1024, 512}, {'P', 1024, 0}, {'W', 1024, 512}}},
      {"300000 at 0", 0, 300000,
       {{'P', 0, 0}, {'W', 0, 131072}, {'W', 131072, 131072}, {'W', 262144, 37376},
        {'R', 299520, 512}, {'P', 299520, 0}, {'W', 299520, 512}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = PathOf(row.name);
    CPortableUnBufWinPFile file(path.c_str(), kPortableOpenReadWrite, 0, nullptr);
    ASSERT_EQ(512u, file.GetSectorSize());
    ASSERT_EQ(131072u, file.GetBufferSize());
    ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, row.at));
    recorder_.ClearTransfers();
    const std::string data = Pattern(row.count);
    ASSERT_EQ(0, WriteText(file, data));
    EXPECT_EQ(filetest::Describe(row.transfers), filetest::Describe(recorder_.Transfers()));
    const int64_t end = row.at + static_cast<int64_t>(row.count);
    EXPECT_EQ(end, PositionOf(file));
    EXPECT_EQ(end, file.GetLogicalSize());
    uint64_t onDisk = 0;
    ASSERT_EQ(0, file.GetSize(&onDisk));
    EXPECT_EQ(static_cast<uint64_t>((end + 511) / 512 * 512), onDisk);
    EXPECT_EQ(0, file.Close());
    EXPECT_EQ(std::string(static_cast<size_t>(row.at), '\0') + data, testsupport::ReadWholeFile(path));
  }
  EXPECT_EQ(0, recorder_.AlignmentViolations());
}

TEST_F(UnbufferedFileTest, ReadsAreCutAtTheLogicalEnd) {
  ASSERT_TRUE(dir_.WriteFile("a.bin", Pattern(1500)));
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenRead, 0, nullptr);
  EXPECT_EQ(1500, file.GetLogicalSize());
  std::string buffer(2000, 'z');
  uint32_t read = 0;
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 700));
  EXPECT_EQ(0, file.Read(&buffer[0], 2000, &read));
  EXPECT_EQ(800u, read);
  EXPECT_EQ(Pattern(1500).substr(700), buffer.substr(0, 800));
  EXPECT_EQ(std::string(1200, '\0'), buffer.substr(800));
  EXPECT_EQ(0, file.Read(&buffer[0], 10, &read));
  EXPECT_EQ(0u, read);
  buffer.assign(2000, 'z');
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 0));
  recorder_.FailCall(Call::Read, ERROR_CRC, 2);  // the tail, after 1,024 bytes in one piece
  EXPECT_EQ(ERROR_CRC, file.Read(&buffer[0], 2000, &read));
  EXPECT_EQ(1024u, read);
  EXPECT_EQ(Pattern(1024), buffer.substr(0, 1024));
  EXPECT_EQ(std::string(976, '\0'), buffer.substr(1024));
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, int64_t{1} << 40));
  EXPECT_EQ(0, file.Read(&buffer[0], 10, &read));
  EXPECT_EQ(0u, read);
  EXPECT_EQ(0, recorder_.AlignmentViolations());
}

TEST_F(UnbufferedFileTest, ModesForbidWhatTheyDoNotAllow) {
  ASSERT_TRUE(dir_.WriteFile("a.bin", "abc"));
  char data[3] = {};
  uint32_t count = 0;
  CPortableUnBufWinPFile reader(PathOf("a.bin").c_str(), kPortableOpenRead, 0, nullptr);
  EXPECT_EQ(kPortableFileRefused, reader.Write(data, 3, &count));
  EXPECT_EQ(kPortableFileRefused, reader.Truncate());
  reader.Close();
  CPortableUnBufWinPFile writer(PathOf("a.bin").c_str(), kPortableOpenWrite, 0, nullptr);
  EXPECT_EQ(kPortableFileRefused, writer.Read(data, 3, &count));
  EXPECT_EQ(kPortableFileRefused, writer.Write(nullptr, 3, &count));
  EXPECT_EQ(kPortableFileRefused, writer.Write(data, 3, nullptr));
  EXPECT_EQ(kPortableFileRefused, writer.GetPosition(nullptr));
  writer.Close();
  CPortableUnBufWinPFile both(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, nullptr);
  EXPECT_EQ(kPortableFileRefused, both.Read(nullptr, 3, &count));
  EXPECT_EQ(kPortableFileRefused, both.Read(data, 3, nullptr));
  both.Close();
  for (int32_t mode : {0, 7, -2}) {
    SCOPED_TRACE(mode);
    CPortableUnBufWinPFile bad(PathOf("b.bin").c_str(), mode, 0, nullptr);
    EXPECT_EQ(kPortableFileBadMode, bad.GetError());
    EXPECT_FALSE(bad.IsOpen());
    EXPECT_EQ(kPortableFileBadMode, bad.Seek(kPortableSeekFromStart, 0));
    EXPECT_EQ(kPortableFileBadMode, bad.Truncate());
  }
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(PathOf("b.bin").c_str()));
  EXPECT_EQ("abc", Contents("a.bin"));
}

TEST_F(UnbufferedFileTest, WriteModeKeepsExistingContent) {
  ASSERT_TRUE(dir_.WriteFile("a.bin", Pattern(1000)));
  {
    CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenWrite, 0, nullptr);
    EXPECT_TRUE(file.IsOpen());
    ASSERT_EQ(0, WriteText(file, "XYZ"));
  }
  EXPECT_EQ("XYZ" + Pattern(1000).substr(3), Contents("a.bin"));
}

TEST_F(UnbufferedFileTest, AWriteBeyondTheEndLeavesZerosInTheGap) {
  ASSERT_TRUE(dir_.WriteFile("a.bin", "head"));
  {
    CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, nullptr);
    ASSERT_EQ(0, file.Seek(kPortableSeekFromEnd, 100000));
    ASSERT_EQ(0, WriteText(file, "tail"));
    EXPECT_EQ(100008, file.GetLogicalSize());
  }
  EXPECT_EQ("head" + std::string(100000, '\0') + "tail", Contents("a.bin"));
  EXPECT_EQ(0, recorder_.AlignmentViolations());
}

TEST_F(UnbufferedFileTest, NegativePositionsAreRefused) {
  RecordingSink sink;
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, &sink);
  ASSERT_EQ(0, WriteText(file, "abc"));
  EXPECT_EQ(ERROR_NEGATIVE_SEEK, file.Seek(kPortableSeekFromStart, -1));
  EXPECT_EQ(ERROR_NEGATIVE_SEEK, file.Seek(kPortableSeekFromCurrent, -4));
  EXPECT_EQ(kPortableFileBadOrigin, file.Seek(4, 0));
  EXPECT_EQ(3, PositionOf(file));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, file.Seek(kPortableSeekFromCurrent, INT64_MAX));
  EXPECT_EQ(3u, sink.entries.size());
}

TEST_F(UnbufferedFileTest, TruncateCutsClosesAndKeepsThePosition) {
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, nullptr);
  ASSERT_EQ(0, WriteText(file, Pattern(5000)));
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 1000));
  EXPECT_EQ(0, file.Truncate());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(1000, PositionOf(file));
  EXPECT_EQ(Pattern(1000), Contents("a.bin"));
  ASSERT_EQ(0, WriteText(file, "more"));
  EXPECT_EQ(1004, PositionOf(file));
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ(Pattern(1000) + "more", Contents("a.bin"));

  // A closed file is opened for the cut, and a seek after the cut continues from the position.
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 10));
  file.Close();
  EXPECT_EQ(0, file.Truncate());
  EXPECT_EQ("", Contents("a.bin"));
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 600));
  EXPECT_EQ(0, file.Truncate());
  ASSERT_EQ(0, file.Seek(kPortableSeekFromCurrent, 0));
  EXPECT_EQ(600, PositionOf(file));
  file.Close();
  EXPECT_EQ(std::string(600, '\0'), Contents("a.bin"));
}

// A file left closed by Truncate keeps its position through Close and into a clone.
TEST_F(UnbufferedFileTest, AClosedFileKeepsItsPositionThroughCloseAndClone) {
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, nullptr);
  ASSERT_EQ(0, WriteText(file, Pattern(5000)));
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 1000));
  ASSERT_EQ(0, file.Truncate());
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ(1000, PositionOf(file));
  ASSERT_EQ(0, WriteText(file, "more"));
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 500));
  ASSERT_EQ(0, file.Truncate());
  std::unique_ptr<CPortableFile> clone(file.Clone());
  ASSERT_NE(nullptr, clone);
  EXPECT_EQ(500, PositionOf(*clone));
  ASSERT_EQ(0, WriteText(*clone, "X"));
  clone.reset();
  EXPECT_EQ(Pattern(500) + "X", Contents("a.bin"));
}

// Far positions: nothing may wrap, and offsets past 4 GiB reach the disk whole.
TEST_F(UnbufferedFileTest, ACachedReadNearTheLargestPositionReadsNothing) {
  ASSERT_TRUE(dir_.WriteFile("a.bin", Pattern(4000)));
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, kUnBufCaching, nullptr);
  std::string data(100, 'z');
  uint32_t read = 7;
  ASSERT_EQ(0, file.Read(&data[0], 10, &read));
  const int64_t nearEnd = INT64_MAX - 10;
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, nearEnd));
  EXPECT_EQ(0, file.Read(&data[0], 100, &read));
  EXPECT_EQ(0u, read);
  EXPECT_EQ(std::string(100, '\0'), data);
  EXPECT_EQ(nearEnd, PositionOf(file));
}

TEST_F(UnbufferedFileTest, AWriteAt5GiBLandsThereInASparseFile) {
  const int64_t beyond4GiB = (5LL << 30) + 700;
  const std::string path = PathOf("far.bin");
  HANDLE raw = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, raw);
  DWORD ignored = 0;  // Wine leaves holes anyway; elsewhere the flag keeps the gap off the disk
  DeviceIoControl(raw, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  CloseHandle(raw);
  {
    CPortableUnBufWinPFile file(path.c_str(), kPortableOpenReadWrite, 0, nullptr);
    ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, beyond4GiB));
    ASSERT_EQ(0, WriteText(file, "far bytes"));
    ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, beyond4GiB - 3));
    std::string back(12, 'z');
    uint32_t read = 0;
    ASSERT_EQ(0, file.Read(&back[0], 12, &read));
    EXPECT_EQ(std::string(3, '\0') + "far bytes", back);
    EXPECT_EQ(0, file.Close());
  }
  // Read back past the class, so that a cut offset cannot hide behind a matching one.
  raw = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, raw);
  LARGE_INTEGER size = {}, at = {};
  at.QuadPart = beyond4GiB;
  char bytes[16] = {};
  DWORD got = 0;
  EXPECT_TRUE(GetFileSizeEx(raw, &size));
  EXPECT_TRUE(SetFilePointerEx(raw, at, nullptr, FILE_BEGIN));
  EXPECT_TRUE(ReadFile(raw, bytes, sizeof bytes, &got, nullptr));
  CloseHandle(raw);
  EXPECT_EQ(beyond4GiB + 9, size.QuadPart);
  EXPECT_EQ("far bytes", std::string(bytes, got));
}

TEST_F(UnbufferedFileTest, CloneClosesTheOriginalWhichReopensLater) {
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, nullptr);
  ASSERT_EQ(0, WriteText(file, "0123456789"));
  std::unique_ptr<CPortableFile> clone(file.Clone());
  ASSERT_NE(nullptr, clone);
  EXPECT_FALSE(file.IsOpen());
  char data[10] = {};
  uint32_t read = 0;
  EXPECT_EQ(0, clone->Read(data, 10, &read));
  EXPECT_EQ("0123456789", std::string(data, read));
  EXPECT_EQ(ERROR_SHARING_VIOLATION, file.Read(data, 10, &read));  // the clone holds it
  clone.reset();
  EXPECT_EQ("0123456789", Contents("a.bin"));
  EXPECT_EQ(0, file.Read(data, 10, &read));
  EXPECT_EQ(10u, read);
}

TEST_F(UnbufferedFileTest, GetSizeOnAClosedFileLeavesItReadOnly) {
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, nullptr);
  ASSERT_EQ(0, WriteText(file, "abc"));
  ASSERT_EQ(0, file.Close());
  uint64_t size = 0;
  EXPECT_EQ(0, file.GetSize(&size));
  EXPECT_EQ(3u, size);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(kPortableOpenRead, file.GetMode());
  EXPECT_EQ(0, PositionOf(file));
  EXPECT_EQ(kPortableFileRefused, WriteText(file, "x"));
}

TEST_F(UnbufferedFileTest, TheSixthFileFindsNoPoolBuffer) {
  ASSERT_TRUE(dir_.WriteFile("f5", "old!"));
  std::vector<std::unique_ptr<CPortableUnBufWinPFile>> files;
  for (int i = 0; i < 6; ++i) {
    const std::string path = PathOf(("f" + std::to_string(i)).c_str());
    files.emplace_back(new CPortableUnBufWinPFile(path.c_str(), kPortableOpenReadWrite, 0, nullptr));
  }
  for (int i = 0; i < 5; ++i) ASSERT_EQ(0, WriteText(*files[i], "held"));
  EXPECT_EQ(0, UnBufBufferPool::FreeCount());
  char data[4] = {};
  uint32_t count = 9;
  EXPECT_EQ(kPortableFileRefused, files[5]->Write("data", 4, &count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(kPortableFileRefused, files[5]->GetError());
  EXPECT_EQ(kPortableFileRefused, files[5]->Read(data, 4, &count));
  ASSERT_EQ(0, files[0]->Close());
  EXPECT_EQ(0, WriteText(*files[5], "data"));
  files.clear();
  EXPECT_EQ("data", Contents("f5"));
}

TEST_F(UnbufferedFileTest, PoolBuffersArePageAlignedAndDisjoint) {
  static unsigned char area[UnBufBufferPool::kAreaSize + 300];
  struct Row { size_t shift; uint32_t page; int expected; uint32_t length; } rows[] = {
      {0, 4096, 5, 131072}, {123, 4096, 5, 131072}, {7, 65536, 5, 131072}, {0, 262144, 2, 262144},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "page " << row.page << " shift " << row.shift);
    unsigned char* starts[UnBufBufferPool::kBufferCount];
    UnBufBufferPool::LayOut(area + row.shift, UnBufBufferPool::kAreaSize, row.page, starts);
    int usable = 0;
    for (int i = 0; i < UnBufBufferPool::kBufferCount; ++i) {
      if (starts[i] == nullptr) continue;
      ++usable;
      EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(starts[i]) % row.page);
      EXPECT_GE(starts[i], area + row.shift);
      EXPECT_LE(starts[i] + row.length, area + row.shift + UnBufBufferPool::kAreaSize);
      if (i > 0 && starts[i - 1] != nullptr) {
        EXPECT_GE(starts[i], starts[i - 1] + row.length);
      }
    }
    EXPECT_GE(usable, row.expected);
  }
}

TEST_F(UnbufferedFileTest, AFailedSectorQueryFallsBackTo512AndIsReported) {
  RecordingSink sink;
  recorder_.FailCall(Call::DiskFreeSpace, ERROR_NOT_READY);
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, &sink);
  EXPECT_EQ(512u, file.GetSectorSize());
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(0, file.GetError());
  ASSERT_EQ(1u, sink.entries.size());
  EXPECT_EQ("ORINAPI_PORTABLE\\Windows\\CPortableUnBufWinPFile", sink.entries[0].source);
  EXPECT_EQ(ERROR_NOT_READY, sink.entries[0].code);
  EXPECT_EQ(PathOf("a.bin"), sink.entries[0].path);
}

TEST_F(UnbufferedFileTest, FailedTransfersAreRecordedReportedAndReturned) {
  struct Row { Call call; int nth; size_t at; size_t count; } rows[] = {
      {Call::Position, 1, 0, 10}, {Call::Read, 1, 5, 10}, {Call::Write, 1, 0, 10},
      {Call::Write, 2, 0, 300000}, {Call::Read, 1, 0, 1000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "call " << static_cast<int>(row.call) << " count " << row.count);
    RecordingSink sink;
    CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, &sink);
    ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, static_cast<int64_t>(row.at)));
    recorder_.FailCall(row.call, ERROR_CRC, row.nth);
    EXPECT_EQ(ERROR_CRC, WriteText(file, Pattern(row.count)));
    EXPECT_EQ(ERROR_CRC, file.GetError());
    ASSERT_FALSE(sink.entries.empty());
    EXPECT_EQ(ERROR_CRC, sink.entries.back().code);
    file.Close();
    DeleteFileA(PathOf("a.bin").c_str());
  }
}

TEST_F(UnbufferedFileTest, AWriteThatFailsWithoutACodeGivesMinusOne) {
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, 0, nullptr);
  recorder_.FailCall(Call::Write, 0);
  EXPECT_EQ(kPortableFileRefused, WriteText(file, Pattern(1024)));
}

// A failed step of Close is returned and agrees with GetError(). A failed flush or cut leaves the
// length alone and the file open, so the next Close finishes the job; a failed CloseHandle comes
// after the cut, and the handle is never used again.
TEST_F(UnbufferedFileTest, AFailedStepOfCloseIsReturnedAndCanBeRetried) {
  struct Row { const char* name; Call call; uint32_t code; uint32_t caching; bool pass; bool staysOpen; } rows[] = {
      {"cut positioning", Call::Position, ERROR_ACCESS_DENIED, 0, false, true},
      {"cut", Call::SetEnd, ERROR_LOCK_VIOLATION, 0, false, true},
      {"flush", Call::Write, ERROR_DISK_FULL, kUnBufCaching, false, true},
      {"close", Call::Close, ERROR_INVALID_HANDLE, 0, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RecordingSink sink;
    CPortableUnBufWinPFile file(PathOf(row.name).c_str(), kPortableOpenReadWrite, row.caching, &sink);
    ASSERT_EQ(0, WriteText(file, "abc"));
    recorder_.FailCall(row.call, row.code, 1, row.pass);
    EXPECT_EQ(static_cast<int32_t>(row.code), file.Close());
    EXPECT_EQ(static_cast<int32_t>(row.code), file.GetError());
    EXPECT_EQ(row.staysOpen, file.IsOpen());
    ASSERT_EQ(1u, sink.entries.size());
    EXPECT_EQ(static_cast<int32_t>(row.code), sink.entries[0].code);
    uint64_t size = 1;
    if (row.staysOpen && file.GetSize(&size) == 0) {
      EXPECT_EQ(row.caching ? 0u : 512u, size);  // neither cut at 0 nor finished
    }
    const int closes = recorder_.CallCount(Call::Close);
    EXPECT_EQ(0, file.Close());
    EXPECT_EQ(closes + (row.staysOpen ? 1 : 0), recorder_.CallCount(Call::Close));
    EXPECT_EQ("abc", Contents(row.name));
  }
  // With the pool exhausted the flush cannot run: -1, told by GetError() too, and the bytes wait.
  CPortableUnBufWinPFile file(PathOf("pool").c_str(), kPortableOpenReadWrite, kUnBufCaching, nullptr);
  ASSERT_EQ(0, WriteText(file, "xyz"));
  std::vector<void*> taken;
  while (void* buffer = UnBufBufferPool::Take()) taken.push_back(buffer);
  EXPECT_EQ(kPortableFileRefused, file.Close());
  EXPECT_EQ(kPortableFileRefused, file.GetError());
  for (void* buffer : taken) UnBufBufferPool::GiveBack(buffer);
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ("xyz", Contents("pool"));
}

// A size that was never read is unknown, not 0: the next open learns it, and Close never cuts the
// file to a size the object did not learn or set.
TEST_F(UnbufferedFileTest, ASizeNotLearnedAtConstructionIsLearnedByTheNextOpen) {
  struct Row { const char* name; Call call; uint32_t code; } rows[] = {
      {"open", Call::Create, ERROR_SHARING_VIOLATION},
      {"size", Call::Size, ERROR_ACCESS_DENIED},
  };
  const std::string original = Pattern(200000);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(dir_.WriteFile(row.name, original));
    recorder_.FailCall(row.call, row.code);
    CPortableUnBufWinPFile file(PathOf(row.name).c_str(), kPortableOpenReadWrite, 0, nullptr);
    EXPECT_EQ(static_cast<int32_t>(row.code), file.GetError());
    EXPECT_FALSE(file.IsOpen());
    recorder_.FailCall(row.call, row.code);  // and again at the first reopen
    EXPECT_EQ(static_cast<int32_t>(row.code), WriteText(file, "WXYZ"));
    EXPECT_EQ(original, Contents(row.name));
    ASSERT_EQ(0, WriteText(file, "WXYZ"));
    EXPECT_EQ(200000, file.GetLogicalSize());
    EXPECT_EQ(0, file.Close());
    EXPECT_EQ("WXYZ" + original.substr(4), Contents(row.name));
  }
}

// A read that stops short before the end of the file is a failure: its zeros are neither handed
// out nor written back over the file by a read-modify-write.
TEST_F(UnbufferedFileTest, AShortReadInsideTheFileFailsAndWritesNothing) {
  struct Row { const char* name; uint32_t caching; bool write; } rows[] = {
      {"read", 0, false}, {"cached read", kUnBufCaching, false}, {"partial write", 0, true},
  };
  const std::string original = Pattern(4000);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(dir_.WriteFile(row.name, original));
    CPortableUnBufWinPFile file(PathOf(row.name).c_str(), kPortableOpenReadWrite, row.caching, nullptr);
    ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 1000));
    recorder_.ShortenTransfer(Call::Read, 100);
    char data[100];
    uint32_t read = 0;
    const int32_t result = row.write ? WriteText(file, "HERE") : file.Read(data, 100, &read);
    EXPECT_EQ(ERROR_HANDLE_EOF, result);
    EXPECT_EQ(ERROR_HANDLE_EOF, file.GetError());
    EXPECT_EQ(0, file.Close());
    EXPECT_EQ(original, Contents(row.name));
  }
}

TEST_F(UnbufferedFileTest, UnusablePathsGiveCodes) {
  ASSERT_TRUE(dir_.MakeDir("folder"));
  const std::string longPath = dir_.Path() + "\\" + std::string(2000, 'n');
  const std::string paths[] = {PathOf("folder"), PathOf("no\\such\\dir\\a.bin"), longPath, ""};
  for (const std::string& path : paths) {
    SCOPED_TRACE(path.substr(0, 80));
    CPortableUnBufWinPFile file(path.c_str(), kPortableOpenReadWrite, 0, nullptr);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_NE(0, file.GetError());
    EXPECT_NE(0, WriteText(file, "x"));
    char data[1];
    uint32_t read = 0;
    EXPECT_EQ(file.GetError(), file.Read(data, 1, &read));  // the size is unknown
    EXPECT_NE(0, file.GetError());
  }
  CPortableUnBufWinPFile nameless(nullptr, kPortableOpenReadWrite, 0, nullptr);
  EXPECT_EQ(ERROR_INVALID_NAME, nameless.GetError());
}

// Write-behind: bytes that could not be written stay staged and the failure reaches the caller.
TEST_F(UnbufferedFileTest, AFailedWriteBehindKeepsTheBytesAndReturnsTheCode) {
  RecordingSink sink;
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, kUnBufCaching, &sink);
  ASSERT_TRUE(file.IsCaching());
  ASSERT_EQ(0, WriteText(file, Pattern(700)));
  EXPECT_EQ(0, recorder_.CallCount(Call::Write));  // still staged
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 0));  // flushes
  const int written = recorder_.CallCount(Call::Write);
  EXPECT_GT(written, 0);
  ASSERT_EQ(0, file.Seek(kPortableSeekFromEnd, 0));
  ASSERT_EQ(0, WriteText(file, Pattern(300, 5)));

  recorder_.FailCall(Call::Write, ERROR_DISK_FULL);
  std::string data(1000, '\0');
  uint32_t read = 0;
  EXPECT_EQ(ERROR_DISK_FULL, file.Read(&data[0], 1000, &read));
  EXPECT_EQ(ERROR_DISK_FULL, sink.entries.back().code);
  recorder_.FailCall(Call::Write, ERROR_DISK_FULL);
  EXPECT_EQ(ERROR_DISK_FULL, file.Seek(kPortableSeekFromStart, 0));
  EXPECT_EQ(1000, PositionOf(file));

  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 0));  // now the flush succeeds
  EXPECT_EQ(0, file.Read(&data[0], 1000, &read));
  EXPECT_EQ(1000u, read);
  EXPECT_EQ(Pattern(700) + Pattern(300, 5), data);

  // Without a second pool buffer the flush cannot run; the bytes wait for one.
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 10));
  ASSERT_EQ(0, WriteText(file, "NEW"));
  std::vector<void*> taken;
  while (void* buffer = UnBufBufferPool::Take()) taken.push_back(buffer);
  EXPECT_EQ(kPortableFileRefused, file.Seek(kPortableSeekFromStart, 0));
  for (void* buffer : taken) UnBufBufferPool::GiveBack(buffer);
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ(Pattern(10) + "NEW" + (Pattern(700) + Pattern(300, 5)).substr(13), Contents("a.bin"));
  EXPECT_EQ(0, recorder_.AlignmentViolations());
}

// Whole sectors staged from a sector boundary go to the disk from the file's own buffer: no second
// pool buffer is needed, and a failed write keeps them staged.
TEST_F(UnbufferedFileTest, WholeStagedSectorsAreWrittenFromTheFilesOwnBuffer) {
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, kUnBufCaching, nullptr);
  ASSERT_EQ(0, WriteText(file, Pattern(1024)));
  recorder_.FailCall(Call::Write, ERROR_DISK_FULL);
  EXPECT_EQ(ERROR_DISK_FULL, file.Seek(kPortableSeekFromStart, 0));
  std::vector<void*> taken;
  while (void* buffer = UnBufBufferPool::Take()) taken.push_back(buffer);
  EXPECT_EQ(0, file.Seek(kPortableSeekFromStart, 0));
  for (void* buffer : taken) UnBufBufferPool::GiveBack(buffer);
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ(Pattern(1024), Contents("a.bin"));
  EXPECT_EQ(0, recorder_.AlignmentViolations());
}

// Read-ahead in mode 3 followed by a write: the write lands where it was made.
TEST_F(UnbufferedFileTest, AWriteAfterReadAheadLandsAtItsPosition) {
  ASSERT_TRUE(dir_.WriteFile("a.bin", Pattern(4000)));
  CPortableUnBufWinPFile file(PathOf("a.bin").c_str(), kPortableOpenReadWrite, kUnBufCaching, nullptr);
  char data[100];
  uint32_t read = 0;
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 1000));
  ASSERT_EQ(0, file.Read(data, 100, &read));
  const int reads = recorder_.CallCount(Call::Read);
  ASSERT_EQ(0, file.Read(data, 100, &read));  // served from the read-ahead
  EXPECT_EQ(reads, recorder_.CallCount(Call::Read));
  ASSERT_EQ(0, WriteText(file, "HERE"));
  ASSERT_EQ(0, file.Seek(kPortableSeekFromStart, 1196));
  ASSERT_EQ(0, file.Read(data, 12, &read));
  EXPECT_EQ(Pattern(4000).substr(1196, 4) + "HERE" + Pattern(4000).substr(1204, 4), std::string(data, 12));
  EXPECT_EQ(0, file.Close());
  std::string expected = Pattern(4000);
  expected.replace(1200, 4, "HERE");
  EXPECT_EQ(expected, Contents("a.bin"));
}

}  // namespace
