#include "SimLog.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace vtsim {

void SimLog::Open(const std::string& path) {
  path_ = path;
  startTick_ = GetTickCount();
}

void SimLog::Write(const char* format, ...) {
  if (path_.empty()) return;
  char line[1024];
  int used = std::snprintf(line, sizeof line, "%8lu tid=%lu ", GetTickCount() - startTick_,
                           GetCurrentThreadId());
  if (used < 0) return;
  va_list args;
  va_start(args, format);
  int more = std::vsnprintf(line + used, sizeof line - used - 2, format, args);
  va_end(args);
  if (more < 0) more = 0;
  used += more;
  if (used > static_cast<int>(sizeof line) - 3) used = sizeof line - 3;
  line[used++] = '\r';
  line[used++] = '\n';

  // Opened per line and shared, so that tests and people can read it while the caller runs.
  HANDLE file = CreateFileA(path_.c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(used), &written, nullptr);
  CloseHandle(file);
}

}  // namespace vtsim
