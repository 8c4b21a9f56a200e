// The largest file a volume allows, from the volume's file system.
#include <string.h>

#include "ORINAPI_PORTABLE/FileSystemQueries.h"
#include "ORINAPI_PORTABLE/MultibyteText.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "ORINAPI_PORTABLE/Windows/FileSystemCalls.h"

namespace {

constexpr uint64_t kNoLargeFiles = 0xFFFFFFFFull;         // 2^32 - 1
constexpr uint64_t kLargestFile = 0x7FFFFFFFFFFFFFFFull;  // 2^63 - 1
constexpr uint64_t kFat16Largest = 0x7FFFFFFFull;         // 2^31 - 1
constexpr uint64_t kFat32Largest = 0xFFFFFFFFull;

// Keeps the "insert a disk" dialogs away while volumes are queried, and restores the mode after.
class CriticalErrorsSilenced {
 public:
  CriticalErrorsSilenced() : previous_(orin::Sys().SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~CriticalErrorsSilenced() { orin::Sys().SetErrorMode(previous_); }
  CriticalErrorsSilenced(const CriticalErrorsSilenced&) = delete;
  CriticalErrorsSilenced& operator=(const CriticalErrorsSilenced&) = delete;

 private:
  UINT previous_;
};

bool FileSystemName(const char* path, char* name) {
  char volumeName[255] = {};
  DWORD serial = 0, maxComponent = 0, flags = 0;
  return orin::Sys().GetVolumeInformationA(path, volumeName, sizeof volumeName, &serial,
                                                           &maxComponent, &flags, name, 255) != FALSE;
}

}  // namespace

int GetMaxFileSize(const char* text, uint64_t* size) {
  if (size == nullptr) return 0;
  *size = kNoLargeFiles;
  if (text == nullptr || text[0] == '\0') return 0;
  const CriticalErrorsSilenced silenced;
  if (text[0] == '\\' && text[1] == '\\') {  // a network path: the server decides, never asked
    *size = kLargestFile;
    return 1;
  }
  // The volume's root directory, "C:\" (component 0 of a drive path already ends in '\').
  CPortableString root = GetComponent(text, 0);
  if (!orin::EndsWithChar(root.Text(), '\\')) root.Append("\\");
  if (orin::Sys().GetDriveTypeA(root.Text()) == DRIVE_REMOTE) {
    *size = kLargestFile;
    return 1;
  }
  char fileSystem[255] = {};
  if (!FileSystemName(text, fileSystem) && !FileSystemName(root.Text(), fileSystem)) return 0;
  if (_stricmp(fileSystem, "NTFS") == 0) {
    *size = kLargestFile;
  } else if (_stricmp(fileSystem, "FAT16") == 0) {
    *size = kFat16Largest;
  } else if (_stricmp(fileSystem, "FAT32") == 0) {
    *size = kFat32Largest;
  } else {
    return 0;
  }
  return 1;
}
