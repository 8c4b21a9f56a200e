// Names on a double-byte system (code page 932): the usability test of long names by opening
// them, characters whose second byte is '\', and the capital-name tidy-up around double-byte
// characters. Runs with a Japanese system locale.
#include <gtest/gtest.h>
#include <mbctype.h>

#include <string>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "PathTestHelpers.h"
#include "TestSupport.h"

namespace {

using Names = std::multiset<std::string>;

// U+00E9 has no form in code page 932; the conversion puts a plain 'e' in its place, so the
// converted name looks fine but leads nowhere.
const wchar_t kLossyFile[] = L"caf\x00E9 \x65E5\x672C.txt";
const wchar_t kLossyDirectory[] = L"r\x00E9sum\x00E9 dir";
// U+65E5 U+672C ("Japan") survive the code page.
const wchar_t kFaithfulDirectory[] = L"\x65E5\x672C dir";
// U+8868 is 0x95 0x5C in code page 932: its second byte is the backslash.
const wchar_t kBackslashTrailFile[] = L"\x8868.txt";
// U+30A2 U+30A4 are 0x83 0x41 and 0x83 0x43: second bytes that read as 'A' and 'C'.
const wchar_t kLetterTrailFile[] = L"\x30A2\x30A4.TXT";

std::string Narrow(const std::wstring& wide) {
  std::string narrow(wide.size() * 2 + 1, '\0');
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &narrow[0], static_cast<int>(narrow.size()),
                                        nullptr, nullptr);
  narrow.resize(bytes > 0 ? bytes - 1 : 0);
  return narrow;
}

class DoubleByteNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 932) GTEST_SKIP() << "needs a system code page of 932, got " << GetACP();
  }
  std::wstring WideJoin(const wchar_t* name) const { return pathtest::Widen(dir_.Path()) + L"\\" + name; }
  Names List(uint32_t options) const {
    return pathtest::TakeNames(CPortablePath(dir_.Path().c_str(), 4).Find("*", 0, 0, 0, options));
  }
  testsupport::TempDir dir_{"dbcs"};
};

TEST_F(DoubleByteNamesTest, TheSystemCountsAsSpecial) {
  EXPECT_EQ(932, _getmbcp());
  EXPECT_EQ(1, IsSpecialCodePageLocale());
}

TEST_F(DoubleByteNamesTest, DeliversTheShortNameOnlyForNamesThatCannotBeOpened) {
  ASSERT_TRUE(pathtest::CreateWideFile(WideJoin(kLossyFile), "abc"));
  ASSERT_TRUE(pathtest::CreateWideDirectory(WideJoin(kLossyDirectory)));
  ASSERT_TRUE(pathtest::CreateWideDirectory(WideJoin(kFaithfulDirectory)));
  ASSERT_TRUE(dir_.WriteFile("A long but plain name.text", "x"));
  const std::string fileShort = pathtest::SystemShortName(WideJoin(kLossyFile));
  const std::string directoryShort = pathtest::SystemShortName(WideJoin(kLossyDirectory));
  ASSERT_FALSE(fileShort.empty());
  ASSERT_FALSE(directoryShort.empty());
  char before[1040] = {};
  GetCurrentDirectoryA(sizeof before, before);

  EXPECT_EQ((Names{fileShort, directoryShort, Narrow(kFaithfulDirectory), "A long but plain name.text"}), List(2));
  char after[1040] = {};
  GetCurrentDirectoryA(sizeof after, after);
  EXPECT_STREQ(before, after) << "the directory test must put the current directory back";

  EXPECT_EQ(1u, List(0).count(Narrow(kLossyFile))) << "without option 2 the converted name is delivered";
}

// Two bytes a character: a full path well inside the wide limit may not fit the narrow one.
TEST_F(DoubleByteNamesTest, FullPathsTooLongAsNarrowTextStayAsGiven) {
  for (int characters : {500, 600}) {
    SCOPED_TRACE(characters);
    std::wstring wide = L"Q:/";
    for (int i = 0; i < characters; ++i) wide += (i % 100 == 50) ? L'\\' : L'\x65E5';
    const std::string given = Narrow(wide);
    ASSERT_EQ(3u + 2 * characters - characters / 100, given.size());
    std::string resolved = given;
    resolved[2] = '\\';
    const bool fits = resolved.size() < 1040;
    EXPECT_EQ(fits ? resolved : given, std::string(CPortablePath(given.c_str(), 4).GetText()));
  }
}

TEST_F(DoubleByteNamesTest, NamesWhoseSecondByteIsABackslashStayWhole) {
  ASSERT_TRUE(pathtest::CreateWideFile(WideJoin(kBackslashTrailFile), "12345"));
  const std::string name = Narrow(kBackslashTrailFile);
  ASSERT_EQ(0x5C, static_cast<unsigned char>(name[1]));
  EXPECT_EQ(Names{name}, List(2));
  const std::string full = dir_.Path() + "\\" + name;
  const CPortablePath path(full.c_str(), 4);
  EXPECT_EQ(full, path.GetText());
  EXPECT_EQ(name, path.GetName().Text());
  EXPECT_EQ(1, path.Exists());
  CPortableFileInfo info;
  ASSERT_EQ(1, path.GetFileInfo(&info));
  EXPECT_EQ(5u, info.size);
}

TEST_F(DoubleByteNamesTest, CapitalTidyUpLeavesDoubleByteCharactersAlone) {
  ASSERT_TRUE(pathtest::CreateWideFile(WideJoin(kLetterTrailFile)));
  const std::string name = Narrow(kLetterTrailFile);
  ASSERT_EQ(std::string("\x83\x41\x83\x43.TXT"), name);
  EXPECT_EQ(Names{name}, List(4 | 8)) << "option 8 stays off on a special system";
  pathtest::WideFindSpy spy;
  pathtest::WideFindSpy::clearCreationTime = true;
  EXPECT_EQ(Names{"\x83\x41\x83\x43.txt"}, List(4));
}

}  // namespace
