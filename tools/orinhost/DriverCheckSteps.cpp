// The child's side of orinhost check: every finding is one record on the channel the parent
// handed down (never standard output, which the driver shares),
//   <status> TAB <check> TAB <text> LF
// with status ok, fail, info or call, and the exact text escaped for the channel (RecordText.h).
// A "call" record goes out before each call into the driver; the parent pairs it with the record
// that follows, and a call left without one is where the driver brought the child down. The last
// record, "end", carries the number of records before it.
#include <orinrobo/OrinRoboSdk.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CheckCauses.h"
#include "DriverCheck.h"
#include "HeapBlock.h"
#include "ModuleImage.h"
#include "OrinRobo/InterfaceVersion.h"
#include "RecordText.h"

namespace {

constexpr uint32_t kHighestInterface = ORIN_HIGHEST_DRIVER_INTERFACE_VERSION;

HANDLE g_records = INVALID_HANDLE_VALUE;
unsigned g_recordCount = 0;

void Record(const char* status, const char* check, const std::string& text) {
  const std::string line = std::string(status) + "\t" + check + "\t" + EncodeRecordText(text) + "\n";
  DWORD written = 0;
  ::WriteFile(g_records, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  ++g_recordCount;
}

// The last record: the parent counts a run without it, or with another count, as broken off.
int EndRecords() {
  const std::string line = "end\tcheck\t" + std::to_string(g_recordCount) + "\n";
  DWORD written = 0;
  ::WriteFile(g_records, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return kExitOk;
}

std::string Number(long long value) { return std::to_string(value); }

// A version is one unsigned number; from 0x100 on the hexadecimal form is shown too, so a packed
// 0x00010200 is seen as such.
std::string VersionText(uint32_t value) {
  if (value < 0x100) return Number(value);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(value));
  return Number(value) + " (" + hex + ")";
}

// A crash in the driver ends the child at once, with the exception code as its exit code, and
// without the system's crash dialog or debugger.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception) {
  ::TerminateProcess(::GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

// The machine a PE file is built for, 0 when the file is no PE image; openError is set when the
// file cannot be opened at all.
WORD PeMachine(const std::string& path, DWORD& openError) {
  openError = 0;
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    openError = ::GetLastError();
    return 0;
  }
  unsigned char header[4096] = {};
  DWORD got = 0;
  ::ReadFile(file, header, sizeof header, &got, nullptr);
  ::CloseHandle(file);
  if (got < 0x40 || header[0] != 'M' || header[1] != 'Z') return 0;
  const DWORD pe = header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | static_cast<DWORD>(header[0x3F]) << 24;
  if (pe > got - 6 || header[pe] != 'P' || header[pe + 1] != 'E' || header[pe + 2] || header[pe + 3]) return 0;
  return static_cast<WORD>(header[pe + 4] | header[pe + 5] << 8);
}

bool LongNameMatches(std::string base) {
  for (char& c : base) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return base.size() >= 6 && base.compare(0, 2, "OR") == 0 && base.compare(base.size() - 4, 4, ".DLL") == 0;
}

// Whether the plug-in's search finds the file: its folder enumerated with the plug-in's pattern,
// which the system also matches against 8.3 short names ("ORDASH.DLL-1" may be found). shortName
// is set when only the short name matched.
bool FoundByDriverSearch(const std::string& path, std::string& shortName) {
  const size_t slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((folder + "OR*.DLL").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool match = false;
  do {
    match = ::lstrcmpiA(found.cFileName, base.c_str()) == 0;
  } while (!match && ::FindNextFileA(search, &found));
  ::FindClose(search);
  if (match && !LongNameMatches(base)) shortName = found.cAlternateFileName[0] ? found.cAlternateFileName : "?";
  return match;
}

// Which driver entry points exist, and from which interface version each is required.
struct ExportRow {
  const char* name;
  int requiredFrom;       // 0: always; 1: every object-making version; 4: version 4 and up; -1: optional
  const char* withoutIt;  // what the plug-in answers the host when a required one is missing
  bool present;
};

template <class Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// An object whose memory its heap still holds after the destructor slot ran with flag 1 was not
// freed, or was freed into another heap than the one it came from: that corrupts a host's heap
// wherever the two allocators do not share one.
template <class Object>
void Destroy(Object* object, const char* what) {
  const HANDLE heap = HeapHolding(object);
  Record("call", "destroy", std::string(what) + " destroyed through its destructor");
  OrinDestroy(object);
  const bool kept = heap != nullptr && StillAllocated(heap, object);
  Record("ok", "destroy", std::string(what) + " destroyed through its destructor");
  if (kept) {
    Record("fail", "destroy", std::string("the ") + what +
                                  "'s memory is still allocated after its destructor slot ran: the slot does not "
                                  "free it, or frees it through another allocator than the one that made it (say "
                                  "HeapAlloc, then the run-time's operator delete)");
  }
}

// How many entries of an object's function table may be called: all the layout of its interface
// version has, unless the table ends sooner inside the library's image. Calling past its end is
// what crashes a host that trusts the claimed version.
int CallableEntries(HMODULE library, const void* object, int needed, uint32_t version, const char* check,
                    std::string (*layoutOfLength)(int)) {
  const int entries = EntriesIntoCode(library, object, needed);
  if (entries < 0) {
    Record("info", check, "function table outside the library's image: its length is not compared");
    return needed;
  }
  if (entries < needed) {
    Record("fail", check, "function table ends after entry " + Number(entries) + " of the " + Number(needed) +
                              " that interface " + Number(version) + " needs: " + layoutOfLength(entries) +
                              "? Entries past " + Number(entries) + " are not called");
  }
  return entries;
}

int DriverEntries(uint32_t version) { return version >= 4 ? 12 : version >= 2 ? 10 : 9; }
int FirmwareEntries(uint32_t version) { return version >= 5 ? 5 : 4; }

// Calls the operations an object of this interface version has, in declaration order, as far as
// its function table reaches.
void ExerciseDriver(IRoboDriverV1* driver, uint32_t version, int entries) {
  struct Call {
    int position;
    const char* name;
  };
  const Call calls[] = {{1, "Initialize"}, {2, "Shutdown"},  {3, "LoadDisc"}, {4, "UnloadDisc"},
                        {5, "QueryStatus"}, {6, "Reset"},    {7, "Park"},     {8, "SelfTest"},
                        {10, "GetBinCount"}, {11, "GetLastErrorCode"}, {12, "Abort"}};
  for (const Call& call : calls) {
    if (call.position == 10 && version < 2) break;
    if (call.position == 11 && version < 4) break;
    if (call.position > entries) break;
    Record("call", "driver", call.name);
    int result = 0;
    switch (call.position) {
      case 1: result = driver->Initialize(); break;
      case 2: result = driver->Shutdown(); break;
      case 3: result = driver->LoadDisc(); break;
      case 4: result = driver->UnloadDisc(); break;
      case 5: result = driver->QueryStatus(); break;
      case 6: result = driver->Reset(); break;
      case 7: result = driver->Park(); break;
      case 8: result = driver->SelfTest(); break;
      case 10: result = static_cast<IRoboDriverV3*>(driver)->GetBinCount(); break;
      case 11: result = static_cast<IRoboDriver*>(driver)->GetLastErrorCode(); break;
      default: result = static_cast<IRoboDriver*>(driver)->Abort(); break;
    }
    Record("ok", "driver", std::string(call.name) + " = " + Number(result));
  }
}

void ExerciseFirmwareCheck(IRoboFirmwareCheckV4* check, uint32_t version, int entries) {
  if (entries < 3) return;  // no layout at all
  Record("call", "firmware", "GetFirmwareVersion");
  Record("ok", "firmware", "GetFirmwareVersion = " + Number(check->GetFirmwareVersion()));
  Record("call", "firmware", "IsDriveSupported(0)");
  Record("ok", "firmware", std::string("IsDriveSupported(0) = ") + (check->IsDriveSupported(0) ? "true" : "false"));
  Record("call", "firmware", "IsFirmwareSupported(0x0110)");
  Record("ok", "firmware",
         std::string("IsFirmwareSupported(0x0110) = ") + (check->IsFirmwareSupported(0x0110) ? "true" : "false"));
  if (version >= 5 && entries >= 5) {
    Record("call", "firmware", "GetRequiredFirmware");
    Record("ok", "firmware",
           "GetRequiredFirmware = " + Number(static_cast<IRoboFirmwareCheck*>(check)->GetRequiredFirmware()));
  }
}

// Each object made is looked at, used as far as its table reaches and destroyed when its table
// has the destructor slot.
void UseDriver(HMODULE library, IRoboDriverV1* driver, uint32_t version, bool callOperations) {
  const int entries = CallableEntries(library, driver, DriverEntries(version), version, "driver", DriverLayoutOfLength);
  if (callOperations) ExerciseDriver(driver, version, entries);
  if (entries >= 9) Destroy(driver, "driver");
  else Record("fail", "destroy", "driver not destroyed: its function table has no destructor slot");
}

void UseFirmwareCheck(HMODULE library, IRoboFirmwareCheckV4* check, uint32_t version, bool callOperations) {
  const int entries =
      CallableEntries(library, check, FirmwareEntries(version), version, "firmware", FirmwareLayoutOfLength);
  if (callOperations) ExerciseFirmwareCheck(check, version, entries);
  if (entries >= 4) Destroy(check, "firmware check");
  else Record("fail", "destroy", "firmware check not destroyed: its function table has no destructor slot");
}

// Operations such as LoadDisc or Park may move a real robot: with --no-calls the objects are only
// made and destroyed.
void CreateObjects(HMODULE library, uint32_t version, bool callOperations) {
  if (auto create = Entry<ORIN_PFN_CreateDriver>(library, "orinrobodriver_createdriver")) {
    Record("call", "create", "orinrobodriver_createdriver(0)");
    IRoboDriverV1* driver = create(0);
    Record(driver ? "ok" : "fail", "create",
           std::string("orinrobodriver_createdriver(0) = ") + (driver ? "driver" : "null"));
    if (driver) UseDriver(library, driver, version, callOperations);
  }
  if (version < 4) return;
  if (auto create = Entry<ORIN_PFN_CreateDriverV2>(library, "orinrobodriverV2_createdriver")) {
    Record("call", "create", "orinrobodriverV2_createdriver(0, 0)");
    IRoboDriver* driver = create(0, 0);
    Record(driver ? "ok" : "fail", "create",
           std::string("orinrobodriverV2_createdriver(0, 0) = ") + (driver ? "driver" : "null"));
    if (driver) UseDriver(library, driver, version, callOperations);
  }
  if (auto create = Entry<ORIN_PFN_FirmwareCheck>(library, "orinrobodriver_firmwarecheck")) {
    Record("call", "create", "orinrobodriver_firmwarecheck(0)");
    IRoboFirmwareCheckV4* check = create(0);
    Record(check ? "ok" : "fail", "create",
           std::string("orinrobodriver_firmwarecheck(0) = ") + (check ? "firmware check" : "null"));
    if (check) UseFirmwareCheck(library, check, version, callOperations);
  }
}

}  // namespace

int RunDriverCheckSteps(const Options& options) {
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  ::SetUnhandledExceptionFilter(EndOnCrash);
  g_records = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(options.recordChannel));
  // Not handed on to anything the driver may start.
  ::SetHandleInformation(g_records, HANDLE_FLAG_INHERIT, 0);
  const std::string& path = options.driver;  // made absolute by the parent

  DWORD openError = 0;
  const WORD machine = PeMachine(path, openError);
#if defined(_WIN64)
  const WORD ownMachine = IMAGE_FILE_MACHINE_AMD64;
#else
  const WORD ownMachine = IMAGE_FILE_MACHINE_I386;
#endif
  if (openError != 0) {
    Record("fail", "file", "cannot open " + path + " (error " + Number(openError) + ")");
    return EndRecords();
  }
  if (machine == 0) {
    Record("fail", "file", "not a PE image (no MZ and PE headers): " + path);
    return EndRecords();
  }
  if (machine != ownMachine) {
    Record("fail", "file", OtherMachine(machine, ownMachine));
    return EndRecords();
  }
  Record("ok", "file", "PE image for this machine");
  std::string shortName;
  const bool found = FoundByDriverSearch(path, shortName);
  if (!found) {
    Record("fail", "file-name", "the plug-in's OR*.DLL search does not find it: the plug-in never looks at it");
  } else if (shortName.empty()) {
    Record("ok", "file-name", "matches OR*.DLL");
  } else {
    Record("info", "file-name", "found by the plug-in's OR*.DLL search through its short name " + shortName +
                                    ": the plug-in looks at it");
  }

  Record("call", "load", "LoadLibraryA");
  HMODULE library = ::LoadLibraryA(path.c_str());
  if (library == nullptr) {
    const DWORD error = ::GetLastError();
    Record("fail", "load", error == ERROR_DLL_INIT_FAILED
                               ? "LoadLibraryA failed: DllMain refused the load (error 1114)"
                               : "LoadLibraryA failed (error " + Number(error) + ")");
    return EndRecords();
  }
  Record("ok", "load", "LoadLibraryA");

  ExportRow exports[] = {
      {"ORIN_PLUGIN_GetPluginName", 0, "", false},
      {"ORIN_PLUGIN_GetVersion", 0, "", false},
      {"ORIN_PLUGIN_GetInterfaceVersion", 0, "", false},
      {"ORIN_PLUGIN_SetInterfaceVersion", -1, "", false},
      {"orinrobodriver_configuredriver", -1, "", false},
      {"orinrobodriver_createdriver", 1, "CreateDriver answers null", false},
      {"orinrobodriverV2_createdriver", 4, "CreateDriverV2 answers null", false},
      {"orinrobodriverV2_configuredriver", 4, "ConfigureDriverV2 answers 0", false},
      {"orinrobodriver_firmwarecheck", 4, "CreateFirmwareCheck answers null", false}};
  for (ExportRow& row : exports) row.present = ::GetProcAddress(library, row.name) != nullptr;

  // The plug-in's handshake: the announcement comes before any other call.
  if (options.hostVersion >= 0) SetHostInterfaceVersion(static_cast<uint32_t>(options.hostVersion));
  const uint32_t announced = MapInterfaceVersion(kHighestInterface);
  if (auto set = Entry<ORIN_PFN_DriverSetInterfaceVersion>(library, "ORIN_PLUGIN_SetInterfaceVersion")) {
    Record("call", "announce", "ORIN_PLUGIN_SetInterfaceVersion(" + Number(announced) + ")");
    set(announced);
    Record("ok", "announce", "ORIN_PLUGIN_SetInterfaceVersion(" + Number(announced) + ")");
  }
  std::string refusal;
  if (auto getName = Entry<ORIN_PFN_DriverGetPluginName>(library, "ORIN_PLUGIN_GetPluginName")) {
    Record("call", "name", "ORIN_PLUGIN_GetPluginName");
    const char* name = getName();
    Record(name ? "info" : "fail", "name", name ? name : "(null): catalogued, but never found by name");
  }
  if (auto getVersion = Entry<ORIN_PFN_DriverGetVersion>(library, "ORIN_PLUGIN_GetVersion")) {
    Record("call", "version", "ORIN_PLUGIN_GetVersion");
    Record("info", "version", VersionText(getVersion()));
  }
  // Unsigned, as the plug-in compares it: 0x80000000 and up are above the highest version too.
  bool hasVersion = false;
  uint32_t version = 0;
  if (auto getInterface = Entry<ORIN_PFN_DriverGetInterfaceVersion>(library, "ORIN_PLUGIN_GetInterfaceVersion")) {
    Record("call", "interface", "ORIN_PLUGIN_GetInterfaceVersion");
    version = getInterface();
    hasVersion = true;
    Record("info", "interface", Number(version));
  }
  const bool usable = hasVersion && version <= kHighestInterface;

  const std::vector<std::string> exportNames = ExportNames(library);
  std::string unusable;  // the required entry points of its interface version that are missing
  for (const ExportRow& row : exports) {
    const bool required =
        row.requiredFrom == 0 || (row.requiredFrom > 0 && usable && version >= static_cast<uint32_t>(row.requiredFrom));
    std::string text = std::string(row.name) + (row.present ? " present" : " missing");
    text += required ? " (required)" : row.requiredFrom < 0 ? " (optional)" : " (not used at this interface version)";
    const std::string lookAlike = row.present ? std::string() : LookAlikeExport(exportNames, row.name);
    if (!lookAlike.empty()) text += ": " + lookAlike;
    Record(row.present ? "ok" : required ? "fail" : "info", "export", text);
    if (!row.present && row.requiredFrom == 0 && refusal.empty()) refusal = std::string(row.name) + " is missing";
    if (!row.present && required && row.requiredFrom > 0) {
      // Below version 4 CreateDriverV2 falls back to CreateDriver.
      const bool fallsBack = version < 4 && std::string(row.name) == "orinrobodriver_createdriver";
      unusable += std::string(unusable.empty() ? "" : "; ") + row.name + " is missing, so " +
                  (fallsBack ? "CreateDriver and CreateDriverV2 answer null" : row.withoutIt);
    }
  }
  if (refusal.empty() && hasVersion && version > kHighestInterface) {
    refusal = "interface version " + Number(version) + " is above " + Number(kHighestInterface);
  }
  if (!found && refusal.empty()) refusal = "the plug-in's OR*.DLL search does not find it";
  if (!refusal.empty()) {
    Record("fail", "catalogue", "the plug-in would not catalogue it: " + refusal);
  } else if (!unusable.empty()) {
    Record("fail", "catalogue",
           kUnusableAsInterface + Number(version) + ": " + unusable + " (the plug-in would still catalogue it)");
  } else {
    Record("ok", "catalogue", "the plug-in would catalogue it");
  }

  if (hasVersion && version == 0) {
    Record("fail", "create", "interface version 0: the plug-in hands out no object of this library");
  } else if (usable) {
    if (options.noCalls) Record("info", "driver", "operations not called (--no-calls)");
    CreateObjects(library, version, !options.noCalls);
  }
  Record("call", "unload", "FreeLibrary");
  ::FreeLibrary(library);
  Record("ok", "unload", "FreeLibrary");
  return EndRecords();
}
