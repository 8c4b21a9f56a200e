// TemplateDriver.cpp - a robot driver library for OrinRobo.dll, to copy and fill in.
//
// It is a complete driver of interface version 5 (the newest): the plug-in entry points, a driver
// object and a firmware-check object. The robot it drives is imaginary; replace the bodies marked
// "your robot" with calls to yours. Build it with CMakeLists.txt beside it (Microsoft's compiler or
// MinGW-w64, 32- or 64-bit) and check the result with `orinhost check ORTEMPLATE.DLL`.
//
// The library needs no C or C++ run-time: the manager loads and unloads it at every catalogue
// refresh, so it should set up nothing it cannot give back. Its objects live on the process heap.
// Without a run-time (Microsoft's ABI) nothing else supplies DllMain, operator new and delete or
// _purecall, so they are here; nor does anything run constructors of global objects, so there are
// none.
#include <orinrobo/OrinRoboSdk.h>

#include <stddef.h>

#if __has_include(<windows.h>)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
// Cross builds with clang in MSVC mode have no Windows SDK: the few kernel32 names used here.
typedef int BOOL;
typedef unsigned long DWORD;
typedef void* HANDLE;
typedef void* LPVOID;
typedef struct HINSTANCE__* HINSTANCE;
#define WINAPI __stdcall
#define TRUE 1
extern "C" {
__declspec(dllimport) HANDLE WINAPI GetProcessHeap(void);
__declspec(dllimport) LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, size_t bytes);
__declspec(dllimport) BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID memory);
}
#endif

#define TEMPLATE_EXPORT extern "C" __declspec(dllexport)

// What the catalogue shows. The manager keeps one entry per name, the highest version winning.
#define TEMPLATE_NAME "Template Robot"
#define TEMPLATE_VERSION 1u
#define TEMPLATE_INTERFACE 5u

// Every object this library hands out is allocated and freed here, on the process heap. The host
// destroys it through its destructor slot, which frees it with this module's global operator
// delete below: allocation and release must be a pair. Had operator delete stayed the run-time's
// (free), an object from HeapAlloc would be freed into a heap it did not come from.
struct HeapTag {};
void* operator new(size_t size, HeapTag) noexcept { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }
void operator delete(void* memory, HeapTag) noexcept { HeapFree(GetProcessHeap(), 0, memory); }
void operator delete(void* memory) noexcept {
  if (memory != nullptr) HeapFree(GetProcessHeap(), 0, memory);
}
void operator delete(void* memory, size_t) noexcept { operator delete(memory); }

#if defined(_MSC_VER)
// Without the C run-time nobody else defines it; only a base-class constructor or destructor that
// calls a pure virtual operation (a bug) lands here.
extern "C" int __cdecl _purecall(void) {
  __debugbreak();
  return 0;
}
#endif

namespace {

DWORD g_managerVersion = 0;  // what the manager announced; a driver may adapt to older managers

// Driver operations take no argument and answer a 32-bit int. This one answers 1 for done and 0
// for refused, and keeps why in GetLastErrorCode: a convention between you and your host.
class TemplateRobot final : public IRoboDriver {
 public:
  TemplateRobot(OrinArg inputDiscs, OrinArg outputDiscs)
      : input_(static_cast<int>(inputDiscs)), output_(static_cast<int>(outputDiscs)) {}
  // Under g++ the destructor slot is a virtual function; this macro fills it (nothing under MSVC).
  ORIN_DELETING_DESTRUCTOR(TemplateRobot)

  int ORIN_METHOD Initialize() override { return Done(); }  // your robot: connect, home the arm
  int ORIN_METHOD Shutdown() override { return Done(); }
  int ORIN_METHOD LoadDisc() override {
    if (loaded_ || input_ == 0) return Refuse(loaded_ ? kDriveFull : kInputBinEmpty);
    --input_;
    loaded_ = true;
    return Done();
  }
  int ORIN_METHOD UnloadDisc() override {
    if (!loaded_) return Refuse(kDriveEmpty);
    loaded_ = false;
    ++output_;
    return Done();
  }
  int ORIN_METHOD QueryStatus() override { return (loaded_ ? 1 : 0) | (input_ == 0 ? 2 : 0); }
  int ORIN_METHOD Reset() override { return Done(); }
  int ORIN_METHOD Park() override { return Done(); }
  int ORIN_METHOD SelfTest() override { return Done(); }
  int ORIN_METHOD GetBinCount() override { return input_; }
  int ORIN_METHOD GetLastErrorCode() override { return error_; }
  int ORIN_METHOD Abort() override { return Done(); }

 private:
  enum Error { kNone = 0, kInputBinEmpty = 1, kDriveFull = 2, kDriveEmpty = 3 };
  int Done() {
    error_ = kNone;
    return 1;
  }
  int Refuse(Error why) {
    error_ = why;
    return 0;
  }

  int input_;
  int output_;
  bool loaded_ = false;
  int error_ = kNone;
};

// Which recorder drives and firmware your robot works with.
class TemplateFirmwareCheck final : public IRoboFirmwareCheck {
 public:
  ORIN_DELETING_DESTRUCTOR(TemplateFirmwareCheck)

  int ORIN_METHOD GetFirmwareVersion() override { return 0x0100; }  // your robot's firmware, 1.00
  bool ORIN_METHOD IsDriveSupported(OrinArg drive) override { return drive < 2; }
  bool ORIN_METHOD IsFirmwareSupported(OrinArg firmware) override { return firmware >= kRequired; }
  int ORIN_METHOD GetRequiredFirmware() override { return kRequired; }

 private:
  static constexpr OrinArg kRequired = 0x0100;
};

}  // namespace

// Do no work here: the manager loads the library for every refresh only to read its name.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

// ---------------------------------------------------------------------------------------------
// Entry points: extern "C", __cdecl, exported under these exact names.

TEMPLATE_EXPORT const char* ORIN_CDECL ORIN_PLUGIN_GetPluginName(void) { return TEMPLATE_NAME; }
TEMPLATE_EXPORT uint32_t ORIN_CDECL ORIN_PLUGIN_GetVersion(void) { return TEMPLATE_VERSION; }
TEMPLATE_EXPORT uint32_t ORIN_CDECL ORIN_PLUGIN_GetInterfaceVersion(void) { return TEMPLATE_INTERFACE; }

// Called first after every load with the manager's version (2 to 5).
TEMPLATE_EXPORT void ORIN_CDECL ORIN_PLUGIN_SetInterfaceVersion(uint32_t version) {
  g_managerVersion = version;
}

// First-generation configuration; its presence sets the catalogue's configure flag. A real driver
// shows its settings dialog owned by the window the host passes.
TEMPLATE_EXPORT int ORIN_CDECL orinrobodriver_configuredriver(OrinArg /*parentWindow*/) { return 1; }

// The arguments come from the host unchanged; here the discs in the input and output bins.
TEMPLATE_EXPORT IRoboDriverV1* ORIN_CDECL orinrobodriver_createdriver(OrinArg inputDiscs) {
  return new (HeapTag{}) TemplateRobot(inputDiscs ? inputDiscs : 25, 0);
}
TEMPLATE_EXPORT IRoboDriver* ORIN_CDECL orinrobodriverV2_createdriver(OrinArg inputDiscs,
                                                                       OrinArg outputDiscs) {
  return new (HeapTag{}) TemplateRobot(inputDiscs ? inputDiscs : 25, outputDiscs);
}

// Its result goes back to the host as it is.
TEMPLATE_EXPORT int ORIN_CDECL orinrobodriverV2_configuredriver(OrinArg /*first*/, OrinArg /*second*/) {
  return 1;
}

TEMPLATE_EXPORT IRoboFirmwareCheckV4* ORIN_CDECL orinrobodriver_firmwarecheck(OrinArg /*drive*/) {
  return new (HeapTag{}) TemplateFirmwareCheck;  // no "()": zero-filling first would call memset
}
