// CPortableTime: a file time as signed 32-bit seconds since 1970-01-01 00:00:00 UTC, with
// conversions to and from FILETIME, SYSTEMTIME and struct tm; CPortableTimeSpan: seconds.
// Times past 2038-01-19 03:14:07 UTC and before 1970 (in a FILETIME) read as 0x7FFFFFFF.
#ifndef ORINAPI_PORTABLE_CPORTABLETIME_H
#define ORINAPI_PORTABLE_CPORTABLETIME_H

#include <stdint.h>

struct _FILETIME;
struct _SYSTEMTIME;
struct tm;

class CPortableTimeSpan {
 public:
  explicit CPortableTimeSpan(int32_t seconds = 0);
  // days * 86400 + hours * 3600 + minutes * 60 + seconds (wrapping in 32 bits).
  CPortableTimeSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds);
  virtual ~CPortableTimeSpan();

  int32_t GetSeconds() const { return seconds_; }

 private:
  int32_t seconds_;
};

class CPortableTime {
 public:
  CPortableTime();
  CPortableTime(const CPortableTime& other);
  explicit CPortableTime(int32_t seconds);
  explicit CPortableTime(const _FILETIME& fileTime);
  // Local time through mktime; wMonth is 1..12. mktime's -1 for what it cannot show is kept.
  CPortableTime(const _SYSTEMTIME& systemTime, int32_t daylight);
  // Local time through mktime from a zeroed struct tm; month is 1..12, out-of-range fields normalise.
  CPortableTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                int32_t second, int32_t daylight);
  virtual ~CPortableTime();

  CPortableTime& operator=(const CPortableTime& other);

  int32_t GetValue() const { return seconds_; }
  void SetValue(int32_t seconds) { seconds_ = seconds; }

  // Seconds from a FILETIME, saturating at 0x7FFFFFFF (times before 1970 included); null: unchanged.
  CPortableTime& SetFromFileTime(const _FILETIME* fileTime);
  // The seconds as a FILETIME, kept in this object; valid until the next call or destruction.
  const _FILETIME* ToFileTime();

  // Local calendar fields; when localtime fails: year 2000, everything else 0.
  int32_t GetYear() const;
  int32_t GetMonth() const;  // 1..12
  int32_t GetDay() const;
  int32_t GetHour() const;
  int32_t GetMinute() const;
  int32_t GetSecond() const;
  int32_t GetDayOfWeek() const;  // 0 = Sunday

  // localtime / gmtime of the seconds. With out and a result, copies into out and returns out;
  // otherwise returns the run-time's own storage (overwritten by the next call) or null.
  struct tm* GetLocalTm(struct tm* out) const;
  struct tm* GetUtcTm(struct tm* out) const;

  CPortableTime operator+(const CPortableTimeSpan& span) const;
  CPortableTime operator-(const CPortableTimeSpan& span) const;
  CPortableTimeSpan operator-(const CPortableTime& other) const;
  CPortableTime& operator+=(const CPortableTimeSpan& span);
  CPortableTime& operator-=(const CPortableTimeSpan& span);

  bool operator==(const CPortableTime& other) const { return seconds_ == other.seconds_; }
  bool operator==(int32_t seconds) const { return seconds_ == seconds; }
  bool operator!=(const CPortableTime& other) const { return seconds_ != other.seconds_; }
  bool operator<(const CPortableTime& other) const { return seconds_ < other.seconds_; }
  bool operator>(const CPortableTime& other) const { return seconds_ > other.seconds_; }
  bool operator<=(const CPortableTime& other) const { return seconds_ <= other.seconds_; }

 private:
  int32_t seconds_;
  // Storage for the FILETIME that ToFileTime hands out (two 32-bit words, low first).
  alignas(4) unsigned char fileTime_[8];
};

// A FILETIME's 100-nanosecond intervals since 1601-01-01 UTC as seconds since 1970, saturating at
// 0x7FFFFFFF (times before 1970 wrap round and saturate too).
int32_t FileTimeIntervalsToSeconds(uint64_t intervals);
// Seconds since 1970 (sign-extended) as FILETIME intervals.
uint64_t SecondsToFileTimeIntervals(int32_t seconds);

// The current time.
CPortableTime Now();
// Hours between local time and UTC now (east positive), daylight saving included.
int32_t GetUtcOffsetHours();
// GetUtcOffsetHours without the daylight-saving hour.
int32_t GetStandardUtcOffsetHours();

#endif  // ORINAPI_PORTABLE_CPORTABLETIME_H
