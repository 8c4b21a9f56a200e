// Seconds arithmetic, FILETIME's intervals, calendar fields through the C run-time, and the UTC
// offset.
// Arithmetic wraps in 32 bits like the stored value does, without signed overflow.
#include "ORINAPI_PORTABLE/CPortableTime.h"

#include <climits>
#include <cstring>
#include <ctime>

namespace {

int32_t WrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t WrappingSubtract(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// A 32-bit seconds value cannot show what lies outside its range: mktime's "cannot" answer.
int32_t ToSeconds(time_t value) {
  if (value < INT32_MIN || value > INT32_MAX) return -1;
  return static_cast<int32_t>(value);
}

struct tm* LocalBreakdown(int32_t seconds) {
  const time_t value = seconds;
  return std::localtime(&value);
}

// 100-nanosecond intervals from 1601-01-01 to 1970-01-01: 11,644,473,600 s * 10,000,000.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
constexpr uint64_t kIntervalsPerSecond = 10000000ull;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600ll;

}  // namespace

int32_t FileTimeIntervalsToSeconds(uint64_t intervals) {
  // Unsigned: times before 1970 wrap to huge values here and so saturate with the far future.
  const uint64_t seconds = (intervals - kUnixEpochAsFileTime) / kIntervalsPerSecond;
  return seconds > 0x7FFFFFFFull ? 0x7FFFFFFF : static_cast<int32_t>(seconds);
}

uint64_t SecondsToFileTimeIntervals(int32_t seconds) {
  return static_cast<uint64_t>(static_cast<int64_t>(seconds) + kSecondsFrom1601To1970) * kIntervalsPerSecond;
}

CPortableTimeSpan::CPortableTimeSpan(int32_t seconds) : seconds_(seconds) {}

CPortableTimeSpan::CPortableTimeSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds)
    : seconds_(static_cast<int32_t>(static_cast<uint32_t>(days) * 86400u +
                                    static_cast<uint32_t>(hours) * 3600u +
                                    static_cast<uint32_t>(minutes) * 60u +
                                    static_cast<uint32_t>(seconds))) {}

CPortableTimeSpan::~CPortableTimeSpan() {}

CPortableTime::CPortableTime() : CPortableTime(0) {}

CPortableTime::CPortableTime(const CPortableTime& other) : CPortableTime(other.seconds_) {}

CPortableTime::CPortableTime(int32_t seconds) : seconds_(seconds), fileTime_() {}

CPortableTime::CPortableTime(int32_t year, int32_t month, int32_t day, int32_t hour,
                             int32_t minute, int32_t second, int32_t daylight)
    : CPortableTime(0) {
  struct tm fields;
  std::memset(&fields, 0, sizeof fields);
  const int64_t yearsSince1900 = static_cast<int64_t>(year) - 1900;
  const int64_t monthsSinceJanuary = static_cast<int64_t>(month) - 1;
  if (yearsSince1900 < INT_MIN || monthsSinceJanuary < INT_MIN) {
    seconds_ = -1;
    return;
  }
  fields.tm_year = static_cast<int>(yearsSince1900);
  fields.tm_mon = static_cast<int>(monthsSinceJanuary);
  fields.tm_mday = day;
  fields.tm_hour = hour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  fields.tm_isdst = daylight;
  seconds_ = ToSeconds(std::mktime(&fields));
}

CPortableTime::~CPortableTime() {}

CPortableTime& CPortableTime::operator=(const CPortableTime& other) {
  seconds_ = other.seconds_;
  return *this;
}

int32_t CPortableTime::GetYear() const {
  const struct tm* fields = LocalBreakdown(seconds_);
  return fields ? fields->tm_year + 1900 : 2000;
}

int32_t CPortableTime::GetMonth() const {
  const struct tm* fields = LocalBreakdown(seconds_);
  return fields ? fields->tm_mon + 1 : 0;
}

int32_t CPortableTime::GetDay() const {
  const struct tm* fields = LocalBreakdown(seconds_);
  return fields ? fields->tm_mday : 0;
}

int32_t CPortableTime::GetHour() const {
  const struct tm* fields = LocalBreakdown(seconds_);
  return fields ? fields->tm_hour : 0;
}

int32_t CPortableTime::GetMinute() const {
  const struct tm* fields = LocalBreakdown(seconds_);
  return fields ? fields->tm_min : 0;
}

int32_t CPortableTime::GetSecond() const {
  const struct tm* fields = LocalBreakdown(seconds_);
  return fields ? fields->tm_sec : 0;
}

int32_t CPortableTime::GetDayOfWeek() const {
  const struct tm* fields = LocalBreakdown(seconds_);
  return fields ? fields->tm_wday : 0;
}

struct tm* CPortableTime::GetLocalTm(struct tm* out) const {
  struct tm* fields = LocalBreakdown(seconds_);
  if (out == nullptr || fields == nullptr) return fields;
  *out = *fields;
  return out;
}

struct tm* CPortableTime::GetUtcTm(struct tm* out) const {
  const time_t value = seconds_;
  struct tm* fields = std::gmtime(&value);
  if (out == nullptr || fields == nullptr) return fields;
  *out = *fields;
  return out;
}

CPortableTime CPortableTime::operator+(const CPortableTimeSpan& span) const {
  return CPortableTime(WrappingAdd(seconds_, span.GetSeconds()));
}

CPortableTime CPortableTime::operator-(const CPortableTimeSpan& span) const {
  return CPortableTime(WrappingSubtract(seconds_, span.GetSeconds()));
}

CPortableTimeSpan CPortableTime::operator-(const CPortableTime& other) const {
  return CPortableTimeSpan(WrappingSubtract(seconds_, other.seconds_));
}

CPortableTime& CPortableTime::operator+=(const CPortableTimeSpan& span) {
  seconds_ = WrappingAdd(seconds_, span.GetSeconds());
  return *this;
}

CPortableTime& CPortableTime::operator-=(const CPortableTimeSpan& span) {
  seconds_ = WrappingSubtract(seconds_, span.GetSeconds());
  return *this;
}

CPortableTime Now() {
  return CPortableTime(ToSeconds(std::time(nullptr)));
}

int32_t GetUtcOffsetHours() {
  const time_t now = std::time(nullptr);
  const struct tm* utc = std::gmtime(&now);
  if (utc == nullptr) return 0;
  struct tm fields = *utc;  // copied before localtime may reuse the run-time's storage
  const struct tm* local = std::localtime(&now);
  if (local == nullptr) return 0;
  fields.tm_isdst = local->tm_isdst;
  const time_t utcReadAsLocal = std::mktime(&fields);
  if (utcReadAsLocal == static_cast<time_t>(-1)) return 0;
  return static_cast<int32_t>((now - utcReadAsLocal) / 3600);
}

int32_t GetStandardUtcOffsetHours() {
  const int32_t offset = GetUtcOffsetHours();
  const time_t now = std::time(nullptr);
  const struct tm* local = std::localtime(&now);
  return local != nullptr ? offset - local->tm_isdst : offset;
}
