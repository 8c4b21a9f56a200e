// Recursive size and deletion over generated trees, and that neither walks through a link.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ORINAPI_PORTABLE/CPortableFindFile.h"
#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"
#include "PathTestHelpers.h"
#include "TestSupport.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Builds a tree of the given depth, two subdirectories a level, files of varied sizes in each.
struct GeneratedTree {
  uint64_t bytes = 0;
  int files = 0;
  bool ok = true;
  void Build(const std::string& directory, int depth, int filesPerDirectory) {
    for (int i = 0; i < filesPerDirectory && ok; ++i) {
      const std::string content(static_cast<size_t>((files * 7) % 50), 'b');
      ok = pathtest::CreateWideFile(pathtest::Widen(directory + "\\file" + std::to_string(i) + ".dat"), content);
      bytes += content.size();
      ++files;
    }
    if (depth == 0) return;
    for (const char* sub : {"\\left", "\\right"}) {
      ok = ok && CreateDirectoryA((directory + sub).c_str(), nullptr);
      if (ok) Build(directory + sub, depth - 1, filesPerDirectory);
    }
  }
};

TEST(TreeSize, SumsMatchesInEveryLevel) {
  testsupport::TempDir dir("size");
  ASSERT_TRUE(dir.MakeDir("sub"));
  ASSERT_TRUE(dir.WriteFile("sub\\ten.bin", "0123456789"));
  EXPECT_EQ(10u, GetTreeSize(dir.Path().c_str(), "*", 0, 0, 0x10, 0));
  // A matched directory has no readable size and adds all ones: the sum wraps.
  EXPECT_EQ(9u, GetTreeSize(dir.Path().c_str(), "*", 0, 0, 0, 0));
  EXPECT_EQ(0u, GetTreeSize(dir.Path().c_str(), "*.txt", 0, 0, 0, 0));
  EXPECT_EQ(0u, GetTreeSize(dir.Join("missing").c_str(), "*", 0, 0, 0, 0));
  EXPECT_EQ(0u, GetTreeSize(nullptr, nullptr, 0, 0, 0, 0));
}

TEST(TreeOperations, SizeAndDeleteAGeneratedTreeWithAReadOnlyFile) {
  testsupport::TempDir dir("tree");
  const std::string root = dir.Join("root");
  ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  GeneratedTree tree;
  tree.Build(root, 6, 24);  // 127 directories, 3048 files
  ASSERT_TRUE(tree.ok);
  EXPECT_EQ(tree.bytes, GetTreeSize(root.c_str(), "*", 0, 0, 0x10, 0));
  EXPECT_EQ(tree.bytes, GetTreeSize(root.c_str(), "*.dat", 0, 0, 0, 2));

  const std::string lockedDirectory = root + "\\left\\right\\left";
  const std::string locked = lockedDirectory + "\\file3.dat";
  ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(0, DeleteTree(locked.c_str()));
  EXPECT_TRUE(Exists(locked));

  EXPECT_EQ(0, DeleteTree(root.c_str()));
  EXPECT_TRUE(Exists(locked));
  // Only the read-only file and the directories that hold it are left.
  for (std::string path = lockedDirectory; path.size() >= root.size(); path = path.substr(0, path.rfind('\\'))) {
    SCOPED_TRACE(path);
    const auto names = pathtest::TakeNames(CPortablePath(path.c_str(), 4).Find("*", 0, 0, 0, 0));
    EXPECT_EQ(1u, names.size());
  }
  ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(1, DeleteTree(root.c_str()));
  EXPECT_FALSE(Exists(root));
}

TEST(TreeOperations, DeleteTreeOfFilesAndBadInput) {
  testsupport::TempDir dir("del");
  ASSERT_TRUE(dir.WriteFile("plain.txt", "x"));
  EXPECT_EQ(1, DeleteTree(dir.Join("plain.txt").c_str()));
  EXPECT_FALSE(Exists(dir.Join("plain.txt")));
  EXPECT_EQ(0, DeleteTree(dir.Join("plain.txt").c_str()));
  EXPECT_EQ(0, DeleteTree(dir.Join("missing\\deeper").c_str()));
  EXPECT_EQ(0, DeleteTree(""));
  EXPECT_EQ(0, DeleteTree(nullptr));
  EXPECT_EQ(0, DeleteTree(std::string(40000, 'q').c_str()));
  EXPECT_TRUE(Exists(dir.Path()));
}

// The system here cannot make junctions, so the attribute query presents one: a directory whose
// attributes carry the reparse-point bit.
std::string g_linkPath;
DWORD WINAPI AttributesWithLink(LPCSTR path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && _stricmp(path, g_linkPath.c_str()) == 0) {
    return attributes | FILE_ATTRIBUTE_REPARSE_POINT;
  }
  return attributes;
}

TEST(TreeOperations, NeitherSizeNorDeleteWalksThroughALink) {
  testsupport::TempDir dir("link");
  const std::string root = dir.Join("root");
  ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  ASSERT_TRUE(dir.WriteFile("root\\mine.txt", "12345"));
  ASSERT_TRUE(dir.MakeDir("root\\link"));
  ASSERT_TRUE(dir.WriteFile("root\\link\\elsewhere.txt", "outside the tree"));
  ASSERT_TRUE(dir.MakeDir("root\\plain"));
  ASSERT_TRUE(dir.WriteFile("root\\plain\\inside.txt", "123"));
  g_linkPath = dir.Join("root\\link");

  orin::FileSystemCalls calls = orin::Sys();
  calls.GetFileAttributesA = &AttributesWithLink;
  orin::ScopedFileSystemCalls withLink(calls);
  EXPECT_EQ(8u, GetTreeSize(root.c_str(), "*", 0, 0, 0x10, 0));
  // The link itself goes as an entry; here it is a real directory with content, so that fails
  // and shows that nothing behind it was touched.
  EXPECT_EQ(0, DeleteTree(root.c_str()));
  EXPECT_TRUE(Exists(dir.Join("root\\link\\elsewhere.txt")));
  EXPECT_FALSE(Exists(dir.Join("root\\mine.txt")));
  EXPECT_FALSE(Exists(dir.Join("root\\plain")));
}

TEST(TreeOperations, AnEmptyLinkIsRemovedLikeAnEntry) {
  testsupport::TempDir dir("link");
  const std::string root = dir.Join("root");
  ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  ASSERT_TRUE(dir.MakeDir("root\\link"));
  g_linkPath = dir.Join("root\\link");
  orin::FileSystemCalls calls = orin::Sys();
  calls.GetFileAttributesA = &AttributesWithLink;
  orin::ScopedFileSystemCalls withLink(calls);
  EXPECT_EQ(1, DeleteTree(root.c_str()));
  EXPECT_FALSE(Exists(root));
}

// Names the file system allows but full-path resolution rewrites: "...", " " and ". " resolve to
// their parent, "a." to its sibling "a", "nul" to the device. The trees are made and removed through
// the long-path form, which the system takes as written; a name ending in '\' is a directory.
TEST(TreeOperations, EachEntryIsCountedAndDeletedOnceWhateverItsName) {
  const std::vector<std::vector<std::pair<std::wstring, size_t>>> trees = {
      {{L"...\\", 0}, {L"...\\inside.txt", 5}},
      {{L" \\", 0}, {L" \\x", 3}, {L"top", 2}},
      {{L". \\", 0}, {L". \\y", 4}},
      {{L"d\\", 0}, {L"d.\\", 0}, {L"a", 1}, {L"a.", 20}, {L"d\\in", 300}, {L"d.\\in", 4000}, {L"nul", 7}},
  };
  for (size_t tree = 0; tree < trees.size(); ++tree) {
    SCOPED_TRACE(tree);
    testsupport::TempDir dir("odd");
    const std::wstring root = L"\\\\?\\" + pathtest::Widen(dir.Path());
    struct Cleanup {
      std::wstring root;
      ~Cleanup() { pathtest::RemoveWideTree(root); }
    } cleanup{root};
    uint64_t bytes = 0;
    for (const auto& entry : trees[tree]) {
      std::wstring path = root + L"\\" + entry.first;
      const bool directory = path.back() == L'\\';
      if (directory) path.pop_back();
      ASSERT_TRUE(directory ? pathtest::CreateWideDirectory(path)
                            : pathtest::CreateWideFile(path, std::string(entry.second, 'o')));
      bytes += entry.second;
    }
    EXPECT_EQ(bytes, GetTreeSize(dir.Path().c_str(), "*", 0, 0, 0x10, 0));
    EXPECT_EQ(1, DeleteTree(dir.Path().c_str()));
    EXPECT_FALSE(Exists(dir.Path()));
  }
}

}  // namespace
