// Helpers shared by the test programs: where the test binaries lie, and a scratch folder that
// each test gets fresh and that is removed again, whatever the test left in it.
#ifndef TESTS_SUPPORT_TESTSUPPORT_H
#define TESTS_SUPPORT_TESTSUPPORT_H

#include <string>

namespace testsupport {

// Folder of the running test program, with a trailing backslash (the build's bin folder).
std::string ExeDirectory();

// Creates a new empty folder under the system's temporary folder; removes it with everything in
// it (read-only files included) when destroyed.
class TempDir {
 public:
  explicit TempDir(const char* tag = "t");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }      // without trailing backslash
  std::string Join(const std::string& name) const { return path_ + "\\" + name; }

  // Writes a file of the given bytes (folders on the way must exist); false on failure.
  bool WriteFile(const std::string& name, const std::string& bytes) const;
  bool MakeDir(const std::string& name) const;

 private:
  std::string path_;
};

// Deletes a file or a folder tree without following reparse points; true when all went.
bool RemoveTree(const std::string& path);

// Reads a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace testsupport

#endif  // TESTS_SUPPORT_TESTSUPPORT_H
