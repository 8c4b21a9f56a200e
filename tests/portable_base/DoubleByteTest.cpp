// Path text and conversion in code page 932, where the second byte of a character may be 0x5C
// ('\'). Runs in any locale (switching the C run-time with _setmbcp); under a Japanese locale it
// also checks the ANSI code page route.
#include <gtest/gtest.h>
#include <mbctype.h>

#include <string>

#include "GuardedBuffer.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/SystemServices.h"
#include "ORINAPI_PORTABLE/TextConversion.h"

namespace {

// U+8868 and U+30BD in code page 932: both end in the byte 0x5C.
const char kHyou[] = "\x95\x5C";
const char kSo[] = "\x83\x5C";

std::string Str(const CPortableString& s) {
  return std::string(s.Text(), s.Length());
}

class DoubleByteText : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = _getmbcp();
    ASSERT_EQ(0, _setmbcp(932));
    ASSERT_TRUE(_ismbblead(0x95));
  }
  void TearDown() override { _setmbcp(previous_); }

 private:
  int previous_ = 0;
};

TEST_F(DoubleByteText, TrailByte5CIsNotASeparator) {
  const std::string path = std::string("C:\\") + kHyou + "\\" + kSo;
  const char* text = path.c_str();
  EXPECT_EQ(3, CountComponents(text));
  EXPECT_EQ(kHyou, Str(GetComponent(text, 1)));
  EXPECT_EQ(kSo, Str(GetComponent(text, 2)));
  EXPECT_EQ(std::string("C:\\") + kHyou, Str(GetParent(text, 1)));
  EXPECT_EQ(kSo, Str(GetTail(text, 2)));
  EXPECT_EQ(path, Str(StripTrailingSeparators(text)));
  EXPECT_EQ(path, Str(StripTrailingSeparators((path + "\\\\").c_str())));
  EXPECT_EQ(1, CountComponents(kHyou));
  EXPECT_EQ(std::string("C:\\dir\\") + kHyou + "\\" + kSo,
            Str(JoinPath(0, {"C:\\dir", kHyou, (std::string(kSo) + "\\").c_str()})));
  EXPECT_EQ(0, IsExecutableName((std::string("a.ex") + kSo).c_str()));
  EXPECT_EQ(1, IsSpecialCodePageLocale());  // the run-time now has lead bytes
}

TEST_F(DoubleByteText, ALeadByteRightBeforeTheEndStaysInsideTheText) {
  // Each text ends with a lone lead byte right before its terminator, at the edge of a no-access
  // page: a step over "the second byte" would read the guard page.
  for (const std::string& broken : {std::string("\x95"), std::string("ab\\\x95"),
                                    std::string("C:\\") + kHyou + "\\\x83"}) {
    SCOPED_TRACE(broken);
    testsupport::GuardedText<char> text(broken.data(), broken.size());
    ASSERT_TRUE(text.Valid());
    const int count = CountComponents(text.Get());
    EXPECT_GE(count, 1);
    EXPECT_EQ(nullptr, SkipComponents(text.Get(), count));
    EXPECT_EQ(broken, Str(StripTrailingSeparators(text.Get())));
    EXPECT_EQ(broken, Str(GetParent(text.Get(), 0)));
    // The separator a join appends may pair with the lone lead byte; the text stays in bounds.
    EXPECT_EQ(0u, Str(JoinPath(0, {text.Get(), "x"})).find(broken));
    EXPECT_EQ(0, IsExecutableName(text.Get()));
    CPortableWideString wide;
    NarrowToWide(wide, 932, text.Get(), -1);
    EXPECT_GE(wide.Length(), 1);
  }
}

TEST_F(DoubleByteText, ConversionRoundTripThroughCodePage932) {
  const std::string path = std::string("C:\\") + kHyou + "\\" + kSo + ".txt";
  CPortableWideString wide;
  NarrowToWide(wide, 932, path.c_str(), -1);
  EXPECT_EQ(std::wstring(L"C:\\\x8868\\\x30BD.txt"), std::wstring(wide.Text(), wide.Length()));
  CPortableString back;
  WideToString(back, 932, wide.Text(), -1);
  EXPECT_EQ(path, Str(back));
}

TEST(AnsiCodePage932, ConvertsThroughCodePageZeroWhenTheSystemIsJapanese) {
  if (GetACP() != 932) GTEST_SKIP() << "runs under a Japanese locale";
  EXPECT_EQ(932, _getmbcp());  // the run-time took the system's code page at start
  EXPECT_EQ(1, IsSpecialCodePageLocale());
  const std::string name = std::string(kSo) + kHyou;
  CPortableWideString wide;
  NarrowToWideAnsi(wide, name.c_str());
  EXPECT_EQ(std::wstring(L"\x30BD\x8868"), std::wstring(wide.Text(), wide.Length()));
  CPortableString back;
  WideToString(back, 0, wide.Text(), -1);
  EXPECT_EQ(name, Str(back));
  EXPECT_EQ(name, Str(GetComponent((std::string("C:\\") + name).c_str(), 1)));
}

}  // namespace
