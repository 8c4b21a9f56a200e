#include "SimConfig.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace vtsim {
namespace {

const char* const kCallNames[] = {
    "VT_Robots_Init",       "VT_Robots_Connect",   "VT_Robots_GetRobotInfo", "VT_Robots_Active",
    "VT_Robots_GetMessage", "VT_Robots_EnumDrives", "VT_Robots_LoadDrive",   "VT_Robots_UnloadDrive",
    "VT_Robots_Park",       "VT_Robots_Close"};
static_assert(sizeof kCallNames / sizeof kCallNames[0] == static_cast<int>(Call::Count),
              "one name per call");

std::string ReadText(const std::string& ini, const char* section, const char* key) {
  char buffer[1024] = {};
  GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer, ini.c_str());
  std::string text(buffer);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
  size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  return text.substr(start);
}

long ReadNumber(const std::string& ini, const char* section, const char* key, long fallback,
                long low, long high) {
  const std::string text = ReadText(ini, section, key);
  if (text.empty()) return fallback;
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(text.c_str(), &end, 0);
  if (end == text.c_str() || *end != '\0') return fallback;
  if (errno == ERANGE) value = text[0] == '-' ? low : high;
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

}  // namespace

const char* CallName(Call call) {
  const int index = static_cast<int>(call);
  return index >= 0 && index < static_cast<int>(Call::Count) ? kCallNames[index] : "?";
}

SimConfig LoadSimConfig(const std::string& iniPath, const std::string& baseFolder) {
  SimConfig config;
  const long kMaxDelayMs = 600000;
  config.robotCount =
      static_cast<int>(ReadNumber(iniPath, "Robots", "Count", 1, 0, VT_ROBOTS_MAX_ROBOTS));
  for (int i = 0; i < VT_ROBOTS_MAX_ROBOTS; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "Name%d", i);
    std::string name = ReadText(iniPath, "Robots", key);
    if (name.empty()) {
      char fallback[32];
      std::snprintf(fallback, sizeof fallback, "SimRobot %c", 'A' + i);
      name = fallback;
    }
    config.names[i] = name.substr(0, VT_ROBOTS_TEXT_SIZE - 1);
  }
  const std::string drive = ReadText(iniPath, "Robots", "Drive");
  if (!drive.empty() && std::isalpha(static_cast<unsigned char>(drive[0])))
    config.driveLetter = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));

  for (int i = 0; i < static_cast<int>(Call::Count); ++i) {
    // Keys are the call names without their common prefix: Init, Connect, LoadDrive, ...
    const char* key = kCallNames[i] + sizeof "VT_Robots_" - 1;
    config.results[i] = static_cast<VtResult>(ReadNumber(iniPath, "Results", key, 0, INT32_MIN, INT32_MAX));
  }
  config.connectDelayMs = static_cast<int>(ReadNumber(iniPath, "Delays", "ConnectMs", 0, 0, kMaxDelayMs));
  config.loadDelayMs = static_cast<int>(ReadNumber(iniPath, "Delays", "LoadMs", 0, 0, kMaxDelayMs));
  config.unloadDelayMs = static_cast<int>(ReadNumber(iniPath, "Delays", "UnloadMs", 0, 0, kMaxDelayMs));

  const std::string hang = ReadText(iniPath, "Hang", "Call");
  for (int i = 0; i < static_cast<int>(Call::Count); ++i)
    if (hang == kCallNames[i] + sizeof "VT_Robots_" - 1) config.hang = static_cast<Call>(i);

  // Names separated by commas or spaces; a call is held only when a semaphore can release it.
  config.releaseSemaphore = ReadText(iniPath, "Hold", "Semaphore");
  const std::string held = ReadText(iniPath, "Hold", "Calls") + ",";
  std::string name;
  for (char c : held) {
    if (c != ',' && !std::isspace(static_cast<unsigned char>(c))) {
      name += c;
      continue;
    }
    for (int i = 0; i < static_cast<int>(Call::Count); ++i)
      if (!name.empty() && name == kCallNames[i] + sizeof "VT_Robots_" - 1)
        config.held[i] = !config.releaseSemaphore.empty();
    name.clear();
  }

  std::string log = ReadText(iniPath, "Log", "File");
  if (!log.empty() && !IsAbsolute(log)) log = baseFolder + log;
  config.logPath = log;
  return config;
}

}  // namespace vtsim
