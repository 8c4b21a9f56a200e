#include "FakeRobotLibrary.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "StationWindows.h"

namespace fake_robots {
namespace {

std::mutex g_mutex;
Settings g_settings;
std::vector<std::string> g_calls;
std::atomic<int> g_inside{0};
std::atomic<bool> g_overlap{false};
HANDLE g_loadStarted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
HANDLE g_loadRelease = CreateEventA(nullptr, TRUE, FALSE, nullptr);

class Record {
 public:
  explicit Record(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    if (g_inside.fetch_add(1) != 0) g_overlap = true;
    char text[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::lock_guard<std::mutex> lock(g_mutex);
    g_calls.emplace_back(text);
  }
  ~Record() { g_inside.fetch_sub(1); }
};

VtResult VT_ROBOTS_CALL Init(int32_t reserved) {
  Record r("Init(%ld)", static_cast<long>(reserved));
  return g_settings.init;
}

VtResult VT_ROBOTS_CALL Connect(int32_t* count, VtRobotHandle* handles, int32_t* table2, uint8_t* table3) {
  Record r("Connect(%ld)", static_cast<long>(*count));
  *count = g_settings.robotCount;
  const int fill = g_settings.robotCount < 0 ? 0 : (g_settings.robotCount > 26 ? 26 : g_settings.robotCount);
  for (int i = 0; i < fill; ++i) {
    handles[i] = kFirstHandle + i;
    table2[i] = i;
    table3[i] = 1;
  }
  return 0;
}

VtResult VT_ROBOTS_CALL GetRobotInfo(VtRobotHandle robot, char* name, char* info, int32_t size) {
  Record r("GetRobotInfo(%ld,%ld)", static_cast<long>(robot), static_cast<long>(size));
  std::snprintf(name, size, "Robot-%ld", static_cast<long>(robot - kFirstHandle));
  std::snprintf(info, size, "info");
  return 0;
}

VtResult VT_ROBOTS_CALL Active(VtRobotHandle robot, char* text1, char* text2, int32_t size) {
  Record r("Active(%ld,%ld)", static_cast<long>(robot), static_cast<long>(size));
  std::snprintf(text1, size, "a");
  std::snprintf(text2, size, "b");
  return g_settings.active;
}

VtResult VT_ROBOTS_CALL GetRobotMessage(VtRobotHandle robot, char* message) {
  Record r("GetMessage(%ld)", static_cast<long>(robot));
  std::snprintf(message, VT_ROBOTS_TEXT_SIZE, "ok");
  return 0;
}

VtResult VT_ROBOTS_CALL EnumDrives(VtRobotHandle robot, int32_t* driveInfo,
                                   char (*drives)[VT_ROBOTS_DRIVE_ENTRY_SIZE]) {
  Record r("EnumDrives(%ld)", static_cast<long>(robot));
  *driveInfo = 1;
  drives[0][0] = g_settings.drive;
  return 0;
}

std::string Letter(char drive) {
  char text[8];
  if (drive >= 0x21 && drive <= 0x7e)
    std::snprintf(text, sizeof text, "'%c'", drive);
  else
    std::snprintf(text, sizeof text, "0x%02x", static_cast<unsigned char>(drive));
  return text;
}

VtResult VT_ROBOTS_CALL LoadDrive(char drive, int32_t a2, int32_t a3, int32_t a4) {
  Record r("LoadDrive(%s,%ld,%ld,%ld)", Letter(drive).c_str(), static_cast<long>(a2),
           static_cast<long>(a3), static_cast<long>(a4));
  if (g_settings.holdLoads) {
    SetEvent(g_loadStarted);
    WaitForSingleObject(g_loadRelease, 20000);
  }
  return g_settings.load;
}

VtResult VT_ROBOTS_CALL UnloadDrive(char drive, int32_t a2, int32_t mode, int32_t a4) {
  Record r("UnloadDrive(%s,%ld,%ld,%ld)", Letter(drive).c_str(), static_cast<long>(a2),
           static_cast<long>(mode), static_cast<long>(a4));
  return g_settings.unload;
}

VtResult VT_ROBOTS_CALL Park(VtRobotHandle robot) {
  Record r("Park(%ld)", static_cast<long>(robot));
  return 0;
}

VtResult VT_ROBOTS_CALL Close() {
  Record r("Close()");
  return 0;
}

const station::RobotLibrary kLibrary = {Init,      Connect,   GetRobotInfo, Active, GetRobotMessage,
                                        EnumDrives, LoadDrive, UnloadDrive,  Park,   Close};

}  // namespace

void Reset(const Settings& settings) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_settings = settings;
  g_calls.clear();
  g_overlap = false;
  g_inside = 0;  // a test may have ended a thread inside a call
  ResetEvent(g_loadStarted);
  ResetEvent(g_loadRelease);
}

const station::RobotLibrary& Library() { return kLibrary; }

std::vector<std::string> Calls() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_calls;
}

bool SawOverlap() { return g_overlap.load(); }

bool WaitForHeldLoad(unsigned timeoutMs) {
  return WaitForSingleObject(g_loadStarted, timeoutMs) == WAIT_OBJECT_0;
}

void Release() { SetEvent(g_loadRelease); }

}  // namespace fake_robots
