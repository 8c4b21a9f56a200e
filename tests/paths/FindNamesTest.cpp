// How a finder tidies the names it delivers on a single-byte system: the 8.3 name in place of a
// long name the code page cannot show, and the tidy-up of all-capital names.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "PathTestHelpers.h"
#include "TestSupport.h"

namespace {

using Names = std::multiset<std::string>;

// U+4E2D has no form in the single-byte ANSI code pages; the conversion leaves '?' for it.
const wchar_t kUnmappableFile[] = L"caf\x4E2D\x00E9 list.txt";
const wchar_t kUnmappableDirectory[] = L"dir \x4E2D";

class FindNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (IsSpecialCodePageLocale()) GTEST_SKIP() << "needs a single-byte code page outside Greek, Russian, Thai";
  }
  std::wstring WideJoin(const wchar_t* name) const { return pathtest::Widen(dir_.Path()) + L"\\" + name; }
  Names List(uint32_t options, uint32_t excluded = 0) const {
    return pathtest::TakeNames(CPortablePath(dir_.Path().c_str(), 4).Find("*", 0, 0, excluded, options));
  }
  testsupport::TempDir dir_{"names"};
};

TEST_F(FindNamesTest, DeliversTheShortNameForANameTheCodePageCannotShow) {
  ASSERT_TRUE(pathtest::CreateWideFile(WideJoin(kUnmappableFile), "payload"));
  ASSERT_TRUE(pathtest::CreateWideDirectory(WideJoin(kUnmappableDirectory)));
  ASSERT_TRUE(dir_.WriteFile("A long but plain name.text", "x"));
  const std::string fileShort = pathtest::SystemShortName(WideJoin(kUnmappableFile));
  const std::string directoryShort = pathtest::SystemShortName(WideJoin(kUnmappableDirectory));
  ASSERT_FALSE(fileShort.empty());
  ASSERT_FALSE(directoryShort.empty());

  EXPECT_EQ((Names{fileShort, directoryShort, "A long but plain name.text"}), List(2));
  const Names plain = List(0);
  EXPECT_EQ(1u, plain.count("A long but plain name.text"));
  for (const std::string& name : plain) {
    if (name != "A long but plain name.text") {
      EXPECT_NE(std::string::npos, name.find('?')) << name;
    }
  }

  // The delivered name leads to the entry.
  CPortableFindFile* finder = CPortablePath(dir_.Path().c_str(), 4).Find("caf*", 0, 0, 0x10, 2);
  ASSERT_NE(nullptr, finder);
  ASSERT_EQ(1, finder->IsValid());
  EXPECT_EQ(7u, finder->GetCurrentPath()->GetSize64());
  delete finder;
}

TEST_F(FindNamesTest, KeepsTheConvertedNameWhenThereIsNoShortName) {
  ASSERT_TRUE(pathtest::CreateWideFile(WideJoin(kUnmappableFile)));
  pathtest::WideFindSpy spy;
  pathtest::WideFindSpy::clearShortName = true;
  const Names names = List(2);
  ASSERT_EQ(1u, names.size());
  EXPECT_NE(std::string::npos, names.begin()->find('?'));
}

TEST_F(FindNamesTest, TidiesAllCapitalNamesOnVolumesWithoutCreationTimes) {
  struct Row {
    const char* name;
    const char* tidied;
  };
  const Row rows[] = {
      {"SETUP.EXE", "Setup.exe"}, {"Setup.EXE", "Setup.EXE"}, {"README", "Readme"},
      {"123.TXT", "123.txt"},     {"X", "X"},                 {"_NOTES-1.TXT", "_notes-1.txt"},
      {"lower.txt", "lower.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testsupport::TempDir one("caps");
    ASSERT_TRUE(one.WriteFile(row.name, ""));
    auto list = [&](uint32_t options) {
      return *pathtest::TakeNames(CPortablePath(one.Path().c_str(), 4).Find("*", 0, 0, 0, options)).begin();
    };
    EXPECT_EQ(row.name, list(4)) << "the volume records creation times";
    EXPECT_EQ(row.tidied, list(4 | 8)) << "option 8 tidies regardless";
    EXPECT_EQ(row.name, list(8)) << "option 8 alone does nothing";
    pathtest::WideFindSpy spy;
    pathtest::WideFindSpy::clearCreationTime = true;
    EXPECT_EQ(row.tidied, list(4));
    EXPECT_EQ(row.name, list(0));
  }
}

TEST_F(FindNamesTest, TidyUpStepsThroughTheRunTimesCodePageLikeThePathGrammar) {
  // U+0192 is byte 0x83 in the system's page here; under code page 932, 0x83 0x41 is one character.
  ASSERT_TRUE(pathtest::CreateWideFile(WideJoin(L"X\x0192" L"A.TXT")));
  pathtest::WideFindSpy spy;
  pathtest::WideFindSpy::clearCreationTime = true;
  for (const auto& row : {std::make_pair(932, "X\x83" "A.txt"), std::make_pair(1252, "X\x83" "a.txt")}) {
    const pathtest::ScopedMultibyteCodePage codePage(row.first);
    ASSERT_TRUE(codePage.switched);
    EXPECT_EQ(Names{row.second}, List(4)) << row.first;
  }
}

TEST_F(FindNamesTest, UsesTheLastAccessTimeWhenThereIsNoCreationTime) {
  ASSERT_TRUE(dir_.WriteFile("a.txt", "x"));
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(dir_.Join("a.txt").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  FindClose(find);
  CPortableTime creation, access;
  creation.SetFromFileTime(&data.ftCreationTime);
  access.SetFromFileTime(&data.ftLastAccessTime);

  CPortableFileInfo info;
  ASSERT_EQ(1, CPortablePath(dir_.Join("a.txt").c_str(), 4).GetFileInfo(&info));
  EXPECT_EQ(creation.GetValue(), info.creationTime.GetValue());
  EXPECT_EQ(access.GetValue(), info.lastAccessTime.GetValue());
  pathtest::WideFindSpy spy;
  pathtest::WideFindSpy::clearCreationTime = true;
  ASSERT_EQ(1, CPortablePath(dir_.Join("a.txt").c_str(), 4).GetFileInfo(&info));
  EXPECT_EQ(access.GetValue(), info.creationTime.GetValue());
}

}  // namespace
