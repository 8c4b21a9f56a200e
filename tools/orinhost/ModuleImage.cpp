#include "ModuleImage.h"

#include <cstring>

namespace {

class Image {
 public:
  explicit Image(HMODULE module) : base_(reinterpret_cast<const unsigned char*>(module)) {
    if (base_ == nullptr) return;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base_);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 || dos->e_lfanew > 4096) return;
    nt_ = reinterpret_cast<const IMAGE_NT_HEADERS*>(base_ + dos->e_lfanew);
    if (nt_->Signature != IMAGE_NT_SIGNATURE || nt_->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) {
      nt_ = nullptr;
      return;
    }
    size_ = nt_->OptionalHeader.SizeOfImage;
  }

  bool Valid() const { return nt_ != nullptr; }

  // The address of rva, when bytes from it lie inside the image.
  const unsigned char* At(DWORD rva, size_t bytes) const {
    return Valid() && rva <= size_ && bytes <= size_ - rva ? base_ + rva : nullptr;
  }

  bool Holds(const void* address, size_t bytes) const {
    const auto* at = static_cast<const unsigned char*>(address);
    return Valid() && at >= base_ && static_cast<size_t>(at - base_) <= size_ &&
           bytes <= size_ - static_cast<size_t>(at - base_);
  }

  bool InCode(const void* address) const {
    if (!Holds(address, 1)) return false;
    const size_t rva = static_cast<size_t>(static_cast<const unsigned char*>(address) - base_);
    const auto* section = IMAGE_FIRST_SECTION(nt_);
    for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section) {
      if (!Holds(section, sizeof *section)) return false;
      if ((section->Characteristics & IMAGE_SCN_MEM_EXECUTE) == 0) continue;
      if (rva >= section->VirtualAddress && rva - section->VirtualAddress < section->Misc.VirtualSize) return true;
    }
    return false;
  }

  const IMAGE_DATA_DIRECTORY* Directory(int index) const {
    return Valid() && nt_->OptionalHeader.NumberOfRvaAndSizes > static_cast<DWORD>(index)
               ? &nt_->OptionalHeader.DataDirectory[index]
               : nullptr;
  }

 private:
  const unsigned char* base_;
  const IMAGE_NT_HEADERS* nt_ = nullptr;
  size_t size_ = 0;
};

// The memory holds at least bytes readable bytes from address.
bool Readable(const void* address, size_t bytes) {
  MEMORY_BASIC_INFORMATION info = {};
  if (::VirtualQuery(address, &info, sizeof info) == 0 || info.State != MEM_COMMIT) return false;
  if (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) return false;
  const auto* end = static_cast<const unsigned char*>(info.BaseAddress) + info.RegionSize;
  return static_cast<size_t>(end - static_cast<const unsigned char*>(address)) >= bytes;
}

}  // namespace

std::vector<std::string> ExportNames(HMODULE module) {
  std::vector<std::string> names;
  const Image image(module);
  const IMAGE_DATA_DIRECTORY* directory = image.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
  if (directory == nullptr || directory->VirtualAddress == 0) return names;
  const auto* exports =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image.At(directory->VirtualAddress, sizeof(IMAGE_EXPORT_DIRECTORY)));
  if (exports == nullptr) return names;
  const auto* table = reinterpret_cast<const DWORD*>(image.At(exports->AddressOfNames, exports->NumberOfNames * sizeof(DWORD)));
  if (table == nullptr || exports->NumberOfNames > 65536) return names;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    const char* name = reinterpret_cast<const char*>(image.At(table[i], 1));
    if (name == nullptr) continue;
    const auto* end = static_cast<const char*>(std::memchr(name, '\0', 1024));
    if (end != nullptr && image.Holds(name, static_cast<size_t>(end - name) + 1)) names.emplace_back(name, end);
  }
  return names;
}

int EntriesIntoCode(HMODULE module, const void* object, int wanted) {
  const Image image(module);
  if (!image.Valid() || !Readable(object, sizeof(void*))) return -1;
  const auto* table = *static_cast<void* const* const*>(object);
  if (!image.Holds(table, sizeof(void*))) return -1;
  int entries = 0;
  while (entries < wanted && image.Holds(table + entries, sizeof(void*)) && image.InCode(table[entries])) ++entries;
  return entries;
}
