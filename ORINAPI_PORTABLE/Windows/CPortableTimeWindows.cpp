// CPortableTime's conversions from and to the Windows FILETIME and SYSTEMTIME.
#include <climits>
#include <cstring>
#include <ctime>
#include <new>

#include "ORINAPI_PORTABLE/CPortableTime.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

static_assert(sizeof(FILETIME) == 8 && alignof(FILETIME) <= 4, "FILETIME storage in CPortableTime");

namespace {

// 100-nanosecond intervals from 1601-01-01 to 1970-01-01: 11,644,473,600 s * 10,000,000.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
constexpr uint64_t kIntervalsPerSecond = 10000000ull;

// Times before 1970 wrap to huge values here and so saturate with the far future.
int32_t FileTimeToSeconds(const FILETIME& fileTime) {
  const uint64_t intervals =
      (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
  const uint64_t seconds = (intervals - kUnixEpochAsFileTime) / kIntervalsPerSecond;
  return seconds > 0x7FFFFFFFull ? 0x7FFFFFFF : static_cast<int32_t>(seconds);
}

}  // namespace

CPortableTime::CPortableTime(const _FILETIME& fileTime) : CPortableTime(FileTimeToSeconds(fileTime)) {}

CPortableTime::CPortableTime(const _SYSTEMTIME& systemTime, int32_t daylight) : CPortableTime(0) {
  struct tm fields;
  std::memset(&fields, 0, sizeof fields);
  fields.tm_sec = systemTime.wSecond;
  fields.tm_min = systemTime.wMinute;
  fields.tm_hour = systemTime.wHour;
  fields.tm_mday = systemTime.wDay;
  fields.tm_mon = systemTime.wMonth - 1;
  fields.tm_year = systemTime.wYear - 1900;
  fields.tm_wday = systemTime.wDayOfWeek;
  fields.tm_isdst = daylight;
  const time_t value = std::mktime(&fields);
  SetValue(value < INT32_MIN || value > INT32_MAX ? -1 : static_cast<int32_t>(value));
}

CPortableTime& CPortableTime::SetFromFileTime(const _FILETIME* fileTime) {
  if (fileTime != nullptr) SetValue(FileTimeToSeconds(*fileTime));
  return *this;
}

const _FILETIME* CPortableTime::ToFileTime() {
  const uint64_t intervals =
      static_cast<uint64_t>(static_cast<int64_t>(GetValue()) + 11644473600ll) * kIntervalsPerSecond;
  FILETIME* fileTime = new (fileTime_) FILETIME;
  fileTime->dwLowDateTime = static_cast<DWORD>(intervals & 0xFFFFFFFFu);
  fileTime->dwHighDateTime = static_cast<DWORD>(intervals >> 32);
  return fileTime;
}
