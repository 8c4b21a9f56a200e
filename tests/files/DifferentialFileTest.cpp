// Random operation sequences applied side by side to an unbuffered file, a buffered file and an
// in-memory model: contents, sizes and positions must agree at every step, with every transfer
// on the unbuffered handle checked for sector alignment. Seeded and reproducible; set
// ORIN_FILES_SEED to replay another sequence.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <malloc.h>
#include <string.h>

#include <memory>
#include <random>
#include <string>

#include "FileCallRecorder.h"
#include "ORINAPI_PORTABLE/Windows/CPortableUnBufWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/CPortableWinPFile.h"
#include "ORINAPI_PORTABLE/Windows/UnBufBufferPool.h"
#include "TestSupport.h"

namespace {

struct Model {
  std::string content;
  int64_t position = 0;
  // The unbuffered file is left closed by Truncate and Close; a write, a seek or a read that
  // transfers something opens it again at the position it kept.
  bool unbufferedOpen = true;
};

struct FileSetup {
  const char* name;
  uint32_t cachingFlags;
  uint32_t sectorSize;
};

class DifferentialFileTest : public ::testing::TestWithParam<FileSetup> {
 protected:
  uint32_t Seed() const {
    const char* text = getenv("ORIN_FILES_SEED");
    return text != nullptr ? static_cast<uint32_t>(strtoul(text, nullptr, 10)) : 20261208u;
  }

  // Mostly small transfers, some medium, a few up to the 400,000-byte maximum.
  uint32_t RandomCount() {
    const int kind = Uniform(0, 99);
    if (kind < 50) return static_cast<uint32_t>(Uniform(0, 2000));
    if (kind < 85) return static_cast<uint32_t>(Uniform(0, 70000));
    return static_cast<uint32_t>(Uniform(0, 400000));
  }
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  std::mt19937 random_;
};

TEST_P(DifferentialFileTest, AllThreeAgreeAfterEveryStep) {
  const FileSetup setup = GetParam();
  const uint32_t seed = Seed();
  random_.seed(seed + setup.cachingFlags * 7 + setup.sectorSize);
  testsupport::TempDir dir("df");
  filetest::FileCallRecorder recorder;
  recorder.FakeSectorSize(setup.sectorSize);
  const std::string unbufferedPath = dir.Join("unbuffered.bin");
  const std::string bufferedPath = dir.Join("buffered.bin");
  CPortableUnBufWinPFile unbuffered(unbufferedPath.c_str(), kPortableOpenReadWrite, setup.cachingFlags, nullptr);
  CPortableWinPFile buffered(bufferedPath.c_str(), kPortableOpenReadWrite, nullptr);
  ASSERT_EQ(setup.sectorSize, unbuffered.GetSectorSize());
  Model model;
  std::string data, fromUnbuffered, fromBuffered;
  // Half of the unbuffered transfers use page-aligned memory, which is transferred without a copy.
  std::unique_ptr<void, decltype(&_aligned_free)> aligned(_aligned_malloc(400000, 4096), &_aligned_free);
  ASSERT_NE(nullptr, aligned);
  char* const alignedBytes = static_cast<char*>(aligned.get());

  auto compareDisk = [&]() {
    EXPECT_EQ(model.content, testsupport::ReadWholeFile(unbufferedPath)) << "unbuffered file on disk";
    EXPECT_EQ(model.content, testsupport::ReadWholeFile(bufferedPath)) << "buffered file on disk";
  };

  const int steps = 1500;
  for (int step = 0; step < steps && !HasFailure(); ++step) {
    const int operation = Uniform(0, 99);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", step " << step << ", operation " << operation
                                    << ", position " << model.position << ", size " << model.content.size());
    const int64_t size = static_cast<int64_t>(model.content.size());
    if (operation < 35) {
      const uint32_t count = RandomCount();
      data.resize(count);
      for (uint32_t i = 0; i < count; ++i) data[i] = static_cast<char>(random_() & 0xFF);
      uint32_t writtenU = 1, writtenB = 1;
      const char* source = data.data();
      if (Uniform(0, 1) == 1) source = static_cast<const char*>(memcpy(alignedBytes, data.data(), count));
      ASSERT_EQ(0, unbuffered.Write(source, count, &writtenU)) << "write " << count;
      ASSERT_EQ(0, buffered.Write(data.data(), count, &writtenB)) << "write " << count;
      ASSERT_EQ(count, writtenU);
      ASSERT_EQ(count, writtenB);
      const size_t end = static_cast<size_t>(model.position) + count;
      if (end > model.content.size()) model.content.resize(end, '\0');
      model.content.replace(static_cast<size_t>(model.position), count, data);
      model.position = static_cast<int64_t>(end);
      if (count > 0) model.unbufferedOpen = true;
    } else if (operation < 65) {
      const uint32_t count = RandomCount();
      fromUnbuffered.assign(count, 'u');
      fromBuffered.assign(count, 'b');
      uint32_t readU = 1, readB = 1;
      if (Uniform(0, 1) == 1) {
        ASSERT_EQ(0, unbuffered.Read(alignedBytes, count, &readU)) << "aligned read " << count;
        fromUnbuffered.assign(alignedBytes, count);
      } else {
        ASSERT_EQ(0, unbuffered.Read(&fromUnbuffered[0], count, &readU)) << "read " << count;
      }
      ASSERT_EQ(0, buffered.Read(&fromBuffered[0], count, &readB)) << "read " << count;
      const int64_t available = model.position < size ? size - model.position : 0;
      const uint32_t expected = static_cast<uint32_t>(available < count ? available : count);
      ASSERT_EQ(expected, readU);
      ASSERT_EQ(expected, readB);
      std::string wanted = model.content.substr(static_cast<size_t>(model.position < size ? model.position : size), expected);
      wanted.resize(count, '\0');
      ASSERT_TRUE(wanted == fromUnbuffered) << "unbuffered read of " << count << " at " << model.position;
      ASSERT_TRUE(wanted == fromBuffered) << "buffered read of " << count << " at " << model.position;
      model.position += expected;
      if (expected > 0) model.unbufferedOpen = true;
    } else if (operation < 88) {
      int32_t origin = Uniform(1, 3);
      int64_t target = 0, distance = 0;
      switch (origin) {
        case kPortableSeekFromStart: target = Uniform(0, static_cast<int>(size) + 200000); distance = target; break;
        case kPortableSeekFromEnd: distance = Uniform(-static_cast<int>(size), 5000); target = size + distance; break;
        default: distance = Uniform(-static_cast<int>(model.position), 100000); target = model.position + distance; break;
      }
      ASSERT_EQ(0, unbuffered.Seek(origin, distance)) << "seek " << origin << " by " << distance;
      ASSERT_EQ(0, buffered.Seek(origin, distance)) << "seek " << origin << " by " << distance;
      model.position = target;
      model.unbufferedOpen = true;
    } else if (operation < 94) {
      ASSERT_EQ(0, unbuffered.Truncate());
      ASSERT_EQ(0, buffered.Truncate());
      model.content.resize(static_cast<size_t>(model.position), '\0');
      model.unbufferedOpen = false;
    } else {
      ASSERT_EQ(0, unbuffered.Close());
      ASSERT_EQ(0, buffered.Close());
      compareDisk();
      // Closing an open file starts over at 0; an already closed one keeps its position, and the
      // buffered file (whose reopening starts at 0) is brought there to stay in step.
      if (model.unbufferedOpen) {
        model.position = 0;
      } else {
        ASSERT_EQ(0, buffered.Seek(kPortableSeekFromStart, model.position));
      }
      model.unbufferedOpen = false;
    }

    int64_t positionU = -1, positionB = -1;
    ASSERT_EQ(0, unbuffered.GetPosition(&positionU));
    ASSERT_EQ(0, buffered.GetPosition(&positionB));
    ASSERT_EQ(model.position, positionU);
    ASSERT_EQ(model.position, positionB);
    ASSERT_EQ(model.unbufferedOpen, unbuffered.IsOpen());
    ASSERT_EQ(static_cast<int64_t>(model.content.size()), unbuffered.GetLogicalSize());
    uint64_t bufferedSize = 0;
    ASSERT_EQ(0, buffered.GetSize(&bufferedSize));
    ASSERT_EQ(model.content.size(), bufferedSize);
    ASSERT_EQ(0, recorder.AlignmentViolations());
    recorder.ClearTransfers();
  }
  ASSERT_EQ(0, unbuffered.Close());
  ASSERT_EQ(0, buffered.Close());
  compareDisk();
  EXPECT_EQ(UnBufBufferPool::kBufferCount, UnBufBufferPool::FreeCount());
}

INSTANTIATE_TEST_SUITE_P(Setups, DifferentialFileTest,
                         ::testing::Values(FileSetup{"Direct512", 0, 512}, FileSetup{"Cached512", kUnBufCaching, 512},
                                           FileSetup{"Direct4096", 0, 4096}, FileSetup{"Cached4096", kUnBufCaching, 4096}),
                         [](const ::testing::TestParamInfo<FileSetup>& info) { return std::string(info.param.name); });

}  // namespace
