// CPortableTime's conversions from and to the Windows FILETIME and SYSTEMTIME.
#include <new>

#include "ORINAPI_PORTABLE/CPortableTime.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

static_assert(sizeof(FILETIME) == 8 && alignof(FILETIME) <= 4, "FILETIME storage in CPortableTime");

namespace {

uint64_t Intervals(const FILETIME& fileTime) {
  return (static_cast<uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
}

}  // namespace

CPortableTime::CPortableTime(const _FILETIME& fileTime)
    : CPortableTime(FileTimeIntervalsToSeconds(Intervals(fileTime))) {}

// wDayOfWeek is left out: mktime works the weekday out for itself.
CPortableTime::CPortableTime(const _SYSTEMTIME& systemTime, int32_t daylight)
    : CPortableTime(systemTime.wYear, systemTime.wMonth, systemTime.wDay, systemTime.wHour,
                    systemTime.wMinute, systemTime.wSecond, daylight) {}

CPortableTime& CPortableTime::SetFromFileTime(const _FILETIME* fileTime) {
  if (fileTime != nullptr) SetValue(FileTimeIntervalsToSeconds(Intervals(*fileTime)));
  return *this;
}

const _FILETIME* CPortableTime::ToFileTime() {
  const uint64_t intervals = SecondsToFileTimeIntervals(GetValue());
  FILETIME* fileTime = new (fileTime_) FILETIME;
  fileTime->dwLowDateTime = static_cast<DWORD>(intervals & 0xFFFFFFFFu);
  fileTime->dwHighDateTime = static_cast<DWORD>(intervals >> 32);
  return fileTime;
}
