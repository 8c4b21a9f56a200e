// Path text functions that ask the system: short names, the current directory, temporary names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "TestSupport.h"

namespace {

// Changes the current directory for a test and puts the old one back.
class ScopedCurrentDirectory {
 public:
  ScopedCurrentDirectory() { ::GetCurrentDirectoryA(sizeof previous_, previous_); }
  ~ScopedCurrentDirectory() { ::SetCurrentDirectoryA(previous_); }

 private:
  char previous_[1024] = {};
};

TEST(PathShortName, NamesTheSameExistingPathInEightDotThreeParts) {
  testsupport::TempDir dir("short");
  const std::string longName = "a rather long folder name with spaces.and.dots";
  ASSERT_TRUE(dir.MakeDir(longName));
  ASSERT_TRUE(dir.WriteFile(longName + "\\another long file name.text", "x"));
  const std::string path = dir.Join(longName + "\\another long file name.text");
  ASSERT_GT(path.size(), 80u);  // more than one doubling of the buffer

  const CPortableString shortPath = GetShortPath(path.c_str());
  ASSERT_GT(shortPath.Length(), 0);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(shortPath.Text()));
  const CPortableString last = GetComponent(shortPath.Text(), CountComponents(shortPath.Text()) - 1);
  EXPECT_LE(last.Length(), 12) << last.Text();
  EXPECT_EQ(std::string::npos, std::string(last.Text()).find(' '));

  EXPECT_EQ(0, GetShortPath(dir.Join("missing").c_str()).Length());
  EXPECT_EQ(0, GetShortPath("").Length());
  EXPECT_EQ(0, GetShortPath(nullptr).Length());
}

TEST(PathCurrentDirectory, ReadsDirectoriesLongerThan256Characters) {
  testsupport::TempDir dir("cwd");
  const ScopedCurrentDirectory restore;
  ASSERT_EQ(TRUE, ::SetCurrentDirectoryA(dir.Path().c_str()));
  CPortableString current("stale text that must go");
  ASSERT_EQ(1, GetCurrentDirectoryString(current));
  EXPECT_EQ(0, _stricmp(dir.Path().c_str(), current.Text())) << current.Text();
  EXPECT_EQ(static_cast<int>(strlen(current.Text())), current.Length());

  // Nest folders until the path is 257 characters long: more than the first 256-byte try holds,
  // within what the system allows for a current directory.
  std::string deep = dir.Path();
  while (deep.size() < 257) {
    const size_t remaining = 257 - deep.size();
    deep += "\\" + std::string(remaining > 42 ? 40 : remaining - 1, 'd');
    const std::wstring wide = L"\\\\?\\" + std::wstring(deep.begin(), deep.end());
    ASSERT_TRUE(::CreateDirectoryW(wide.c_str(), nullptr)) << deep;
  }
  ASSERT_EQ(257u, deep.size());
  ASSERT_EQ(TRUE, ::SetCurrentDirectoryA(deep.c_str())) << ::GetLastError();
  ASSERT_EQ(1, GetCurrentDirectoryString(current));
  EXPECT_EQ(deep.size(), static_cast<size_t>(current.Length()));
  EXPECT_EQ(0, _stricmp(deep.c_str(), current.Text()));
}

// Restores an environment variable of the C run-time when destroyed.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    const char* previous = std::getenv(name);
    previous_ = name_ + "=" + (previous ? previous : "");
    _putenv((name_ + "=" + value).c_str());
  }
  ~ScopedEnvironment() { _putenv(previous_.c_str()); }

 private:
  std::string name_;
  std::string previous_;
};

TEST(PathTempName, IsMadeInTheDirectoryWithThePrefixUnlessTmpIsSet) {
  testsupport::TempDir dir("tmpname");
  testsupport::TempDir tmp("tmpvar");
  for (bool tmpSet : {false, true}) {
    SCOPED_TRACE(tmpSet ? "TMP set" : "TMP unset");
    const ScopedEnvironment environment("TMP", tmpSet ? tmp.Path().c_str() : "");
    const CPortableString name = MakeTempName(dir.Path().c_str(), "pb");
    ASSERT_GT(name.Length(), 0);
    const CPortableString parent = GetParent(name.Text(), 1);
    // The run-time's rule: a TMP folder wins over the folder asked for.
    EXPECT_EQ(0, _stricmp((tmpSet ? tmp : dir).Path().c_str(), parent.Text())) << name.Text();
    const CPortableString file = GetComponent(name.Text(), CountComponents(name.Text()) - 1);
    EXPECT_EQ(0, _strnicmp("pb", file.Text(), 2)) << name.Text();
  }
  EXPECT_GT(MakeTempName(nullptr, nullptr).Length(), 0);
}

}  // namespace
