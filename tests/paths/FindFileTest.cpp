// Directory enumeration: filters, the entries never delivered, sizes and times, the match paths,
// the search texts that reach the system, and how finders end.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "PathTestHelpers.h"
#include "TestSupport.h"

namespace {

using Names = std::multiset<std::string>;
constexpr uint64_t kAllOnes = ~static_cast<uint64_t>(0);

class FindFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.WriteFile("a.txt", "0123456789"));
    ASSERT_TRUE(dir_.WriteFile("b.dat", "xy"));
    ASSERT_TRUE(SetFileAttributesA(dir_.Join("b.dat").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(dir_.MakeDir("sub1"));
    ASSERT_TRUE(dir_.MakeDir("sub2"));
    ASSERT_TRUE(dir_.WriteFile("sub1\\inner.txt", "abc"));
  }
  CPortableFindFile* Find(const char* pattern, uint32_t required = 0, uint32_t excluded = 0, uint32_t options = 0) {
    return CPortablePath(dir_.Path().c_str(), 4).Find(pattern, 0, required, excluded, options);
  }
  testsupport::TempDir dir_{"find"};
};

TEST_F(FindFileTest, DeliversTheEntriesThatPassPatternAndAttributeFilters) {
  struct Row {
    const char* pattern;
    uint32_t required;
    uint32_t excluded;
    Names expected;
  };
  const Row rows[] = {
      {"*", 0, 0, {"a.txt", "b.dat", "sub1", "sub2"}},
      {"*", 0x10, 0, {"sub1", "sub2"}},
      {"*", 0, 0x10, {"a.txt", "b.dat"}},
      {"*", 0x01, 0, {"b.dat"}},
      {"*", 0, 0x01, {"a.txt", "sub1", "sub2"}},
      {"*", 0x11, 0, {}},
      {"*.txt", 0, 0, {"a.txt"}},
      {"sub?", 0, 0x10, {}},
      {"?.*", 0, 0, {"a.txt", "b.dat"}},
      {"nothing*", 0, 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.pattern) + " required " + std::to_string(row.required) + " excluded " +
                 std::to_string(row.excluded));
    EXPECT_EQ(row.expected, pathtest::TakeNames(Find(row.pattern, row.required, row.excluded)));
  }
}

TEST_F(FindFileTest, NeverDeliversTheDotEntries) {
  // "." and ".." pass every filter that a directory passes and match ".*".
  EXPECT_EQ(Names{}, pathtest::TakeNames(Find(".*", 0x10)));
  EXPECT_EQ(Names{}, pathtest::TakeNames(CPortablePath(dir_.Join("sub2").c_str(), 4).Find("*", 0, 0, 0, 0)));
}

TEST_F(FindFileTest, FillsTheEntryRecordAndTheMatchPath) {
  ASSERT_TRUE(SetFileAttributesA(dir_.Join("b.dat").c_str(), FILE_ATTRIBUTE_NORMAL));
  CPortableFindFile* finder = Find("*");
  ASSERT_NE(nullptr, finder);
  int seen = 0;
  for (; finder->IsValid(); finder->Next(), ++seen) {
    const CPortableFileInfo* info = finder->GetInfo();
    SCOPED_TRACE(info->name.Text());
    EXPECT_EQ(1, info->valid);
    EXPECT_NE(0, info->lastWriteTime.GetValue());
    EXPECT_NE(0, info->creationTime.GetValue());
    const std::string name = info->name.Text();
    if (name == "a.txt") {
      EXPECT_EQ(10u, info->size);
    }
    if (name == "b.dat") {
      EXPECT_EQ(2u, info->size);
    }
    if (name.compare(0, 3, "sub") == 0) {
      EXPECT_EQ(0x10u, info->attributes & 0x10);
      EXPECT_EQ(kAllOnes, info->size);
    }
    CPortablePath* path = finder->GetCurrentPath();
    ASSERT_NE(nullptr, path);
    EXPECT_EQ(dir_.Join(name), path->GetText());
    EXPECT_EQ(path, finder->GetMatchPath()) << "one path object per match";
    EXPECT_EQ(4u, path->GetOpenMode());
  }
  EXPECT_EQ(4, seen);
  EXPECT_EQ(0, finder->GetInfo()->valid);
  delete finder;
}

TEST_F(FindFileTest, AnExhaustedFinderStaysExhaustedAndHandsOutAnEmptyPath) {
  for (const std::string& directory : {dir_.Join("missing"), dir_.Path()}) {
    SCOPED_TRACE(directory);
    CPortableFindFile* finder = CPortablePath(directory.c_str(), 4).Find("nothing*", 0, 0, 0, 0);
    ASSERT_NE(nullptr, finder);
    EXPECT_EQ(0, finder->IsValid());
    finder->Next();
    finder->Next();
    EXPECT_EQ(0, finder->IsValid());
    ASSERT_NE(nullptr, finder->GetCurrentPath());
    EXPECT_STREQ("", finder->GetCurrentPath()->GetText());
    delete finder;
  }
  CPortableFindFile empty;
  EXPECT_EQ(0, empty.IsValid());
  empty.Next();
  ASSERT_NE(nullptr, empty.GetCurrentPath());
  EXPECT_STREQ("", empty.GetCurrentPath()->GetText());
  EXPECT_STREQ("", empty.GetInfo()->name.Text());
}

TEST_F(FindFileTest, EndsCleanlyWhenTheDirectoryIsRemovedDuringTheEnumeration) {
  ASSERT_TRUE(dir_.MakeDir("doomed"));
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(dir_.WriteFile("doomed\\f" + std::to_string(i), "x"));
  CPortableFindFile* finder = CPortablePath(dir_.Join("doomed").c_str(), 4).Find("*", 0, 0, 0, 2);
  ASSERT_NE(nullptr, finder);
  ASSERT_EQ(1, finder->IsValid());
  testsupport::RemoveTree(dir_.Join("doomed"));
  int steps = 0;
  for (; finder->IsValid() && steps < 1000; ++steps) {
    finder->GetCurrentPath();
    finder->Next();
  }
  EXPECT_LT(steps, 1000);
  delete finder;
}

TEST_F(FindFileTest, SearchesWithTheLongPathPrefixExceptOnNetworkPaths) {
  pathtest::WideFindSpy spy;
  pathtest::WideFindSpy::refusePrefix = L"\\\\server";
  delete Find("*.txt");
  delete CPortablePath("\\\\server\\share\\drivers", 4).Find("OR*.DLL", 0, 0, 0, 0);
  delete CPortablePath("//server/share", 4).Find("*", 0, 0, 0, 0);
  ASSERT_EQ(3u, pathtest::WideFindSpy::searches.size());
  EXPECT_EQ(L"\\\\?\\" + pathtest::Widen(dir_.Path()) + L"\\*.txt", pathtest::WideFindSpy::searches[0]);
  EXPECT_EQ(L"\\\\server\\share\\drivers\\OR*.DLL", pathtest::WideFindSpy::searches[1]);
  EXPECT_EQ(L"\\\\server\\share\\*", pathtest::WideFindSpy::searches[2]);
}

TEST_F(FindFileTest, NamesWithEveryCharacterANameMayHoldComeBackUnchanged) {
  std::string name = "all !#$%&'()+,-.;=@[]^_`{}~ 0123456789 ABCxyz";
  if (GetACP() == 1252) name += " \xE9\xFC\xDF\xA9";
  name += ".e x t";
  const std::string file = dir_.Join(name);
  ASSERT_TRUE(dir_.WriteFile(name, "odd"));
  ASSERT_TRUE(dir_.MakeDir(name + " dir"));
  EXPECT_EQ((Names{name, name + " dir"}), pathtest::TakeNames(Find("all*", 0, 0, 2)));
  const CPortablePath path(file.c_str(), 4);
  EXPECT_EQ(file, path.GetText());
  EXPECT_EQ(name, path.GetName().Text());
  EXPECT_EQ(1, path.Exists());
  EXPECT_EQ(3u, CPortablePath(file.c_str(), 4).GetSize64());
  CPortableFindFile* finder = FindInParent((file + " dir").c_str(), 0, 0x10, 0, 2);
  ASSERT_NE(nullptr, finder);
  ASSERT_EQ(1, finder->IsValid());
  EXPECT_EQ(file + " dir", finder->GetCurrentPath()->GetText());
  delete finder;
}

TEST_F(FindFileTest, ReachesEntriesBeyondTheClassicPathLimit) {
  std::string deep = dir_.Path();
  while (deep.size() < 400) {
    deep += "\\" + std::string(60, 'L');
    ASSERT_TRUE(pathtest::CreateWideDirectory(L"\\\\?\\" + pathtest::Widen(deep)));
  }
  ASSERT_TRUE(pathtest::CreateWideFile(L"\\\\?\\" + pathtest::Widen(deep + "\\end.txt"), "12345"));
  EXPECT_EQ(Names{"end.txt"}, pathtest::TakeNames(CPortablePath(deep.c_str(), 4).Find("*", 0, 0, 0, 0)));
  EXPECT_EQ(1, CPortablePath((deep + "\\end.txt").c_str(), 4).Exists());
  pathtest::RemoveWideTree(pathtest::Widen(dir_.Join(std::string(60, 'L'))));
}

}  // namespace
