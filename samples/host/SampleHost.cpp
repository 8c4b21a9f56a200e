// SampleHost.cpp - a host application's use of OrinRobo.dll, in one short program.
//
// It loads OrinRobo.dll from its own folder, lists the catalogue of the drivers/ folder beside it,
// and with the first driver listed creates a driver and a firmware check, calls a few operations
// and destroys both before it releases the manager. Place SampleHost.exe beside the OrinRobo.dll of
// its own flavour (the bundle's top level for a 32-bit build, x64/ for a 64-bit one), or copy that
// OrinRobo.dll and a drivers/ folder beside it.
//
// Output goes through wsprintfA and WriteFile, so the program needs no C or C++ run-time and builds
// the same way as the driver template.
#include <orinrobo/OrinRoboSdk.h>

#include <stdarg.h>

#if __has_include(<windows.h>)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
// Cross builds with clang in MSVC mode have no Windows SDK: the few names used here.
typedef int BOOL;
typedef unsigned long DWORD;
typedef void* HANDLE;
typedef struct HINSTANCE__* HMODULE;
typedef int(__stdcall* FARPROC)(void);
#define WINAPI __stdcall
#define MAX_PATH 260
#define STD_OUTPUT_HANDLE ((DWORD)-11)
extern "C" {
__declspec(dllimport) HMODULE WINAPI LoadLibraryA(const char* file);
__declspec(dllimport) FARPROC WINAPI GetProcAddress(HMODULE module, const char* name);
__declspec(dllimport) BOOL WINAPI FreeLibrary(HMODULE module);
__declspec(dllimport) DWORD WINAPI GetModuleFileNameA(HMODULE module, char* path, DWORD size);
__declspec(dllimport) HANDLE WINAPI GetStdHandle(DWORD which);
__declspec(dllimport) BOOL WINAPI WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written,
                                            void* overlapped);
__declspec(dllimport) void WINAPI ExitProcess(unsigned code);
__declspec(dllimport) int WINAPI wvsprintfA(char* out, const char* format, va_list arguments);
}
#endif

namespace {

// printf for this program: at most 1024 bytes a call, as wvsprintfA allows.
void Print(const char* format, ...) {
  char text[1025];
  va_list arguments;
  va_start(arguments, format);
  const int length = wvsprintfA(text, format, arguments);
  va_end(arguments);
  DWORD written = 0;
  if (length > 0)
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(length), &written, nullptr);
}

// The "drivers" folder beside this program.
bool DriverFolder(char (&folder)[MAX_PATH]) {
  const DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH - 8) return false;
  DWORD slash = length;
  while (slash > 0 && folder[slash - 1] != '\\' && folder[slash - 1] != '/') --slash;
  const char name[] = "drivers";
  for (DWORD i = 0; i < sizeof name; ++i) folder[slash + i] = name[i];
  return true;
}

// Create a driver and a firmware check from one catalogue entry, use them, destroy them.
void UseDriver(IRoboManager2* manager, IRoboDriverInfo* entry) {
  const char* name = entry->GetDriverName();
  Print("\nusing %s\n", name ? name : "(no name)");
  // The two arguments reach the driver unchanged; what they mean is up to the driver. Below
  // interface version 4 the manager falls back to CreateDriver(entry, 5).
  IRoboDriver* driver = manager->CreateDriverV2(entry, 5, 0);
  if (driver == nullptr) {
    Print("  CreateDriverV2 answered null\n");
  } else {
    Print("  Initialize = %d\n", driver->Initialize());
    const int loaded = driver->LoadDisc();
    Print("  LoadDisc = %d, then QueryStatus = %d\n", loaded, driver->QueryStatus());
    const int unloaded = driver->UnloadDisc();
    Print("  UnloadDisc = %d, then GetBinCount = %d\n", unloaded, driver->GetBinCount());
    Print("  Shutdown = %d\n", driver->Shutdown());
    OrinDestroy(driver);  // the driver's module frees it, before the manager unloads that module
    Print("  driver destroyed\n");
  }
  IRoboFirmwareCheck* check = manager->CreateFirmwareCheck(entry, 0);
  if (check == nullptr) {
    Print("  CreateFirmwareCheck answered null (drivers below interface version 4 have none)\n");
    return;
  }
  Print("  firmware 0x%x, requires 0x%x\n", check->GetFirmwareVersion(), check->GetRequiredFirmware());
  Print("  drive 0 supported = %d\n", check->IsDriveSupported(0) ? 1 : 0);
  OrinDestroy(check);
  Print("  firmware check destroyed\n");
}

int Run() {
  // The program's own folder comes first in the search order, so this is the OrinRobo.dll beside it.
  HMODULE plugin = LoadLibraryA("OrinRobo.dll");
  if (plugin == nullptr) {
    Print("OrinRobo.dll did not load (a 32-bit program needs the 32-bit plug-in, a 64-bit one x64\\)\n");
    return 2;
  }
  auto create = reinterpret_cast<ORIN_PFN_CreateOrinRoboManager>(
      reinterpret_cast<void*>(GetProcAddress(plugin, "CreateOrinRoboManager")));
  auto release = reinterpret_cast<ORIN_PFN_ReleaseOrinRoboManager>(
      reinterpret_cast<void*>(GetProcAddress(plugin, "ReleaseOrinRoboManager")));
  char folder[MAX_PATH];
  if (create == nullptr || release == nullptr || !DriverFolder(folder)) {
    FreeLibrary(plugin);
    Print("OrinRobo.dll lacks its entry points, or the program's path is too long\n");
    return 2;
  }

  // The manager reads the folder at once; call Refresh() to read it again.
  IRoboManager2* manager = create(folder);
  if (manager == nullptr) {
    FreeLibrary(plugin);
    Print("CreateOrinRoboManager answered null\n");
    return 3;
  }
  const int count = manager->GetDriverCount();
  Print("%d driver(s) in %s\n", count, folder);
  for (int i = 0; i < count; ++i) {
    // Entries belong to the manager: valid until its next Refresh() or its release.
    IRoboDriverInfo* entry = manager->GetDriverInfo(static_cast<unsigned>(i));
    const char* name = entry->GetDriverName();
    const char* path = entry->GetDriverPath();
    Print("%d  %s  version %u  configure %s  %s\n", i, name ? name : "(no name)", entry->GetDriverVersion(),
          entry->HasConfigure() ? "yes" : "no", path ? path : "");
  }
  if (count > 0) UseDriver(manager, manager->GetDriverInfo(0));

  // Every object from the manager is destroyed by now: the release unloads the driver libraries.
  release(manager);
  FreeLibrary(plugin);
  return 0;
}

}  // namespace

#if defined(_MSC_VER)
// The entry point when linked without the C run-time (see CMakeLists.txt).
extern "C" void __stdcall SampleHostEntry(void) { ExitProcess(static_cast<unsigned>(Run())); }
#endif

int main() { return Run(); }
