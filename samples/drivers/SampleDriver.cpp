// SampleDriver.cpp - a complete robot driver library, and the template for writing one.
//
// It drives a simulated autoloader: an input bin, one recorder drive and an output bin. Every
// sample and test library is this one file built with different switches (see CMakeLists.txt):
//
//   SAMPLE_INTERFACE=n       driver interface version, 0..6; decides the object layouts
//   SAMPLE_NAME="text"       plug-in name; SAMPLE_NAME_FROM_FILE takes it from the file name
//                            instead ("ORALPHA_V3.DLL" is plug-in "ORALPHA", version 3;
//                            "ORA-BETA_V2.DLL" is plug-in "BETA", version 2)
//   SAMPLE_VERSION=n         plug-in version (default 1)
//   SAMPLE_CONFIGURE         export the first-generation orinrobodriver_configuredriver
//   SAMPLE_FIRMWARE_CHECK    export orinrobodriver_firmwarecheck (always from version 4 on)
//   SAMPLE_NULL_NAME         ORIN_PLUGIN_GetPluginName answers null
//   SAMPLE_NO_GET_NAME, SAMPLE_NO_GET_VERSION, SAMPLE_NO_GET_INTERFACE, SAMPLE_NO_SET_INTERFACE
//                            leave that entry point out
//   SAMPLE_NO_CREATE         export no create entry point at all
//   SAMPLE_CREATE_NULL       every create and firmware-check entry point answers null
//   SAMPLE_REFUSE_LOAD       DllMain refuses to load
//   SAMPLE_CRASH             the driver's Park operation writes through a null pointer
//   SAMPLE_BREAKPOINT        Park hits a breakpoint; SAMPLE_THROW: Park throws a C++ exception
//                            (build that one with exceptions)
//   SAMPLE_SLOW_MS=n         every driver operation takes n ms; SAMPLE_HANG_BIN_COUNT: GetBinCount
//                            takes a minute
//   SAMPLE_FORGE             the plug-in name holds line breaks, tabs, a backslash and a byte
//                            above 0x7F, and the create entry points print to standard output and
//                            answer null
//   SAMPLE_FORGE_RECORDS     ORIN_PLUGIN_GetVersion writes made-up findings to the handle that
//                            orinhost check's child names after --records on its command line
//   SAMPLE_MANGLED_FIRMWARE_CHECK  orinrobodriver_firmwarecheck without extern "C": exported
//                            under its C++ (mangled) name
//   SAMPLE_FIRMWARE_V4_LAYOUT  the firmware check has the interface 4 layout, whatever the
//                            library's interface version says
//   SAMPLE_HEAP_OBJECTS      objects come from HeapAlloc, but the destructor slot frees them with
//                            the library's operator delete (free): another heap
//   SAMPLE_START_PROCESS     orinrobodriver_createdriver starts a process that waits two minutes
//                            (rundll32 calling SampleWait) and writes its id to the file that the
//                            environment variable ORIN_SAMPLE_PROCESS_ID_FILE names
//
// Everything the library does is counted in shared memory (SampleDriverCounters.h).
#include <orinrobo/OrinRoboSdk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#if defined(SAMPLE_THROW)
#include <stdexcept>
#endif

#include "SampleDriverCounters.h"

#ifndef SAMPLE_INTERFACE
#error "SAMPLE_INTERFACE must be defined"
#endif
#ifndef SAMPLE_VERSION
#define SAMPLE_VERSION 1
#endif
#if SAMPLE_INTERFACE >= 4 && !defined(SAMPLE_FIRMWARE_CHECK)
#define SAMPLE_FIRMWARE_CHECK 1
#endif

#define SAMPLE_EXPORT extern "C" __declspec(dllexport)

// The library's own allocation functions: plain malloc and free, with no C++ exception support
// behind them. The run-time's versions drag in a thread-local slot that is never given back, so a
// host that loads and unloads drivers over and over would run out of slots.
void* operator new(size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* memory) noexcept;
void operator delete(void* memory, size_t) noexcept { operator delete(memory); }

namespace {

SampleCountersView g_view = {nullptr, nullptr};
SampleDriverSlot* g_slot = nullptr;  // this library's counters; null when shared memory failed
char g_fileKey[SAMPLE_KEY_SIZE];     // upper-case file name
#if defined(SAMPLE_NAME_FROM_FILE)
char g_pluginName[SAMPLE_KEY_SIZE];
uint32_t g_pluginVersion = SAMPLE_VERSION;
#endif

void Count(LONG* counter) {
  if (g_slot) InterlockedIncrement(counter);
}
#define COUNT(field) Count(g_slot ? &g_slot->field : nullptr)

}  // namespace

// Counted, so a host can see that this module freed the objects it made.
void operator delete(void* memory) noexcept {
  if (memory == nullptr) return;
  COUNT(objectsFreed);
  std::free(memory);
}

namespace {

[[maybe_unused]] void PrintWithoutNewline(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

// Finds "--records <handle>" on the command line and writes text to that handle.
[[maybe_unused]] void WriteToRecordChannel(const char* text) {
  const char* found = std::strstr(GetCommandLineA(), "--records ");
  if (found == nullptr) return;
  const HANDLE channel = reinterpret_cast<HANDLE>(std::strtoull(found + 10, nullptr, 10));
  DWORD written = 0;
  WriteFile(channel, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

// Where a new object's memory comes from.
[[maybe_unused]] void* ObjectMemory(size_t size) {
#if defined(SAMPLE_HEAP_OBJECTS)
  return HeapAlloc(GetProcessHeap(), 0, size);
#else
  return ::operator new(size, std::nothrow);
#endif
}

template <class Object, class... Arguments>
Object* NewObject(Arguments... arguments) {
  void* memory = ObjectMemory(sizeof(Object));
  return memory ? new (memory) Object(arguments...) : nullptr;
}

#if defined(SAMPLE_START_PROCESS)
// A process of the library's own that outlives the call: rundll32 running SampleWait.
void StartWaitingProcess(HINSTANCE module) {
  char self[MAX_PATH];
  char system[MAX_PATH];
  char idFile[MAX_PATH];
  if (!GetModuleFileNameA(module, self, MAX_PATH) || !GetSystemDirectoryA(system, MAX_PATH) ||
      !GetEnvironmentVariableA("ORIN_SAMPLE_PROCESS_ID_FILE", idFile, MAX_PATH)) {
    return;
  }
  char command[3 * MAX_PATH];
  std::snprintf(command, sizeof command, "\"%s\\rundll32.exe\" \"%s\",SampleWait", system, self);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return;
  char id[16];
  const int length = std::snprintf(id, sizeof id, "%lu", static_cast<unsigned long>(process.dwProcessId));
  HANDLE file = CreateFileA(idFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, id, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}
#endif

void NoteEntry(SampleEntry entry) {
  if (g_slot == nullptr) return;
  InterlockedIncrement(&g_slot->entryCalls[entry]);
  if (g_slot->firstEntry == SAMPLE_ENTRY_NONE) g_slot->firstEntry = entry;
}

[[maybe_unused]] void NoteArguments(OrinArg first, OrinArg second) {
  if (g_slot == nullptr) return;
  g_slot->lastArg1 = static_cast<LONG>(first);
  g_slot->lastArg2 = static_cast<LONG>(second);
}

// The library's own file name, upper-cased, and (for SAMPLE_NAME_FROM_FILE) name and version.
void LearnFileName(HINSTANCE module) {
  SampleFileKey(module, g_fileKey);
#if defined(SAMPLE_NAME_FROM_FILE)
  // "ORNAME_V12.DLL": name "ORNAME", version 12; without "_V<digits>" the version stays.
  size_t stem = 0;
  while (g_fileKey[stem] && g_fileKey[stem] != '.') ++stem;
  size_t nameEnd = stem;
  for (size_t i = 0; i + 2 < stem; ++i) {
    if (g_fileKey[i] != '_' || g_fileKey[i + 1] != 'V') continue;
    uint32_t value = 0;
    size_t j = i + 2;
    while (j < stem && g_fileKey[j] >= '0' && g_fileKey[j] <= '9') {
      value = value * 10 + static_cast<uint32_t>(g_fileKey[j] - '0');
      ++j;
    }
    if (j == stem && j > i + 2) {
      nameEnd = i;
      g_pluginVersion = value;
      break;
    }
  }
  // "ORB-NAME_V2.DLL": the name is what follows the first '-', so one name can stand under file
  // names that list apart.
  size_t nameStart = 0;
  for (size_t i = 0; i < nameEnd; ++i) {
    if (g_fileKey[i] == '-') {
      nameStart = i + 1;
      break;
    }
  }
  for (size_t i = nameStart; i < nameEnd; ++i) g_pluginName[i - nameStart] = g_fileKey[i];
  g_pluginName[nameEnd - nameStart] = '\0';
#endif
}

// ---------------------------------------------------------------------------------------------
// The simulated robot. Operation results: 1 done, 0 refused (GetLastErrorCode says why).

enum RobotError { kNoError = 0, kInputBinEmpty = 1, kDriveFull = 2, kDriveEmpty = 3 };

#if SAMPLE_INTERFACE >= 4
using DriverLayout = IRoboDriver;
#elif SAMPLE_INTERFACE >= 2
using DriverLayout = IRoboDriverV3;
#else
using DriverLayout = IRoboDriverV1;
#endif

class SampleRobot final : public DriverLayout {
 public:
  // inputDiscs 0 means a full bin of 25.
  SampleRobot(uint32_t inputDiscs, uint32_t outputDiscs)
      : input_(inputDiscs ? static_cast<int>(inputDiscs) : 25), output_(static_cast<int>(outputDiscs)) {
    COUNT(driversCreated);
  }
  ~SampleRobot() { COUNT(driversDestroyed); }
  ORIN_DELETING_DESTRUCTOR(SampleRobot)

  int ORIN_METHOD Initialize() override {
    error_ = kNoError;
    return Op(1, 1);
  }
  int ORIN_METHOD Shutdown() override { return Op(2, 1); }
  int ORIN_METHOD LoadDisc() override {
    if (driveLoaded_) return Op(3, Fail(kDriveFull));
    if (input_ == 0) return Op(3, Fail(kInputBinEmpty));
    --input_;
    driveLoaded_ = true;
    return Op(3, 1);
  }
  int ORIN_METHOD UnloadDisc() override {
    if (!driveLoaded_) return Op(4, Fail(kDriveEmpty));
    driveLoaded_ = false;
    ++output_;
    return Op(4, 1);
  }
  // Bit 0: a disc is in the drive; bit 1: the input bin is empty.
  int ORIN_METHOD QueryStatus() override { return Op(5, (driveLoaded_ ? 1 : 0) | (input_ == 0 ? 2 : 0)); }
  int ORIN_METHOD Reset() override {
    error_ = kNoError;
    return Op(6, 1);
  }
  int ORIN_METHOD Park() override {
#if defined(SAMPLE_CRASH)
    *static_cast<volatile int*>(nowhere_) = 0;  // an access violation, for the host's guard
#elif defined(SAMPLE_BREAKPOINT)
    DebugBreak();
#elif defined(SAMPLE_THROW)
    if (input_ >= 0) throw std::runtime_error("robot arm jammed");
#endif
    return Op(7, 1);
  }
  int ORIN_METHOD SelfTest() override { return Op(8, 1); }
#if SAMPLE_INTERFACE >= 2
  int ORIN_METHOD GetBinCount() override { return Op(10, input_); }  // discs left in the input bin
#endif
#if SAMPLE_INTERFACE >= 4
  int ORIN_METHOD GetLastErrorCode() override { return Op(11, error_); }
  int ORIN_METHOD Abort() override { return Op(12, 1); }
#endif

 private:
  // Counts the call and notes its result, which it returns.
  static int Op(int position, int result) {
#if defined(SAMPLE_SLOW_MS)
    Sleep(SAMPLE_SLOW_MS);
#endif
#if defined(SAMPLE_HANG_BIN_COUNT)
    if (position == 10) Sleep(60000);
#endif
    COUNT(driverOps[position]);
    if (g_slot) g_slot->lastResult = result;
    return result;
  }
  int Fail(RobotError error) {
    error_ = error;
    return 0;
  }

  int input_;
  int output_;
  bool driveLoaded_ = false;
  int error_ = kNoError;
#if defined(SAMPLE_CRASH)
  void* volatile nowhere_ = nullptr;
#endif
};

#if defined(SAMPLE_FIRMWARE_CHECK)
#if SAMPLE_INTERFACE >= 5 && !defined(SAMPLE_FIRMWARE_V4_LAYOUT)
#define SAMPLE_FIRMWARE_V5 1
using CheckLayout = IRoboFirmwareCheck;
#else
using CheckLayout = IRoboFirmwareCheckV4;
#endif

// The simulated robot runs firmware 1.20 and needs at least 1.10 in the recorder. Drives are
// numbered 0..3.
class SampleFirmwareCheck final : public CheckLayout {
 public:
  SampleFirmwareCheck() { COUNT(checksCreated); }
  ~SampleFirmwareCheck() { COUNT(checksDestroyed); }
  ORIN_DELETING_DESTRUCTOR(SampleFirmwareCheck)

  int ORIN_METHOD GetFirmwareVersion() override { return Op(1, 0x0120); }
  bool ORIN_METHOD IsDriveSupported(OrinArg drive) override { return Op(2, drive < 4) != 0; }
  bool ORIN_METHOD IsFirmwareSupported(OrinArg firmware) override {
    return Op(3, firmware >= kRequiredFirmware) != 0;
  }
#if defined(SAMPLE_FIRMWARE_V5)
  int ORIN_METHOD GetRequiredFirmware() override { return Op(5, kRequiredFirmware); }
#endif

 private:
  static int Op(int position, int result) {
    COUNT(checkOps[position]);
    if (g_slot) g_slot->lastResult = result;
    return result;
  }
  static constexpr int kRequiredFirmware = 0x0110;
};
#endif

}  // namespace

// ---------------------------------------------------------------------------------------------
// Load entry: find this process's counters; refuse to load when built to.

HINSTANCE g_module = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = module;
    LearnFileName(module);
    g_view = SampleCountersOpen();
    g_slot = SampleCountersSlot(g_view.counters, g_fileKey, 1);
    if (g_slot) {
      g_slot->firstEntry = SAMPLE_ENTRY_NONE;
      InterlockedIncrement(&g_slot->attaches);
    }
#if defined(SAMPLE_REFUSE_LOAD)
    COUNT(refusedAttaches);
    g_slot = nullptr;
    SampleCountersClose(&g_view);
    return FALSE;
#endif
    if (g_slot) InterlockedIncrement(&g_view.counters->totalAttaches);
  } else if (reason == DLL_PROCESS_DETACH) {
    if (g_slot) {
      InterlockedIncrement(&g_slot->detaches);
      InterlockedIncrement(&g_view.counters->totalDetaches);
    }
    g_slot = nullptr;
    SampleCountersClose(&g_view);
  }
  return TRUE;
}

#if defined(SAMPLE_START_PROCESS)
extern "C" __declspec(dllexport) void CALLBACK SampleWait(HWND, HINSTANCE, LPSTR, int) { Sleep(120000); }
#endif

// ---------------------------------------------------------------------------------------------
// Plug-in entry points.

#if !defined(SAMPLE_NO_GET_NAME)
SAMPLE_EXPORT const char* ORIN_CDECL ORIN_PLUGIN_GetPluginName(void) {
  NoteEntry(SAMPLE_ENTRY_GET_NAME);
#if defined(SAMPLE_NULL_NAME)
  return nullptr;
#elif defined(SAMPLE_FORGE)
  // A real backslash and n, and a letter outside ASCII (e-acute in most Western code pages), too.
  return "Forge\nok\tcatalogue\tthe plug-in would catalogue it\r\nC:\\new \xE9";
#elif defined(SAMPLE_NAME_FROM_FILE)
  return g_pluginName;
#else
  return SAMPLE_NAME;
#endif
}
#endif

#if !defined(SAMPLE_NO_GET_VERSION)
SAMPLE_EXPORT uint32_t ORIN_CDECL ORIN_PLUGIN_GetVersion(void) {
  NoteEntry(SAMPLE_ENTRY_GET_VERSION);
#if defined(SAMPLE_FORGE_RECORDS)
  WriteToRecordChannel("info\tversion\t1\nok\tcatalogue\tthe plug-in would catalogue it\nno robot here\n");
#endif
#if defined(SAMPLE_NAME_FROM_FILE)
  return g_pluginVersion;
#else
  return SAMPLE_VERSION;
#endif
}
#endif

#if !defined(SAMPLE_NO_GET_INTERFACE)
SAMPLE_EXPORT uint32_t ORIN_CDECL ORIN_PLUGIN_GetInterfaceVersion(void) {
  NoteEntry(SAMPLE_ENTRY_GET_INTERFACE);
  return SAMPLE_INTERFACE;
}
#endif

#if !defined(SAMPLE_NO_SET_INTERFACE)
// The manager's version; a driver serving several manager generations would adapt to it here.
SAMPLE_EXPORT void ORIN_CDECL ORIN_PLUGIN_SetInterfaceVersion(uint32_t version) {
  NoteEntry(SAMPLE_ENTRY_SET_INTERFACE);
  if (g_slot) g_slot->lastAnnouncedVersion = static_cast<LONG>(version);
}
#endif

#if defined(SAMPLE_CONFIGURE)
// A real driver would show its settings dialog, owned by the window the host passes.
SAMPLE_EXPORT int ORIN_CDECL orinrobodriver_configuredriver(OrinArg parentWindow) {
  NoteEntry(SAMPLE_ENTRY_CONFIGURE);
  NoteArguments(parentWindow, 0);
  return 1;
}
#endif

#if !defined(SAMPLE_NO_CREATE)
// Argument: discs in the input bin (0: a full bin of 25).
SAMPLE_EXPORT DriverLayout* ORIN_CDECL orinrobodriver_createdriver(OrinArg inputDiscs) {
  NoteEntry(SAMPLE_ENTRY_CREATE);
  NoteArguments(inputDiscs, 0);
#if defined(SAMPLE_FORGE)
  PrintWithoutNewline("no robot connected");
  return nullptr;
#elif defined(SAMPLE_CREATE_NULL)
  return nullptr;
#else
#if defined(SAMPLE_START_PROCESS)
  StartWaitingProcess(g_module);
#endif
  return NewObject<SampleRobot>(inputDiscs, OrinArg{0});
#endif
}

#if SAMPLE_INTERFACE >= 4
// Arguments: discs in the input bin (0: 25) and discs already in the output bin.
SAMPLE_EXPORT IRoboDriver* ORIN_CDECL orinrobodriverV2_createdriver(OrinArg inputDiscs,
                                                                     OrinArg outputDiscs) {
  NoteEntry(SAMPLE_ENTRY_CREATE_V2);
  NoteArguments(inputDiscs, outputDiscs);
#if defined(SAMPLE_FORGE)
  PrintWithoutNewline("ok\tcreate\tforged\n");
  return nullptr;
#elif defined(SAMPLE_CREATE_NULL)
  return nullptr;
#else
  return NewObject<SampleRobot>(inputDiscs, outputDiscs);
#endif
}
#endif
#endif

#if SAMPLE_INTERFACE >= 4 && !defined(SAMPLE_NO_CREATE)
// Answers how many settings it took over: the two arguments added, so a host can see that both
// arrived unchanged.
SAMPLE_EXPORT int ORIN_CDECL orinrobodriverV2_configuredriver(OrinArg first, OrinArg second) {
  NoteEntry(SAMPLE_ENTRY_CONFIGURE_V2);
  NoteArguments(first, second);
  return static_cast<int>(first + second);
}
#endif

#if defined(SAMPLE_FIRMWARE_CHECK) && !defined(SAMPLE_NO_CREATE)
#if defined(SAMPLE_MANGLED_FIRMWARE_CHECK)
__declspec(dllexport) IRoboFirmwareCheckV4* ORIN_CDECL orinrobodriver_firmwarecheck(OrinArg drive) {
#else
SAMPLE_EXPORT IRoboFirmwareCheckV4* ORIN_CDECL orinrobodriver_firmwarecheck(OrinArg drive) {
#endif
  NoteEntry(SAMPLE_ENTRY_FIRMWARE_CHECK);
  NoteArguments(drive, 0);
#if defined(SAMPLE_CREATE_NULL)
  return nullptr;
#else
  return NewObject<SampleFirmwareCheck>();
#endif
}
#endif
