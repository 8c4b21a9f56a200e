#include "DuplicateDrivers.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "LibraryProbe.h"

namespace {

struct FolderLibrary {
  std::string fileName;
  std::string path;
  LibraryFacts facts;
};

std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

std::string FileName(const char* path) {
  const std::string text = path ? path : "";
  const size_t slash = text.find_last_of("\\/");
  return slash == std::string::npos ? text : text.substr(slash + 1);
}

// Every file the plug-in's OR*.DLL search finds, asked as the plug-in asks it.
std::vector<FolderLibrary> ProbeFolder(const std::string& folder, unsigned hostVersion, const void* pluginModule) {
  std::vector<FolderLibrary> libraries;
  const std::string prefix = folder.empty() || folder.back() == '\\' || folder.back() == '/' ? folder : folder + "\\";
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((prefix + "OR*.DLL").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return libraries;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string path = FullPath(prefix + found.cFileName);
    libraries.push_back({found.cFileName, path, ProbeLibrary(path.c_str(), hostVersion, pluginModule)});
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return libraries;
}

}  // namespace

std::vector<std::vector<std::string>> SameNameAndVersion(IRoboManager2* manager, const std::string& folder,
                                                         unsigned hostVersion, const void* pluginModule) {
  const int count = manager->GetDriverCount();
  std::vector<std::vector<std::string>> others(static_cast<size_t>(count > 0 ? count : 0));
  if (count <= 0) return others;
  const std::vector<FolderLibrary> libraries = ProbeFolder(folder, hostVersion, pluginModule);
  for (int i = 0; i < count; ++i) {
    IRoboDriverInfo* entry = manager->GetDriverInfo(static_cast<unsigned>(i));
    const char* name = entry->GetDriverName();
    if (name == nullptr) continue;  // a null name never matches another library
    const std::string listed = FileName(entry->GetDriverPath());
    for (const FolderLibrary& library : libraries) {
      const LibraryFacts& facts = library.facts;
      if (facts.Catalogued() && facts.hasName && facts.name == name && facts.version == entry->GetDriverVersion() &&
          ::lstrcmpiA(library.fileName.c_str(), listed.c_str()) != 0) {
        others[static_cast<size_t>(i)].push_back(library.path);
      }
    }
  }
  return others;
}
