// Invariants of the path grammar over a few hundred generated paths: drives, UNC names, mixed
// and repeated separators, colons inside names, trailing separators.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ORINAPI_PORTABLE/PathText.h"

namespace {

struct GeneratedPath {
  std::string text;
  bool simple;  // rooted at a drive or a UNC share or relative, single separators, no inner ':'
};

class PathGenerator {
 public:
  explicit PathGenerator(uint32_t seed) : state_(seed) {}

  GeneratedPath Next() {
    static const char* const kRoots[] = {"", "C:\\", "c:/", "\\\\server\\share\\", "C:", "\\", "/"};
    static const char* const kNames[] = {"dir", "a b", "x.y", "Program Files", "n", "OR*.DLL"};
    static const char* const kSeparators[] = {"\\", "/", "\\\\", "/\\", "//"};
    const int root = Pick(7);
    GeneratedPath path{kRoots[root], root <= 3};
    const int names = 1 + Pick(5);
    for (int i = 0; i < names; ++i) {
      if (i > 0) {
        const int separator = Pick(Pick(3) == 0 ? 5 : 2);
        path.text += kSeparators[separator];
        path.simple = path.simple && separator < 2;
      }
      path.text += kNames[Pick(6)];
      if (Pick(12) == 0) {
        path.text += ":s";
        path.simple = false;
      }
    }
    if (Pick(4) == 0) path.text += kSeparators[Pick(5)];
    return path;
  }

 private:
  int Pick(int n) {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<int>((state_ >> 16) % static_cast<uint32_t>(n));
  }
  uint32_t state_;
};

std::string Str(const CPortableString& s) {
  return std::string(s.Text(), s.Length());
}

// One backslash for every run of separators (a leading "\\" of a UNC name stays), none at the end
// except right after a drive.
std::string Normalise(std::string text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i] == '/' ? '\\' : text[i];
    if (c == '\\' && !out.empty() && out.back() == '\\' && out.size() > 1) continue;
    out += c;
  }
  while (out.size() > 1 && out.back() == '\\' && !(out.size() == 3 && out[1] == ':')) out.pop_back();
  return out;
}

std::vector<GeneratedPath> GeneratePaths(int count) {
  PathGenerator generator(20261208);
  std::vector<GeneratedPath> paths;
  for (int i = 0; i < count; ++i) paths.push_back(generator.Next());
  return paths;
}

TEST(PathInvariants, CountAgreesWithSkipAndBoundariesMoveForward) {
  for (const GeneratedPath& path : GeneratePaths(400)) {
    SCOPED_TRACE(path.text);
    const char* text = path.text.c_str();
    const int count = CountComponents(text);
    ASSERT_GE(count, 1);
    EXPECT_EQ(nullptr, SkipComponents(text, count));
    const char* previous = text;
    for (int n = 1; n < count; ++n) {
      const char* position = SkipComponents(text, n);
      ASSERT_NE(nullptr, position) << "n=" << n;
      EXPECT_GT(position, previous);
      EXPECT_NE('\0', *position);
      EXPECT_EQ(std::string(position), Str(GetTail(text, n)));
      previous = position;
    }
    EXPECT_EQ("", Str(GetComponent(text, count)));
  }
}

TEST(PathInvariants, StrippedTextIsThePrefixBeforeTrailingSeparators) {
  for (const GeneratedPath& path : GeneratePaths(400)) {
    SCOPED_TRACE(path.text);
    const std::string stripped = Str(StripTrailingSeparators(path.text.c_str()));
    ASSERT_EQ(0u, path.text.compare(0, stripped.size(), stripped));
    EXPECT_EQ(std::string::npos, path.text.find_first_not_of("\\/", stripped.size()));
    if (!stripped.empty()) {
      EXPECT_EQ(std::string::npos, std::string("\\/").find(stripped.back()));
    }
  }
}

TEST(PathInvariants, ParentJoinedWithLastComponentNamesTheSamePath) {
  int checked = 0;
  for (const GeneratedPath& path : GeneratePaths(400)) {
    const char* text = path.text.c_str();
    const int count = CountComponents(text);
    if (!path.simple || count < 2) continue;
    SCOPED_TRACE(path.text);
    const CPortableString parent = GetParent(text, 1);
    const CPortableString last = GetComponent(text, count - 1);
    EXPECT_EQ(Normalise(path.text), Normalise(Str(JoinPath(0, {parent.Text(), last.Text()}))));
    if (count >= 3) {
      EXPECT_EQ(Str(GetParent(text, 2)), Str(GetParent(parent.Text(), 1)));
    }
    ++checked;
  }
  EXPECT_GT(checked, 100);
}

TEST(PathInvariants, DriveAndRelativePathsRejoinFromTheirComponents) {
  int checked = 0;
  for (const GeneratedPath& path : GeneratePaths(400)) {
    const char* text = path.text.c_str();
    if (!path.simple || IsSeparatorChar(text)) continue;
    SCOPED_TRACE(path.text);
    std::vector<CPortableString> components;
    for (int n = 0; n < CountComponents(text); ++n) components.push_back(GetComponent(text, n));
    std::vector<const char*> parts;
    for (const CPortableString& component : components) parts.push_back(component.Text());
    const CPortableString joined = JoinPath(0, static_cast<int>(parts.size()), parts.data());
    EXPECT_EQ(Normalise(path.text), Normalise(AddRootToDrive(joined.Text()).Text()));
    ++checked;
  }
  EXPECT_GT(checked, 50);
}

}  // namespace
