#include "DriverTestSupport.h"

#include <cstring>

namespace drivertest {

std::string SampleDriver(const std::string& file) {
  return testsupport::ExeDirectory() + "drivers\\" + file;
}

std::string TestDriver(const std::string& file) {
  return testsupport::ExeDirectory() + "testdrivers\\" + file;
}

Plugin::Plugin() : module_(::LoadLibraryA((testsupport::ExeDirectory() + "OrinRobo.dll").c_str())) {
  if (module_ == nullptr) return;
  auto entry = [this](const char* name) { return reinterpret_cast<void*>(::GetProcAddress(module_, name)); };
  create_ = reinterpret_cast<ORIN_PFN_CreateOrinRoboManager>(entry("CreateOrinRoboManager"));
  release_ = reinterpret_cast<ORIN_PFN_ReleaseOrinRoboManager>(entry("ReleaseOrinRoboManager"));
  setVersion_ = reinterpret_cast<ORIN_PFN_SetInterfaceVersion>(entry("ORIN_PLUGIN_SetInterfaceVersion"));
  getVersion_ = reinterpret_cast<ORIN_PFN_GetInterfaceVersion>(entry("ORIN_PLUGIN_GetInterfaceVersion"));
}

Plugin::~Plugin() {
  if (module_) ::FreeLibrary(module_);
}

Counters::Counters() : view_(SampleCountersOpen()) {}

Counters::~Counters() { SampleCountersClose(&view_); }

bool Counters::Reset() {
  if (view_.counters == nullptr) return false;
  if (view_.counters->totalAttaches != view_.counters->totalDetaches) return false;
  std::memset(view_.counters, 0, sizeof(SampleDriverCounters));
  return true;
}

const SampleDriverSlot& Counters::Of(const std::string& fileName) const {
  static const SampleDriverSlot kNone = {};
  std::string key = fileName;
  for (char& c : key) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  const SampleDriverSlot* slot = SampleCountersSlot(view_.counters, key.c_str(), 0);
  return slot ? *slot : kNone;
}

LONG Counters::Live(const std::string& fileName) const {
  const SampleDriverSlot& slot = Of(fileName);
  return slot.attaches - slot.refusedAttaches - slot.detaches;
}

bool DriverFolder::Add(const std::string& source, const std::string& name) const {
  return ::CopyFileA(source.c_str(), dir_.Join(name).c_str(), FALSE) != 0;
}

bool DriverFolder::Remove(const std::string& name) const {
  return ::DeleteFileA(dir_.Join(name).c_str()) != 0;
}

bool IsLoaded(const std::string& path) { return ::GetModuleHandleA(path.c_str()) != nullptr; }

std::vector<std::string> ListedDriverFiles(const std::string& folder) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\OR*.DLL").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + "\\" + data.cFileName);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return files;
}

namespace {
// How a host would hand the manager an entry of its own making.
class HostEntry final : public IRoboDriverInfo {
 public:
  explicit HostEntry(const char* path) : path_(path ? path : ""), hasPath_(path != nullptr) {}
  ~HostEntry() = default;
  ORIN_DELETING_DESTRUCTOR(HostEntry)
  const char* ORIN_METHOD GetDriverName() override { return "host entry"; }
  uint32_t ORIN_METHOD GetDriverVersion() override { return 1; }
  int ORIN_METHOD HasConfigure() override { return 0; }
  const char* ORIN_METHOD GetDriverPath() override { return hasPath_ ? path_.c_str() : nullptr; }

 private:
  std::string path_;
  bool hasPath_;
};
}  // namespace

IRoboDriverInfo* MakeEntry(const char* path) { return new HostEntry(path); }

void FreeEntry(IRoboDriverInfo* entry) { OrinDestroy(entry); }

std::vector<std::string> CatalogueNames(IRoboManager* manager) {
  std::vector<std::string> names;
  for (int i = 0; i < manager->GetDriverCount(); ++i) {
    const char* name = manager->GetDriverInfo(static_cast<unsigned>(i))->GetDriverName();
    names.push_back(name ? name : "(null)");
  }
  return names;
}

}  // namespace drivertest
