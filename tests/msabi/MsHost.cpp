// mshost: a host application as a Microsoft-compiler user writes one. It includes the public header
// as any host does, loads OrinRobo.dll with LoadLibraryA, walks the catalogue of a driver folder,
// creates every driver and firmware check the manager offers, calls each operation through the
// interface and destroys each object with delete through the interface pointer.
//
// The sample drivers count what they do in shared memory (SampleDriverCounters.h); the host
// checks each answer against what the driver said it returned, that the adapters of older
// generations answer 1 (0 for a firmware check's fifth operation) without reaching the driver, and
// that every object is destroyed and freed exactly once, by the module that made it.
//
//   mshost <plug-in> <driver folder> <expected entries> [<driver folder> <expected entries>]
//                                                  (paths relative to mshost.exe's folder)
// Exit code 0 when every check held; each failed check is printed.
#include <orinrobo/OrinRoboSdk.h>

#include "SampleDriverCounters.h"

namespace {

// One line of output, built up and written to standard output.
class Line {
 public:
  Line() {}
  Line& operator<<(const char* text) {
    for (; text && *text && used_ + 2 < sizeof text_; ++text) text_[used_++] = *text;
    return *this;
  }
  Line& operator<<(long value) {
    char digits[24];
    int n = 0;
    unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
      digits[n++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *this << "-";
    while (n > 0 && used_ + 2 < sizeof text_) text_[used_++] = digits[--n];
    return *this;
  }
  ~Line() {
    text_[used_++] = '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text_, static_cast<DWORD>(used_), &written, nullptr);
  }

 private:
  char text_[512];
  size_t used_ = 0;
};

int g_failures = 0;

void Check(bool held, const char* who, const char* what, long got = 0, long wanted = 0) {
  if (held) return;
  ++g_failures;
  Line() << "FAIL " << who << ": " << what << " (got " << got << ", wanted " << wanted << ")";
}

bool Same(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

// mshost.exe's folder with a trailing backslash, and the command line's arguments.
char g_folder[MAX_PATH];
constexpr int kMostArguments = 5;  // the plug-in and up to two folders with their counts
char g_arguments[kMostArguments][MAX_PATH];
int g_argumentCount = 0;

bool ReadCommandLine() {
  const DWORD length = GetModuleFileNameA(nullptr, g_folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  size_t cut = 0;
  for (size_t i = 0; g_folder[i]; ++i) {
    if (g_folder[i] == '\\' || g_folder[i] == '/') cut = i + 1;
  }
  g_folder[cut] = '\0';
  const char* p = GetCommandLineA();
  int index = -1;  // the program's own name comes first
  while (*p) {
    while (*p == ' ') ++p;
    if (!*p) break;
    const bool quoted = *p == '"';
    if (quoted) ++p;
    size_t n = 0;
    char* to = index >= 0 && index < kMostArguments ? g_arguments[index] : nullptr;
    for (; *p && (quoted ? *p != '"' : *p != ' '); ++p) {
      if (to && n + 1 < MAX_PATH) to[n++] = *p;
    }
    if (to) to[n] = '\0';
    if (quoted && *p) ++p;
    ++index;
  }
  g_argumentCount = index;
  return index == 3 || index == 5;
}

void InFolder(const char* name, char* path) {
  size_t n = 0;
  for (const char* p = g_folder; *p && n + 1 < MAX_PATH; ++p) path[n++] = *p;
  for (const char* p = name; *p && n + 1 < MAX_PATH; ++p) path[n++] = *p;
  path[n] = '\0';
}

// The slot the library at path counts in: its upper-case file name.
SampleDriverSlot* SlotOf(SampleDriverCounters* counters, const char* path) {
  char key[SAMPLE_KEY_SIZE];
  const char* base = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') base = p + 1;
  }
  size_t n = 0;
  for (; base[n] && n + 1 < sizeof key; ++n) {
    key[n] = (base[n] >= 'a' && base[n] <= 'z') ? static_cast<char>(base[n] - 'a' + 'A') : base[n];
  }
  key[n] = '\0';
  return SampleCountersSlot(counters, key, 0);
}

// The driver's interface version, asked of the library itself; -1 when it will not say.
long InterfaceVersionOf(const char* path) {
  HMODULE library = LoadLibraryA(path);
  if (library == nullptr) return -1;
  auto ask = reinterpret_cast<ORIN_PFN_DriverGetInterfaceVersion>(
      reinterpret_cast<void*>(GetProcAddress(library, "ORIN_PLUGIN_GetInterfaceVersion")));
  const long version = ask ? static_cast<long>(ask()) : -1;
  FreeLibrary(library);
  return version;
}

// Calls every driver operation; those of the driver's generation must reach it and answer what it
// returned, the others are the adapter's and answer 1 without reaching it. Then deletes it.
void ExerciseDriver(IRoboDriver* driver, SampleDriverSlot* slot, long generation, const char* who) {
  typedef int (ORIN_METHOD IRoboDriver::*Operation)();
  const struct {
    int position;
    Operation call;
  } operations[] = {{1, &IRoboDriver::Initialize}, {2, &IRoboDriver::Shutdown},   {3, &IRoboDriver::LoadDisc},
                    {4, &IRoboDriver::UnloadDisc}, {5, &IRoboDriver::QueryStatus}, {6, &IRoboDriver::Reset},
                    {7, &IRoboDriver::Park},       {8, &IRoboDriver::SelfTest},    {10, &IRoboDriver::GetBinCount},
                    {11, &IRoboDriver::GetLastErrorCode}, {12, &IRoboDriver::Abort}};
  {
    Line line;  // written when the block ends
    line << "  driver answers (* from the adapter):";
    for (const auto& operation : operations) {
      const LONG before = slot->driverOps[operation.position];
      const int result = (driver->*operation.call)();
      const LONG reached = slot->driverOps[operation.position] - before;
      const bool ownOperation = operation.position <= 8 || (operation.position == 10 && generation >= 2) ||
                                generation >= 4;
      line << " " << static_cast<long>(result) << (ownOperation ? "" : "*");
      Check(reached == (ownOperation ? 1 : 0), who, "operation reached the driver", reached, ownOperation ? 1 : 0);
      Check(result == (ownOperation ? slot->lastResult : 1), who, "operation answer", result,
            ownOperation ? slot->lastResult : 1);
    }
  }
  const LONG destroyed = slot->driversDestroyed;
  const LONG freed = slot->objectsFreed;
  delete driver;
  Check(slot->driversDestroyed == destroyed + 1, who, "driver destroyed once", slot->driversDestroyed - destroyed, 1);
  Check(slot->objectsFreed == freed + 1, who, "driver freed by its module", slot->objectsFreed - freed, 1);
}

void ExerciseFirmwareCheck(IRoboFirmwareCheck* check, SampleDriverSlot* slot, long generation, const char* who) {
  const LONG before[6] = {0, slot->checkOps[1], slot->checkOps[2], slot->checkOps[3], 0, slot->checkOps[5]};
  const int firmware = check->GetFirmwareVersion();
  Check(firmware == slot->lastResult && slot->checkOps[1] == before[1] + 1, who, "GetFirmwareVersion", firmware,
        slot->lastResult);
  const bool drive = check->IsDriveSupported(1);
  Check(drive == (slot->lastResult != 0) && slot->checkOps[2] == before[2] + 1, who, "IsDriveSupported", drive,
        slot->lastResult);
  const bool supported = check->IsFirmwareSupported(0x0100);
  Check(supported == (slot->lastResult != 0) && slot->checkOps[3] == before[3] + 1, who, "IsFirmwareSupported",
        supported, slot->lastResult);
  const int required = check->GetRequiredFirmware();
  if (generation >= 5) {
    Check(required == slot->lastResult && slot->checkOps[5] == before[5] + 1, who, "GetRequiredFirmware", required,
          slot->lastResult);
  } else {
    Check(required == 0 && slot->checkOps[5] == before[5], who, "adapter's GetRequiredFirmware", required, 0);
  }
  Line() << "  firmware check answers: " << static_cast<long>(firmware) << " " << static_cast<long>(drive) << " "
         << static_cast<long>(supported) << " " << static_cast<long>(required) << (generation >= 5 ? "" : "*");
  const LONG destroyed = slot->checksDestroyed;
  const LONG freed = slot->objectsFreed;
  delete check;
  Check(slot->checksDestroyed == destroyed + 1, who, "firmware check destroyed once",
        slot->checksDestroyed - destroyed, 1);
  Check(slot->objectsFreed == freed + 1, who, "firmware check freed by its module", slot->objectsFreed - freed, 1);
}

void ExerciseEntry(IRoboManager2* manager, IRoboDriverInfo* entry, SampleDriverCounters* counters) {
  const char* name = entry->GetDriverName();
  const char* path = entry->GetDriverPath();
  Check(name != nullptr && path != nullptr, "catalogue", "entry has a name and a path");
  if (name == nullptr || path == nullptr) return;
  const long generation = InterfaceVersionOf(path);
  SampleDriverSlot* slot = SlotOf(counters, path);
  Line() << name << " version " << static_cast<long>(entry->GetDriverVersion()) << " interface " << generation
         << " configure " << static_cast<long>(entry->HasConfigure());
  Check(slot != nullptr, name, "library counts in shared memory");
  if (slot == nullptr) return;
  Check(manager->FindDriver(name) == entry, name, "FindDriver finds the entry");

  IRoboDriver* first = manager->CreateDriver(entry, 3);
  Check(first != nullptr, name, "CreateDriver made a driver");
  if (first) ExerciseDriver(first, slot, generation, name);
  IRoboDriver* second = manager->CreateDriverV2(entry, 3, 1);
  Check(second != nullptr, name, "CreateDriverV2 made a driver");
  if (second) ExerciseDriver(second, slot, generation, name);

  IRoboFirmwareCheck* check = manager->CreateFirmwareCheck(entry, 0);
  Check((check != nullptr) == (generation >= 4), name, "firmware check from version 4 on", check != nullptr,
        generation >= 4);
  if (check) ExerciseFirmwareCheck(check, slot, generation, name);

  Check(manager->ConfigureDriver(entry, 0) != 0, name, "ConfigureDriver loaded and released the library");
  const int configured = manager->ConfigureDriverV2(entry, 2, 3);
  if (generation >= 4) {
    Check(configured == 5, name, "ConfigureDriverV2 answers the driver's result", configured, 5);
  } else {
    Check(configured != 0, name, "ConfigureDriverV2 falls back to ConfigureDriver", configured, 1);
  }
  Check(slot->driversCreated == slot->driversDestroyed, name, "every driver destroyed", slot->driversDestroyed,
        slot->driversCreated);
  Check(slot->checksCreated == slot->checksDestroyed, name, "every firmware check destroyed", slot->checksDestroyed,
        slot->checksCreated);
}

template <class Fn>
Fn Export(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Catalogues one driver folder and exercises every entry; true when a manager was made.
bool ExerciseFolder(ORIN_PFN_CreateOrinRoboManager create, ORIN_PFN_ReleaseOrinRoboManager release,
                    const char* name, const char* expectedText, SampleDriverCounters* counters) {
  long expected = 0;
  for (const char* p = expectedText; *p >= '0' && *p <= '9'; ++p) expected = expected * 10 + (*p - '0');
  char folder[MAX_PATH];
  InFolder(name, folder);
  IRoboManager2* manager = create(folder);
  if (manager == nullptr) {
    Line() << "FAIL no manager";
    return false;
  }
  const int count = manager->GetDriverCount();
  Line() << count << " driver(s) in " << folder;
  Check(count == expected, "catalogue", "entries", count, expected);
  for (int i = 0; i < count; ++i) ExerciseEntry(manager, manager->GetDriverInfo(static_cast<unsigned>(i)), counters);
  Check(manager->GetDriverInfo(static_cast<unsigned>(count))->GetDriverPath() == nullptr, "catalogue",
        "GetDriverInfo past the end is the empty entry");
  Check(manager->FindDriver(nullptr)->GetDriverName() == nullptr, "catalogue", "FindDriver(null) is the empty entry");
  manager->Refresh();
  Check(manager->GetDriverCount() == count, "catalogue", "Refresh keeps the entries", manager->GetDriverCount(), count);
  release(manager);
  return true;
}

int Run() {
  if (!ReadCommandLine()) {
    Line() << "usage: mshost <plug-in> <driver folder> <expected entries> [<driver folder> <expected entries>]";
    return 2;
  }
  // Opened before any driver loads, so the drivers count into this process's block.
  SampleCountersView view = SampleCountersOpen();
  if (view.counters == nullptr) {
    Line() << "FAIL no shared counters";
    return 1;
  }
  char pluginPath[MAX_PATH];
  InFolder(g_arguments[0], pluginPath);
  HMODULE plugin = LoadLibraryA(pluginPath);
  if (plugin == nullptr) {
    Line() << "FAIL cannot load " << pluginPath;
    return 1;
  }
  auto getVersion = Export<ORIN_PFN_PluginGetVersion>(plugin, "ORIN_PLUGIN_GetVersion");
  auto getName = Export<ORIN_PFN_GetPluginName>(plugin, "ORIN_PLUGIN_GetPluginName");
  auto getType = Export<ORIN_PFN_GetPluginType>(plugin, "ORIN_PLUGIN_GetPluginType");
  auto setVendor = Export<ORIN_PFN_SetVendorInformations>(plugin, "ORIN_PLUGIN_SetVendorInformations");
  auto create = Export<ORIN_PFN_CreateOrinRoboManager>(plugin, "CreateOrinRoboManager");
  auto release = Export<ORIN_PFN_ReleaseOrinRoboManager>(plugin, "ReleaseOrinRoboManager");
  if (!getVersion || !getName || !getType || !setVendor || !create || !release) {
    Line() << "FAIL the plug-in lacks an export";
    return 1;
  }
  Check(getVersion() == ORIN_PLUGIN_VERSION, "plug-in", "version", getVersion(), ORIN_PLUGIN_VERSION);
  Check(Same(getName(), ORIN_PLUGIN_TYPE_NAME) && Same(getType(), ORIN_PLUGIN_TYPE_NAME), "plug-in", "name and type");
  setVendor(nullptr);

  for (int pair = 1; pair + 1 < g_argumentCount; pair += 2) {
    if (!ExerciseFolder(create, release, g_arguments[pair], g_arguments[pair + 1], view.counters)) return 1;
  }
  FreeLibrary(plugin);
  Check(view.counters->totalAttaches == view.counters->totalDetaches, "plug-in",
        "every driver library unloaded", view.counters->totalAttaches - view.counters->totalDetaches, 0);
  SampleCountersClose(&view);
  if (g_failures == 0) Line() << "all checks passed";
  return g_failures == 0 ? 0 : 1;
}

}  // namespace

extern "C" void HostMain() { ExitProcess(static_cast<UINT>(Run())); }
