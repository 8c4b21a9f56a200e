// Bad input for the path text functions: null, empty and 100,000-character texts, each placed to
// end right before a no-access page so that any read past the terminator faults.
#include <gtest/gtest.h>

#include <string>

#include "GuardedBuffer.h"
#include "ORINAPI_PORTABLE/PathText.h"

namespace {

std::string Str(const CPortableString& s) {
  return std::string(s.Text(), s.Length());
}

TEST(PathBounds, GuardPageFaultsOnAReadPastTheEnd) {
  testsupport::GuardedText<char> text("ab", 2);
  ASSERT_TRUE(text.Valid());
  EXPECT_EQ('\0', text.Get()[2]);
  MEMORY_BASIC_INFORMATION info;
  ASSERT_NE(0u, ::VirtualQuery(text.Get() + 3, &info, sizeof info));
  EXPECT_EQ(static_cast<DWORD>(PAGE_NOACCESS), info.Protect);
}

TEST(PathBounds, EveryFunctionStaysInsideShortTexts) {
  for (const char* raw : {"", "C", "C:", "\\", "/", ":", "C:\\", "a\\", "x.", ".exe"}) {
    SCOPED_TRACE(raw);
    testsupport::GuardedText<char> guarded(raw, strlen(raw));
    const char* text = guarded.Get();
    const int count = CountComponents(text);
    for (int n = -1; n <= count + 1; ++n) {
      SkipComponents(text, n);
      GetComponent(text, n);
      GetTail(text, n);
      GetParent(text, n);
    }
    IsSeparatorChar(text);
    IsColonChar(text);
    IsLetterChar(text);
    AddRootToDrive(text);
    EXPECT_LE(JoinPath(0, {text}).Length(), static_cast<int>(strlen(raw)));
    JoinPath(1, {text, text});
    IsExecutableName(text);
    EXPECT_LE(StripTrailingSeparators(text).Length(), static_cast<int>(strlen(raw)));
  }
}

TEST(PathBounds, HundredThousandCharacterPathsWorkInOnePass) {
  std::string path = "C:";
  while (path.size() < 100000) path += "\\component";
  path.resize(100000);
  const int components = 1 + static_cast<int>((100000 - 2 + 9) / 10);  // C: and each "\component"
  testsupport::GuardedText<char> guarded(path.data(), path.size());
  const char* text = guarded.Get();
  EXPECT_EQ(components, CountComponents(text));
  EXPECT_EQ(nullptr, SkipComponents(text, components));
  EXPECT_EQ("C:\\", Str(GetComponent(text, 0)));
  EXPECT_EQ("component", Str(GetComponent(text, 1)));
  EXPECT_EQ(path.substr(0, path.rfind('\\')), Str(GetParent(text, 1)));
  EXPECT_EQ(path, Str(StripTrailingSeparators(text)));
  EXPECT_EQ(path + "\\x", Str(JoinPath(0, {text, "x"})));

  const std::string separators(100000, '\\');
  testsupport::GuardedText<char> onlySeparators(separators.data(), separators.size());
  EXPECT_EQ("", Str(StripTrailingSeparators(onlySeparators.Get())));
  EXPECT_EQ(100000, CountComponents(onlySeparators.Get()));
  EXPECT_EQ("", Str(GetParent(onlySeparators.Get(), 1)));
}

}  // namespace
