// OrinRobo.dll and the sample drivers, read as PE files: the plug-in exports exactly its eight
// names, undecorated, and every binary imports system libraries only; the station's programs
// carry their manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// Export names and imported library names of one PE image held in memory as the file's bytes.
class PeImage {
 public:
  explicit PeImage(std::string bytes) : bytes_(std::move(bytes)) { Parse(); }
  bool Valid() const { return valid_; }
  const std::vector<std::string>& Exports() const { return exports_; }
  const std::vector<std::string>& Imports() const { return imports_; }
  WORD Machine() const { return machine_; }

 private:
  template <class T>
  const T* At(size_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) return nullptr;
    return reinterpret_cast<const T*>(bytes_.data() + offset);
  }
  // A file offset for a relative virtual address, through the section table; 0 when none.
  size_t FileOffset(DWORD rva) const {
    for (const IMAGE_SECTION_HEADER* s : sections_) {
      const DWORD size = std::max(s->Misc.VirtualSize, s->SizeOfRawData);
      if (rva >= s->VirtualAddress && rva < s->VirtualAddress + size) {
        return rva - s->VirtualAddress + s->PointerToRawData;
      }
    }
    return 0;
  }
  std::string TextAt(DWORD rva) const {
    const size_t offset = FileOffset(rva);
    if (offset == 0 || offset >= bytes_.size()) return std::string();
    const size_t end = bytes_.find('\0', offset);
    return bytes_.substr(offset, end == std::string::npos ? std::string::npos : end - offset);
  }

  void Parse() {
    const auto* dos = At<IMAGE_DOS_HEADER>(0);
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return;
    const size_t ntOffset = static_cast<size_t>(dos->e_lfanew);
    const auto* signature = At<DWORD>(ntOffset);
    const auto* file = At<IMAGE_FILE_HEADER>(ntOffset + sizeof(DWORD));
    if (!signature || *signature != IMAGE_NT_SIGNATURE || !file) return;
    machine_ = file->Machine;
    // The optional header is PE32 in a 32-bit image and PE32+ in a 64-bit one; only the place of
    // the data directories differs.
    const size_t optional = ntOffset + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER);
    const auto* magic = At<WORD>(optional);
    if (!magic) return;
    const IMAGE_DATA_DIRECTORY* directories = nullptr;
    if (*magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
      const auto* header = At<IMAGE_OPTIONAL_HEADER32>(optional);
      if (header) directories = header->DataDirectory;
    } else if (*magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
      const auto* header = At<IMAGE_OPTIONAL_HEADER64>(optional);
      if (header) directories = header->DataDirectory;
    }
    if (!directories) return;
    size_t section = optional + file->SizeOfOptionalHeader;
    for (int i = 0; i < file->NumberOfSections; ++i, section += sizeof(IMAGE_SECTION_HEADER)) {
      const auto* header = At<IMAGE_SECTION_HEADER>(section);
      if (!header) return;
      sections_.push_back(header);
    }
    const IMAGE_DATA_DIRECTORY& exportDir = directories[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (exportDir.VirtualAddress) {
      const auto* exports = At<IMAGE_EXPORT_DIRECTORY>(FileOffset(exportDir.VirtualAddress));
      if (!exports) return;
      const size_t names = FileOffset(exports->AddressOfNames);
      for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        const auto* rva = At<DWORD>(names + i * sizeof(DWORD));
        if (!rva) return;
        exports_.push_back(TextAt(*rva));
      }
      exportCount_ = exports->NumberOfFunctions;
    }
    const IMAGE_DATA_DIRECTORY& importDir = directories[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (importDir.VirtualAddress) {
      size_t offset = FileOffset(importDir.VirtualAddress);
      for (;; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* import = At<IMAGE_IMPORT_DESCRIPTOR>(offset);
        if (!import) return;
        if (import->Name == 0) break;
        imports_.push_back(TextAt(import->Name));
      }
    }
    valid_ = exportCount_ == exports_.size();
  }

  std::string bytes_;
  std::vector<const IMAGE_SECTION_HEADER*> sections_;
  std::vector<std::string> exports_;
  std::vector<std::string> imports_;
  size_t exportCount_ = 0;
  WORD machine_ = 0;
  bool valid_ = false;
};

// The images under test: this program's own folder, or the folder and machine type that
// ORIN_IMAGE_DIR and ORIN_IMAGE_MACHINE (i386, amd64) name. The 64-bit suite reads the 32-bit
// flavour's files that way, on machines that cannot run them.
std::string ImageDirectory() {
  const char* dir = std::getenv("ORIN_IMAGE_DIR");
  if (dir == nullptr || *dir == '\0') return testsupport::ExeDirectory();
  std::string path = dir;
  if (path.back() != '\\') path += '\\';
  return path;
}

WORD ExpectedMachine() {
  const char* machine = std::getenv("ORIN_IMAGE_MACHINE");
  if (machine != nullptr && std::string(machine) == "i386") return IMAGE_FILE_MACHINE_I386;
  if (machine != nullptr && std::string(machine) == "amd64") return IMAGE_FILE_MACHINE_AMD64;
  return sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;
}

std::string SystemDirectory() {
  char path[MAX_PATH];
  const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path, length) + "\\";
}

void ExpectSystemImportsOnly(const std::string& file) {
  SCOPED_TRACE(file);
  PeImage image(testsupport::ReadWholeFile(file));
  ASSERT_TRUE(image.Valid());
  EXPECT_FALSE(image.Imports().empty());
  for (const std::string& name : image.Imports()) {
    SCOPED_TRACE(name);
    // A system library lies in the system folder, and no copy was shipped beside the binary.
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA((SystemDirectory() + name).c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              ::GetFileAttributesA((ImageDirectory() + name).c_str()));
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    for (const char* runtime : {"libstdc++", "libgcc", "libwinpthread", "msvcp", "vcruntime"}) {
      EXPECT_EQ(std::string::npos, lower.find(runtime));
    }
  }
}

}  // namespace

TEST(PluginImage, ExportsExactlyTheEightUndecoratedNames) {
  PeImage image(testsupport::ReadWholeFile(ImageDirectory() + "OrinRobo.dll"));
  ASSERT_TRUE(image.Valid());
  std::set<std::string> exports(image.Exports().begin(), image.Exports().end());
  const std::set<std::string> expected = {
      "ORIN_PLUGIN_GetVersion",          "ORIN_PLUGIN_GetInterfaceVersion",
      "ORIN_PLUGIN_SetInterfaceVersion", "ORIN_PLUGIN_GetPluginType",
      "ORIN_PLUGIN_GetPluginName",       "ORIN_PLUGIN_SetVendorInformations",
      "CreateOrinRoboManager",           "ReleaseOrinRoboManager"};
  EXPECT_EQ(expected, exports);
  EXPECT_EQ(8u, image.Exports().size());
}

TEST(PluginImage, PluginAndSampleDriversImportSystemLibrariesOnly) {
  ExpectSystemImportsOnly(ImageDirectory() + "OrinRobo.dll");
  for (const char* driver : {"ORSAMPLE1.DLL", "ORSAMPLE3.DLL", "ORSAMPLE4.DLL", "ORSAMPLE5.DLL"}) {
    ExpectSystemImportsOnly(ImageDirectory() + "drivers\\" + driver);
  }
}

TEST(PluginImage, EveryShippedBinaryIsBuiltForItsFlavour) {
  for (const char* file : {"OrinRobo.dll", "orinhost.exe", "Pickwell.exe", "pickwell-send.exe",
                           "drivers\\ORSAMPLE1.DLL", "drivers\\ORSAMPLE5.DLL",
                           "vtrobots-sim\\VTROBOTS20.DLL"}) {
    SCOPED_TRACE(file);
    PeImage image(testsupport::ReadWholeFile(ImageDirectory() + file));
    ASSERT_TRUE(image.Valid());
    EXPECT_EQ(ExpectedMachine(), image.Machine());
  }
}

// asInvoker keeps Windows from virtualising the station's registry writes; the supported-OS entry
// of Windows 10 and 11 marks a current program.
TEST(PluginImage, StationProgramsCarryAnAsInvokerManifest) {
  for (const char* file : {"Pickwell.exe", "pickwell-send.exe"}) {
    SCOPED_TRACE(file);
    HMODULE image = ::LoadLibraryExA((ImageDirectory() + file).c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(nullptr, image);
    HRSRC resource = ::FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    HGLOBAL loaded = resource ? ::LoadResource(image, resource) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    const std::string manifest = bytes ? std::string(bytes, ::SizeofResource(image, resource)) : std::string();
    ::FreeLibrary(image);
    EXPECT_NE(std::string::npos, manifest.find("<requestedExecutionLevel level=\"asInvoker\""));
    EXPECT_NE(std::string::npos, manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"));
  }
}

TEST(PluginImage, ReaderRejectsWhatIsNoImage) {
  EXPECT_FALSE(PeImage("").Valid());
  EXPECT_FALSE(PeImage("MZ").Valid());
  std::string cut = testsupport::ReadWholeFile(ImageDirectory() + "OrinRobo.dll");
  cut.resize(200);
  EXPECT_FALSE(PeImage(cut).Valid());
}

TEST(PluginImage, ExportsAnswerAsAHostExpects) {
  HMODULE plugin = ::LoadLibraryA((testsupport::ExeDirectory() + "OrinRobo.dll").c_str());
  ASSERT_NE(nullptr, plugin);
  auto entry = [plugin](const char* name) { return reinterpret_cast<void*>(::GetProcAddress(plugin, name)); };
  auto getVersion = reinterpret_cast<int(__cdecl*)()>(entry("ORIN_PLUGIN_GetVersion"));
  auto getType = reinterpret_cast<const char*(__cdecl*)()>(entry("ORIN_PLUGIN_GetPluginType"));
  auto getName = reinterpret_cast<const char*(__cdecl*)()>(entry("ORIN_PLUGIN_GetPluginName"));
  auto setVendor = reinterpret_cast<void(__cdecl*)(const void*)>(entry("ORIN_PLUGIN_SetVendorInformations"));
  auto getInterface = reinterpret_cast<unsigned(__cdecl*)()>(entry("ORIN_PLUGIN_GetInterfaceVersion"));
  ASSERT_TRUE(getVersion && getType && getName && setVendor && getInterface);
  EXPECT_EQ(4, getVersion());
  EXPECT_STREQ("OrinCDRoboManager", getType());
  EXPECT_EQ(getType(), getName());
  // Whatever the host passes is ignored: null, a wild pointer, more arguments than declared.
  setVendor(nullptr);
  setVendor(reinterpret_cast<const void*>(static_cast<uintptr_t>(1)));
  reinterpret_cast<void(__cdecl*)(int, int, int)>(entry("ORIN_PLUGIN_SetVendorInformations"))(7, 8, 9);
  EXPECT_EQ(4u, getInterface());
  ::FreeLibrary(plugin);
}
