// The simulated robot-control library: answers every call as VTROBOTS20.INI beside the DLL says,
// waits the configured time in loads and unloads, and logs each call with its arguments.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "SimConfig.h"
#include "SimLog.h"
#include "vtrobots/VTRobots.h"

namespace {

HMODULE g_module = nullptr;
std::once_flag g_loaded;
vtsim::SimConfig g_config;
vtsim::SimLog g_log;
std::atomic<int> g_callsInside{0};
std::atomic<bool> g_closed{false};

// Robot i answers to this handle, so that a wrong handle shows in the log.
constexpr VtRobotHandle kFirstHandle = 0x5100;

void LoadConfigOnce() {
  std::call_once(g_loaded, [] {
    char path[MAX_PATH * 2] = {};
    DWORD length = GetModuleFileNameA(g_module, path, sizeof path - 1);
    std::string dll(path, length);
    const size_t slash = dll.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : dll.substr(0, slash + 1);
    std::string ini = dll;
    const size_t dot = ini.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) ini.resize(dot);
    ini += ".INI";
    g_config = vtsim::LoadSimConfig(ini, folder);
    if (!g_config.logPath.empty()) g_log.Open(g_config.logPath);
  });
}

// A held call waits here, after its ">" line, until whoever runs the caller releases it: a test
// then knows the call is running while it looks at the caller.
void WaitForRelease(vtsim::Call call) {
  HANDLE semaphore = OpenSemaphoreA(SYNCHRONIZE, FALSE, g_config.releaseSemaphore.c_str());
  if (semaphore == nullptr) {
    g_log.Write("! NO-RELEASE %s (%s)", vtsim::CallName(call), g_config.releaseSemaphore.c_str());
    return;
  }
  WaitForSingleObject(semaphore, INFINITE);
  CloseHandle(semaphore);
}

// Logs the start and end of one call and flags callers that break the rules.
class CallScope {
 public:
  CallScope(vtsim::Call call, const char* argumentFormat, ...)
      __attribute__((format(printf, 3, 4)))
      : call_(call) {
    LoadConfigOnce();
    if (g_callsInside.fetch_add(1) != 0) g_log.Write("! OVERLAP %s", vtsim::CallName(call));
    if (g_closed.load() && call != vtsim::Call::Init)
      g_log.Write("! AFTER-CLOSE %s", vtsim::CallName(call));
    char arguments[400];
    va_list list;
    va_start(list, argumentFormat);
    std::vsnprintf(arguments, sizeof arguments, argumentFormat, list);
    va_end(list);
    g_log.Write("> %s(%s)", vtsim::CallName(call), arguments);
    // A robot that stopped answering: the caller must get on without this call.
    if (call == g_config.hang)
      for (;;) Sleep(INFINITE);
    if (g_config.IsHeld(call)) WaitForRelease(call);
  }
  ~CallScope() {
    g_log.Write("< %s = %ld", vtsim::CallName(call_), static_cast<long>(result_));
    g_callsInside.fetch_sub(1);
  }
  CallScope(const CallScope&) = delete;
  CallScope& operator=(const CallScope&) = delete;

  VtResult Answer() { return result_ = g_config.ResultOf(call_); }

 private:
  vtsim::Call call_;
  VtResult result_ = 0;
};

// Copies text into a caller's buffer of capacity bytes, always terminated, never past it.
void CopyText(char* buffer, int capacity, const std::string& text) {
  if (!buffer || capacity <= 0) return;
  const size_t limit = static_cast<size_t>(capacity > VT_ROBOTS_TEXT_SIZE ? VT_ROBOTS_TEXT_SIZE : capacity);
  const size_t n = text.size() < limit - 1 ? text.size() : limit - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

int RobotIndex(VtRobotHandle robot) {
  const int index = robot - kFirstHandle;
  return index >= 0 && index < g_config.robotCount ? index : -1;
}

std::string DriveText(char drive) {
  char text[8];
  if (drive >= 0x21 && drive <= 0x7e)
    std::snprintf(text, sizeof text, "'%c'", drive);
  else
    std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned char>(drive));
  return text;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

VtResult VT_ROBOTS_CALL VT_Robots_Init(int32_t reserved) {
  CallScope scope(vtsim::Call::Init, "%ld", static_cast<long>(reserved));
  g_closed = false;
  return scope.Answer();
}

VtResult VT_ROBOTS_CALL VT_Robots_Connect(int32_t* count, VtRobotHandle handles[VT_ROBOTS_MAX_ROBOTS],
                                          int32_t table2[VT_ROBOTS_MAX_ROBOTS],
                                          uint8_t table3[VT_ROBOTS_MAX_ROBOTS]) {
  CallScope scope(vtsim::Call::Connect, "count=%s", count ? "set" : "null");
  // A robot that takes its time to answer, as real ones do at start.
  if (g_config.connectDelayMs > 0) Sleep(static_cast<DWORD>(g_config.connectDelayMs));
  const int found = g_config.robotCount;
  if (count) *count = found;
  for (int i = 0; i < found; ++i) {
    if (handles) handles[i] = kFirstHandle + i;
    if (table2) table2[i] = i + 1;
    if (table3) table3[i] = 1;
  }
  return scope.Answer();
}

VtResult VT_ROBOTS_CALL VT_Robots_GetRobotInfo(VtRobotHandle robot, char* name, char* info,
                                               int32_t size) {
  CallScope scope(vtsim::Call::GetRobotInfo, "%ld, name, info, %ld", static_cast<long>(robot),
                  static_cast<long>(size));
  const int index = RobotIndex(robot);
  if (index >= 0) {
    CopyText(name, size, g_config.names[index]);
    char text[64];
    std::snprintf(text, sizeof text, "simulated robot %d, firmware 1.0", index);
    CopyText(info, size, text);
  } else {
    CopyText(name, size, "");
    CopyText(info, size, "");
  }
  return scope.Answer();
}

VtResult VT_ROBOTS_CALL VT_Robots_Active(VtRobotHandle robot, char* text1, char* text2, int32_t size) {
  CallScope scope(vtsim::Call::Active, "%ld, text1, text2, %ld", static_cast<long>(robot),
                  static_cast<long>(size));
  const VtResult result = scope.Answer();
  const bool ready = result == VT_ROBOTS_OK || result == VT_ROBOTS_OK_ALT;
  CopyText(text1, size, ready ? "ready" : "not ready");
  CopyText(text2, size, "simulator");
  return result;
}

VtResult VT_ROBOTS_CALL VT_Robots_GetMessage(VtRobotHandle robot, char* message) {
  CallScope scope(vtsim::Call::GetMessage, "%ld, message", static_cast<long>(robot));
  CopyText(message, VT_ROBOTS_TEXT_SIZE, RobotIndex(robot) >= 0 ? "no error" : "no such robot");
  return scope.Answer();
}

VtResult VT_ROBOTS_CALL VT_Robots_EnumDrives(VtRobotHandle robot, int32_t* driveInfo,
                                             char drives[VT_ROBOTS_MAX_ROBOTS][VT_ROBOTS_DRIVE_ENTRY_SIZE]) {
  CallScope scope(vtsim::Call::EnumDrives, "%ld, info, drives", static_cast<long>(robot));
  if (driveInfo) *driveInfo = 1;
  if (drives) {
    std::memset(drives[0], 0, VT_ROBOTS_DRIVE_ENTRY_SIZE);
    const char letter = RobotIndex(robot) >= 0 ? g_config.driveLetter : '\0';
    if (letter) {
      drives[0][0] = letter;
      drives[0][1] = ':';
      drives[0][2] = '\\';
    }
  }
  return scope.Answer();
}

VtResult VT_ROBOTS_CALL VT_Robots_LoadDrive(char drive, int32_t arg2, int32_t arg3, int32_t arg4) {
  CallScope scope(vtsim::Call::LoadDrive, "%s, %ld, %ld, %ld", DriveText(drive).c_str(),
                  static_cast<long>(arg2), static_cast<long>(arg3), static_cast<long>(arg4));
  if (g_config.loadDelayMs > 0) Sleep(static_cast<DWORD>(g_config.loadDelayMs));
  return scope.Answer();
}

VtResult VT_ROBOTS_CALL VT_Robots_UnloadDrive(char drive, int32_t arg2, int32_t mode, int32_t arg4) {
  CallScope scope(vtsim::Call::UnloadDrive, "%s, %ld, %ld, %ld", DriveText(drive).c_str(),
                  static_cast<long>(arg2), static_cast<long>(mode), static_cast<long>(arg4));
  if (g_config.unloadDelayMs > 0) Sleep(static_cast<DWORD>(g_config.unloadDelayMs));
  return scope.Answer();
}

VtResult VT_ROBOTS_CALL VT_Robots_Park(VtRobotHandle robot) {
  CallScope scope(vtsim::Call::Park, "%ld", static_cast<long>(robot));
  return scope.Answer();
}

VtResult VT_ROBOTS_CALL VT_Robots_Close(void) {
  CallScope scope(vtsim::Call::Close, "%s", "");
  g_closed = true;
  return scope.Answer();
}

}  // extern "C"
