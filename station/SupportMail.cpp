#include "SupportMail.h"

#include <cstdio>
#include <string>

namespace station {

bool FormatSupportMail(char* buffer, size_t size, const SYSTEMTIME& now) {
  if (!buffer || size == 0) return false;
  const std::string prefix = std::string("mailto:") + kSupportAddress + "?Subject=Kelvora";
  const int written = std::snprintf(buffer, size, "%s(%d%02d%02d-%02d%02d)&body=%s", prefix.c_str(),
                                    now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, "");
  if (written < 0 || static_cast<size_t>(written) >= size) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

}  // namespace station
