// The text buffer's growth, zeroing and copying rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "OrinRobo/CPortableString.h"

namespace {

// Every byte from the text's end to the end of the buffer is zero.
::testing::AssertionResult ZeroTail(const CPortableString& s) {
  for (int i = s.Length(); i < s.Capacity(); ++i) {
    if (s.Text()[i] != '\0') return ::testing::AssertionFailure() << "byte " << i << " is not zero";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(CPortableString, DefaultHasSixZeroedBytes) {
  CPortableString s;
  EXPECT_EQ(6, s.Capacity());
  EXPECT_EQ(0, s.Length());
  EXPECT_TRUE(ZeroTail(s));
}

TEST(CPortableString, ConstructionGrowsToTwiceTheLengthPlusTwo) {
  const struct {
    const char* text;
    int capacity;
  } rows[] = {{"", 6}, {"abcd", 6}, {"abcde", 12}, {"0123456789", 22}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    CPortableString s(row.text);
    EXPECT_EQ(row.capacity, s.Capacity());
    EXPECT_EQ(static_cast<int>(std::strlen(row.text)), s.Length());
    EXPECT_STREQ(row.text, s.Text());
    EXPECT_TRUE(ZeroTail(s));
  }
}

TEST(CPortableString, ConstructionWithLengthCopiesExactlyThatManyBytes) {
  CPortableString part("abcdef", 3);
  EXPECT_STREQ("abc", part.Text());
  EXPECT_EQ(3, part.Length());

  CPortableString fromNull(nullptr, -1);
  EXPECT_EQ(0, fromNull.Length());
  EXPECT_EQ(6, fromNull.Capacity());

  CPortableString nullWithLength(nullptr, 40);  // a null text is empty whatever the length says
  EXPECT_EQ(0, nullWithLength.Length());
}

TEST(CPortableString, CopiesAreIndependentAndZeroed) {
  CPortableString original("some path text");
  CPortableString copy(original);
  original.Text()[0] = 'X';
  EXPECT_STREQ("some path text", copy.Text());
  EXPECT_TRUE(ZeroTail(copy));
}

TEST(CPortableString, AssignmentFromStringZeroesTheRestOfTheBuffer) {
  CPortableString target("a rather long text that grows the buffer");
  const int grownCapacity = target.Capacity();
  CPortableString shorter("short");
  target = shorter;
  EXPECT_STREQ("short", target.Text());
  EXPECT_EQ(5, target.Length());
  EXPECT_EQ(grownCapacity, target.Capacity());  // assignment never shrinks
  EXPECT_TRUE(ZeroTail(target));
}

TEST(CPortableString, SelfAssignmentChangesNothing) {
  CPortableString s("unchanged");
  const char* before = s.Text();
  CPortableString& alias = s;
  s = alias;
  EXPECT_EQ(before, s.Text());
  EXPECT_STREQ("unchanged", s.Text());
  EXPECT_EQ(9, s.Length());
}

TEST(CPortableString, AssigningNullTextKeepsTheOldText) {
  CPortableString s("kept");
  s = static_cast<const char*>(nullptr);
  EXPECT_STREQ("kept", s.Text());
  EXPECT_EQ(4, s.Length());
}

TEST(CPortableString, AssigningTextSetsLengthFromTheBuffer) {
  CPortableString s("first text");
  s = "second";
  EXPECT_STREQ("second", s.Text());
  EXPECT_EQ(6, s.Length());
}

TEST(CPortableString, AssigningAPieceOfItsOwnTextIsSafe) {
  CPortableString s("C:\\dir\\file");
  s = s.Text() + 3;
  EXPECT_STREQ("dir\\file", s.Text());
  EXPECT_EQ(8, s.Length());
}

TEST(CPortableString, AppendGrowsToTwiceTheSumPlusTwo) {
  CPortableString s("abcd");  // capacity 6
  s.Append("ef");             // needs 6 + 2: grows to 2 * 6 + 2
  EXPECT_STREQ("abcdef", s.Text());
  EXPECT_EQ(6, s.Length());
  EXPECT_EQ(14, s.Capacity());
  s.Append(nullptr);
  EXPECT_STREQ("abcdef", s.Text());
}

TEST(CPortableString, AppendingItsOwnTextDoublesIt) {
  CPortableString s("abcde");
  s.Append(s.Text());
  EXPECT_STREQ("abcdeabcde", s.Text());
  EXPECT_EQ(10, s.Length());

  // Growth frees the old buffer before the copy: the text must survive that too.
  CPortableString big(std::string(1000, 'q').c_str());
  big.Append(big.Text());
  EXPECT_EQ(2000, big.Length());
  EXPECT_EQ(std::string(2000, 'q'), big.Text());
}

TEST(CPortableString, RepeatedAppendsReallocateOnlyWhenTheTextDoubles) {
  CPortableString s;
  int reallocations = 0;
  const char* buffer = s.Text();
  for (int i = 0; i < 4096; ++i) {
    s.Append("x");
    if (s.Text() != buffer) {
      ++reallocations;
      buffer = s.Text();
    }
  }
  EXPECT_EQ(4096, s.Length());
  EXPECT_LE(reallocations, 12);
}

TEST(CPortableString, ConcatenationPutsTheTextFirst) {
  CPortableString tail("\\file.txt");
  CPortableString joined = "C:\\dir" + tail;
  EXPECT_STREQ("C:\\dir\\file.txt", joined.Text());
  CPortableString fromNull = static_cast<const char*>(nullptr) + tail;
  EXPECT_STREQ("\\file.txt", fromNull.Text());
}

TEST(CPortableString, LeftAndRightParts) {
  CPortableString s("archive.tar.gz");
  EXPECT_STREQ("archive.tar.gz", s.Left(-1).Text());
  EXPECT_STREQ("archive", s.Left(7).Text());
  EXPECT_STREQ("archive.tar.gz", s.Left(500).Text());  // at most the length
  EXPECT_STREQ("", s.Left(0).Text());
  EXPECT_STREQ("archive.tar.gz", s.Right(s.Length()).Text());
  EXPECT_STREQ(".gz", s.Right(3).Text());
  EXPECT_STREQ("archive.tar.gz", s.Right(500).Text());
  EXPECT_STREQ("", s.Right(0).Text());
  EXPECT_STREQ("", s.Right(-4).Text());
}

TEST(CPortableString, ReserveKeepsTheTextAndCapacityRule) {
  CPortableString s("keep");
  s.Reserve(3);  // fits already
  EXPECT_EQ(6, s.Capacity());
  s.Reserve(100);
  EXPECT_EQ(202, s.Capacity());
  EXPECT_STREQ("keep", s.Text());
  s.Reserve(-5);
  EXPECT_EQ(202, s.Capacity());
}

TEST(CPortableString, WritingIntoTheBufferThenUpdatingTheLength) {
  CPortableString s;
  s.Reserve(300);
  std::memset(s.Text(), 'd', 260);
  s.Text()[260] = '\0';
  s.UpdateLength();
  EXPECT_EQ(260, s.Length());

  // A buffer filled to the last byte stays readable: the length stops inside it.
  std::memset(s.Text(), 'z', s.Capacity());
  s.UpdateLength();
  EXPECT_LT(s.Length(), s.Capacity());
  EXPECT_EQ('\0', s.Text()[s.Length()]);
}

// The allocation hook refuses every request while `refusing` is set.
static bool refusing = false;
static void* RefusingAllocate(size_t bytes) { return refusing ? nullptr : orin::RealLayerAllocator()(bytes); }

TEST(CPortableString, AStringThatCouldNotGrowSaysSoAndPassesItOn) {
  const orin::ScopedLayerAllocator hook(&RefusingAllocate);
  CPortableString path("C:\\v");
  refusing = true;
  path.Append("\\t1");
  const CPortableString copy(path);
  const CPortableString left = path.Left(2);
  CPortableString assigned;
  assigned = path;
  refusing = false;
  EXPECT_STREQ("C:\\v", path.Text());  // what fits stays, but it is not the whole text
  EXPECT_TRUE(path.Failed() && copy.Failed() && left.Failed() && assigned.Failed());
  assigned = "C:\\v\\t1";  // a whole new text starts afresh
  EXPECT_FALSE(assigned.Failed());
}
