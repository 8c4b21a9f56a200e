// Path grammar: components, parents, tails, joins and separators on single-byte text.
#include <gtest/gtest.h>

#include <string>

#include "ORINAPI_PORTABLE/PathText.h"

namespace {

std::string Str(const CPortableString& s) {
  return std::string(s.Text(), s.Length());
}

TEST(PathCharClasses, AnswerForFirstCharacterAndNull) {
  EXPECT_EQ(1, IsSeparatorChar("\\x"));
  EXPECT_EQ(1, IsSeparatorChar("/"));
  EXPECT_EQ(0, IsSeparatorChar("x\\"));
  EXPECT_EQ(0, IsSeparatorChar(""));
  EXPECT_EQ(0, IsSeparatorChar(nullptr));
  EXPECT_EQ(1, IsColonChar(":"));
  EXPECT_EQ(0, IsColonChar("C:"));
  EXPECT_EQ(0, IsColonChar(nullptr));
  EXPECT_EQ(1, IsLetterChar("z"));
  EXPECT_EQ(1, IsLetterChar("Q:"));
  EXPECT_EQ(0, IsLetterChar("1"));
  EXPECT_EQ(0, IsLetterChar("\xC4"));  // a letter in 1252, but not an ASCII one
  EXPECT_EQ(1, IsLetterChar(""));      // callers check the length first
  EXPECT_EQ(0, IsLetterChar(nullptr));
}

TEST(PathCountComponents, CountsBoundariesOfDrivesAndSeparators) {
  const struct {
    const char* text;
    int count;
  } rows[] = {
      {"", 0},          {nullptr, 0},       {"C:\\", 1},       {"C:\\dir", 2},
      {"C:\\dir\\", 2}, {"C:", 1},          {"C:dir", 2},      {"file", 1},
      {"\\", 1},        {"\\\\", 2},        {"a\\b/c", 3},     {"\\\\server\\share", 4},
      {"a::b", 3},      {"C:\\\\dir", 3},   {"x:", 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text ? row.text : "(null)");
    EXPECT_EQ(row.count, CountComponents(row.text));
  }
}

TEST(PathSkipComponents, PointsBehindTheNthBoundaryOrNull) {
  const char* text = "C:\\dir\\file";
  EXPECT_EQ(text, SkipComponents(text, 0));
  EXPECT_EQ(text, SkipComponents(text, -3));
  EXPECT_EQ(text + 3, SkipComponents(text, 1));
  EXPECT_EQ(text + 7, SkipComponents(text, 2));
  EXPECT_EQ(nullptr, SkipComponents(text, 3));
  EXPECT_EQ(nullptr, SkipComponents("", 1));
  EXPECT_EQ(nullptr, SkipComponents(nullptr, 1));
  EXPECT_EQ(nullptr, SkipComponents("C:\\dir\\", 2));  // a boundary at the very end
  const char* relative = "C:dir";
  EXPECT_EQ(relative + 2, SkipComponents(relative, 1));
}

TEST(PathGetComponent, TakesComponentsWithoutTheirSeparators) {
  const struct {
    const char* text;
    int n;
    const char* component;
  } rows[] = {
      {"C:\\dir\\file", 0, "C:\\"}, {"C:\\dir\\file", 1, "dir"}, {"C:\\dir\\file", 2, "file"},
      {"C:\\dir\\file", 5, ""},     {"C:\\dir\\file", -1, ""},   {"C:\\dir\\", 1, "dir"},
      {"C:dir", 0, "C:\\"},         {"C:dir", 1, "dir"},         {"\\\\srv\\sh", 2, "srv"},
      {"\\\\srv\\sh", 0, ""},       {"a/b", 0, "a"},             {"dir\\\\", 0, "dir"},
      {"", 0, ""},                  {nullptr, 0, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.text ? row.text : "(null)") + " #" + std::to_string(row.n));
    EXPECT_EQ(row.component, Str(GetComponent(row.text, row.n)));
  }
}

TEST(PathGetTailAndParent, CutAtBoundaries) {
  EXPECT_EQ("dir\\file", Str(GetTail("C:\\dir\\file", 1)));
  EXPECT_EQ("C:\\dir\\file", Str(GetTail("C:\\dir\\file", 0)));
  EXPECT_EQ("", Str(GetTail("C:\\dir\\file", 3)));
  EXPECT_EQ("", Str(GetTail(nullptr, 0)));

  const struct {
    const char* text;
    int n;
    const char* parent;
  } rows[] = {
      {"C:\\dir\\file", 1, "C:\\dir"}, {"C:\\dir", 1, "C:\\"},          {"C:\\", 1, ""},
      {"file", 1, ""},                 {"C:\\dir\\file", 2, "C:\\"},    {"C:\\dir\\file", 9, ""},
      {"C:\\dir\\", 1, "C:\\"},        {"C:\\dir\\file", 0, "C:\\dir\\file"},
      {"C:\\dir\\\\", 0, "C:\\dir"},   {"C:", 0, "C:\\"},               {"\\\\srv\\sh\\x", 1, "\\\\srv\\sh"},
      {"a/b/c", 1, "a/b"},             {"", 1, ""},                     {nullptr, 1, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.text ? row.text : "(null)") + " #" + std::to_string(row.n));
    EXPECT_EQ(row.parent, Str(GetParent(row.text, row.n)));
  }
}

TEST(PathSeparatorsAndDrives, StripAndRoot) {
  const struct {
    const char* text;
    const char* stripped;
    const char* rooted;
  } rows[] = {
      {"\\\\", "", "\\\\"},        {"C:\\", "C:", "C:\\"},      {"C:", "C:", "C:\\"},
      {"dir/\\/", "dir", "dir/\\/"}, {"a\\b", "a\\b", "a\\b"},  {"", "", ""},
      {"1:", "1:", "1:"},          {"C:x", "C:x", "C:x"},       {nullptr, "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text ? row.text : "(null)");
    EXPECT_EQ(row.stripped, Str(StripTrailingSeparators(row.text)));
    EXPECT_EQ(row.rooted, Str(AddRootToDrive(row.text)));
  }
}

TEST(PathJoin, JoinsWithOneSeparatorAndRootsOnRequest) {
  const struct {
    int rooting;
    std::initializer_list<const char*> parts;
    const char* joined;
  } rows[] = {
      {1, {"C:\\drivers", "OR*.DLL"}, "C:\\drivers\\OR*.DLL"},
      {1, {"C:\\", "OR*.DLL"}, "C:\\OR*.DLL"},
      {1, {"C:", "file"}, "C:\\file"},
      {0, {"C:", "file"}, "C:file"},
      {1, {"C:dir", "x"}, "C:\\dir\\x"},
      {0, {"C:dir", "x"}, "C:dir\\x"},
      {1, {"\\\\server\\share", "x"}, "\\\\server\\share\\x"},
      {1, {"dir", "x"}, "\\dir\\x"},
      {0, {"dir", "x"}, "dir\\x"},
      {0, {"C:\\dir", "\\sub\\"}, "C:\\dir\\sub"},
      {0, {"C:\\dir\\\\", "\\\\sub"}, "C:\\dir\\\\\\sub"},  // only one separator goes per side
      {0, {"a/b", "c/d/"}, "a/b\\c/d"},                     // inner '/' stay
      {0, {"\\", "x"}, "\\x"},
      {1, {"C:"}, "C:\\"},
      {0, {"C:"}, "C:"},
      {0, {"a", nullptr, "", "b"}, "a\\b"},
      {0, {"a", "\\", "b"}, "a\\\\b"},                      // a part emptied by the dropping still adds '\'
      {1, {"x"}, "x"},                                     // one character is too short to be rooted
      {0, {}, ""},
  };
  for (const auto& row : rows) {
    std::string trace = std::to_string(row.rooting);
    for (const char* part : row.parts) trace += std::string(" [") + (part ? part : "(null)") + "]";
    SCOPED_TRACE(trace);
    EXPECT_EQ(row.joined, Str(JoinPath(row.rooting, row.parts)));
  }
  const char* const parts[] = {"C:\\a", "b"};
  EXPECT_EQ("C:\\a\\b", Str(JoinPath(0, 2, parts)));
  EXPECT_EQ("", Str(JoinPath(0, -1, parts)));
  EXPECT_EQ("", Str(JoinPath(0, 2, nullptr)));
}

TEST(PathExecutableName, MatchesTheFourExtensionsInAnyCase) {
  const struct {
    const char* text;
    int executable;
  } rows[] = {
      {"SETUP.EXE", 1}, {"setup.exe.txt", 0}, {"run.Cmd", 1}, {"a.bat", 1},  {"C:\\x.com", 1},
      {"exe", 0},       {".exe", 1},          {"a.ex", 0},    {"a.exee", 0}, {"dir.exe\\file", 0},
      {"", 0},          {nullptr, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text ? row.text : "(null)");
    EXPECT_EQ(row.executable, IsExecutableName(row.text));
  }
  EXPECT_EQ("C:\\", Str(GetDefaultRoot()));
}

}  // namespace
