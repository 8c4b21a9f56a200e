// MsDriver.cpp - a robot driver library as a Microsoft-compiler user writes it: ordinary C++
// classes derived from the interfaces in the public header, with ordinary virtual destructors;
// the host destroys an object with delete through the interface, which runs this module's
// scalar deleting destructor and so frees the memory here.
//
// Built by clang in MSVC mode and linked by lld-link without any C++ run-time: operator new and
// delete sit on the process heap, and DllMain is the entry point. Switches:
//   MS_INTERFACE=1|3|4|5   driver interface version (firmware check from 4 on)
//   MS_NAME="text"         plug-in name
//   MS_VERSION=n           plug-in version
// It counts what it does in the same shared memory as the g++ samples (SampleDriverCounters.h).
#include <orinrobo/OrinRoboSdk.h>

#include "SampleDriverCounters.h"

#define MS_EXPORT extern "C" __declspec(dllexport)

namespace {
SampleCountersView g_view = {nullptr, nullptr};
SampleDriverSlot* g_slot = nullptr;  // null when the shared memory could not be had
char g_fileKey[SAMPLE_KEY_SIZE];

void Count(LONG SampleDriverSlot::*field) {
  if (g_slot) InterlockedIncrement(&(g_slot->*field));
}

void NoteEntry(SampleEntry entry) {
  if (g_slot == nullptr) return;
  InterlockedIncrement(&g_slot->entryCalls[entry]);
  if (g_slot->firstEntry == SAMPLE_ENTRY_NONE) g_slot->firstEntry = entry;
}

// Counts a call of an operation (of a driver or a firmware check) and notes its result, which it
// returns.
int Answer(bool driver, int position, int result) {
  if (g_slot == nullptr) return result;
  InterlockedIncrement(driver ? &g_slot->driverOps[position] : &g_slot->checkOps[position]);
  g_slot->lastResult = result;
  return result;
}

}  // namespace

// No C++ run-time: the process heap serves every allocation of this module.
struct HeapTag {};
void* operator new(size_t size, HeapTag) noexcept { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }
void operator delete(void* memory) noexcept {
  if (memory == nullptr) return;
  Count(&SampleDriverSlot::objectsFreed);
  HeapFree(GetProcessHeap(), 0, memory);
}
void operator delete(void* memory, size_t) noexcept { operator delete(memory); }
void operator delete(void* memory, HeapTag) noexcept { operator delete(memory); }

namespace {

#if MS_INTERFACE >= 4
using DriverLayout = IRoboDriver;
#elif MS_INTERFACE >= 2
using DriverLayout = IRoboDriverV3;
#else
using DriverLayout = IRoboDriverV1;
#endif

// A robot with a bin of discs and one drive; operations answer 1 when done, 0 when refused.
class MsRobot final : public DriverLayout {
 public:
  explicit MsRobot(OrinArg discs) : discs_(discs ? static_cast<int>(discs) : 25) {
    Count(&SampleDriverSlot::driversCreated);
  }
  ~MsRobot() override { Count(&SampleDriverSlot::driversDestroyed); }

  int ORIN_METHOD Initialize() override { return Op(1, 1); }
  int ORIN_METHOD Shutdown() override { return Op(2, 1); }
  int ORIN_METHOD LoadDisc() override {
    const bool can = !loaded_ && discs_ > 0;
    if (can) {
      loaded_ = true;
      --discs_;
    }
    return Op(3, can ? 1 : 0);
  }
  int ORIN_METHOD UnloadDisc() override {
    const bool can = loaded_;
    loaded_ = false;
    return Op(4, can ? 1 : 0);
  }
  int ORIN_METHOD QueryStatus() override { return Op(5, (loaded_ ? 1 : 0) | (discs_ == 0 ? 2 : 0)); }
  int ORIN_METHOD Reset() override { return Op(6, 1); }
  int ORIN_METHOD Park() override { return Op(7, 1); }
  int ORIN_METHOD SelfTest() override { return Op(8, 1); }
#if MS_INTERFACE >= 2
  int ORIN_METHOD GetBinCount() override { return Op(10, discs_); }
#endif
#if MS_INTERFACE >= 4
  int ORIN_METHOD GetLastErrorCode() override { return Op(11, 0); }
  int ORIN_METHOD Abort() override { return Op(12, 1); }
#endif

 private:
  static int Op(int position, int result) { return Answer(true, position, result); }
  int discs_;
  bool loaded_ = false;
};

#if MS_INTERFACE >= 4
#if MS_INTERFACE >= 5
using CheckLayout = IRoboFirmwareCheck;
#else
using CheckLayout = IRoboFirmwareCheckV4;
#endif

// Robot firmware 1.20; drives 0..3; recorders need firmware 1.10.
class MsFirmwareCheck final : public CheckLayout {
 public:
  MsFirmwareCheck() { Count(&SampleDriverSlot::checksCreated); }
  ~MsFirmwareCheck() override { Count(&SampleDriverSlot::checksDestroyed); }

  int ORIN_METHOD GetFirmwareVersion() override { return Answer(false, 1, 0x0120); }
  bool ORIN_METHOD IsDriveSupported(OrinArg drive) override { return Answer(false, 2, drive < 4) != 0; }
  bool ORIN_METHOD IsFirmwareSupported(OrinArg fw) override { return Answer(false, 3, fw >= 0x0110) != 0; }
#if MS_INTERFACE >= 5
  int ORIN_METHOD GetRequiredFirmware() override { return Answer(false, 5, 0x0110); }
#endif
};
#endif

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    SampleFileKey(module, g_fileKey);
    g_view = SampleCountersOpen();
    g_slot = SampleCountersSlot(g_view.counters, g_fileKey, 1);
    if (g_slot) {
      g_slot->firstEntry = SAMPLE_ENTRY_NONE;
      InterlockedIncrement(&g_slot->attaches);
      InterlockedIncrement(&g_view.counters->totalAttaches);
    }
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

MS_EXPORT const char* ORIN_CDECL ORIN_PLUGIN_GetPluginName(void) {
  NoteEntry(SAMPLE_ENTRY_GET_NAME);
  return MS_NAME;
}
MS_EXPORT uint32_t ORIN_CDECL ORIN_PLUGIN_GetVersion(void) {
  NoteEntry(SAMPLE_ENTRY_GET_VERSION);
  return MS_VERSION;
}
MS_EXPORT uint32_t ORIN_CDECL ORIN_PLUGIN_GetInterfaceVersion(void) {
  NoteEntry(SAMPLE_ENTRY_GET_INTERFACE);
  return MS_INTERFACE;
}
MS_EXPORT void ORIN_CDECL ORIN_PLUGIN_SetInterfaceVersion(uint32_t version) {
  NoteEntry(SAMPLE_ENTRY_SET_INTERFACE);
  if (g_slot) g_slot->lastAnnouncedVersion = static_cast<LONG>(version);
}
MS_EXPORT int ORIN_CDECL orinrobodriver_configuredriver(OrinArg) {
  NoteEntry(SAMPLE_ENTRY_CONFIGURE);
  return 1;
}
MS_EXPORT DriverLayout* ORIN_CDECL orinrobodriver_createdriver(OrinArg discs) {
  NoteEntry(SAMPLE_ENTRY_CREATE);
  return new (HeapTag{}) MsRobot(discs);
}
#if MS_INTERFACE >= 4
MS_EXPORT IRoboDriver* ORIN_CDECL orinrobodriverV2_createdriver(OrinArg discs, OrinArg) {
  NoteEntry(SAMPLE_ENTRY_CREATE_V2);
  return new (HeapTag{}) MsRobot(discs);
}
// Both arguments added, so a host sees them arrive unchanged.
MS_EXPORT int ORIN_CDECL orinrobodriverV2_configuredriver(OrinArg first, OrinArg second) {
  NoteEntry(SAMPLE_ENTRY_CONFIGURE_V2);
  return static_cast<int>(first + second);
}
MS_EXPORT IRoboFirmwareCheckV4* ORIN_CDECL orinrobodriver_firmwarecheck(OrinArg) {
  NoteEntry(SAMPLE_ENTRY_FIRMWARE_CHECK);
  return new (HeapTag{}) MsFirmwareCheck();
}
#endif
