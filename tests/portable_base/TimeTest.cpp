// Time values: FILETIME conversion at its boundaries, mktime-based construction and the UTC
// offset in several time zones, calendar fields, spans and arithmetic.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>

#include "ORINAPI_PORTABLE/CPortableTime.h"
#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

namespace {

// Figures worked out by hand, not with the code under test:
// 1601-01-01 to 1970-01-01 is 369 years with 89 leap days (92 years divisible by 4 from 1604 to
// 1968, less 1700, 1800 and 1900): 369 * 365 + 89 = 134,774 days = 11,644,473,600 s, and
// 116,444,736,000,000,000 intervals of 100 ns = 0x019DB1DE:D53E8000.
constexpr uint64_t kEpochDays = 369ull * 365 + 89;
constexpr uint64_t kEpochIntervals = kEpochDays * 86400 * 10000000;
static_assert(kEpochIntervals == 0x019DB1DED53E8000ull, "epoch difference");
// 1970-01-01 to 2040-01-01: 70 years, 17 leap days (1972..2036): 25,567 days = 2,208,988,800 s.
constexpr uint64_t kSeconds2040 = (70ull * 365 + 17) * 86400;
// 1970-01-01 to 2020-01-15: 50 years with 12 leap days, then 14 days: 18,276 days; a Wednesday,
// since 1970-01-01 was a Thursday and 18,276 = 7 * 2,610 + 6.
constexpr int32_t kNoon2020Jan15Utc = (50 * 365 + 12 + 14) * 86400 + 12 * 3600;

FILETIME MakeFileTime(uint64_t intervals) {
  FILETIME fileTime;
  fileTime.dwLowDateTime = static_cast<DWORD>(intervals & 0xFFFFFFFFu);
  fileTime.dwHighDateTime = static_cast<DWORD>(intervals >> 32);
  return fileTime;
}

uint64_t Intervals(const FILETIME* fileTime) {
  return (static_cast<uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
}

// Sets the C run-time's time zone for the test and restores the previous one.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    const char* previous = std::getenv("TZ");
    previous_ = std::string("TZ=") + (previous ? previous : "");
    Set(std::string("TZ=") + zone);
  }
  ~ScopedTimeZone() { Set(previous_); }

 private:
  static void Set(const std::string& assignment) {
    _putenv(assignment.c_str());
    _tzset();
  }
  std::string previous_;
};

TEST(TimeFileTime, ConvertsAtTheBoundariesAndSaturates) {
  const struct {
    uint64_t intervals;
    int32_t seconds;
    const char* what;
  } rows[] = {
      {kEpochIntervals, 0, "the 1970 epoch"},
      {kEpochIntervals + 10000000, 1, "one second later"},
      {kEpochIntervals + 9999999, 0, "a fraction of a second truncates"},
      {kEpochIntervals - 1, INT32_MAX, "just before 1970 wraps and saturates"},
      {0, INT32_MAX, "1601"},
      {kEpochIntervals + 2147483647ull * 10000000, INT32_MAX, "2038-01-19 03:14:07"},
      {kEpochIntervals + 2147483646ull * 10000000, INT32_MAX - 1, "one second before"},
      {kEpochIntervals + 2147483648ull * 10000000, INT32_MAX, "one second after saturates"},
      {kEpochIntervals + kSeconds2040 * 10000000, INT32_MAX, "2040-01-01"},
      {UINT64_MAX, INT32_MAX, "the largest FILETIME"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const FILETIME fileTime = MakeFileTime(row.intervals);
    EXPECT_EQ(row.seconds, CPortableTime(fileTime).GetValue());
    CPortableTime time(12345);
    EXPECT_EQ(row.seconds, time.SetFromFileTime(&fileTime).GetValue());
  }
  CPortableTime unchanged(77);
  EXPECT_EQ(77, unchanged.SetFromFileTime(nullptr).GetValue());
}

TEST(TimeFileTime, SecondsConvertBackSignExtended) {
  EXPECT_EQ(0x019DB1DED53E8000ull, Intervals(CPortableTime(0).ToFileTime()));
  EXPECT_EQ(0x019DB1DED4A5E980ull, Intervals(CPortableTime(-1).ToFileTime()));
  // (-2^31 + 11,644,473,600) * 10^7 = 94,969,899,520,000,000.
  EXPECT_EQ(94969899520000000ull, Intervals(CPortableTime(INT32_MIN).ToFileTime()));
  for (int32_t seconds : {0, 1, 1000000000, kNoon2020Jan15Utc, INT32_MAX}) {
    SCOPED_TRACE(seconds);
    CPortableTime time(seconds);
    EXPECT_EQ(seconds, CPortableTime(*time.ToFileTime()).GetValue());
  }
}

TEST(TimeLocal, MktimeConstructorsFollowTheZone) {
  const struct {
    const char* zone;
    int32_t offsetSeconds;  // local minus UTC
  } zones[] = {{"JST-9", 9 * 3600}, {"EST5", -5 * 3600}, {"UTC0", 0}};
  for (const auto& zone : zones) {
    SCOPED_TRACE(zone.zone);
    ScopedTimeZone scoped(zone.zone);
    const int32_t expected = kNoon2020Jan15Utc - zone.offsetSeconds;
    EXPECT_EQ(expected, CPortableTime(2020, 1, 15, 12, 0, 0, 0).GetValue());
    EXPECT_EQ(expected, CPortableTime(2019, 13, 15, 12, 0, 0, 0).GetValue());  // month 13 normalises
    EXPECT_EQ(expected, CPortableTime(2020, 1, 14, 36, 0, 0, 0).GetValue());
    SYSTEMTIME systemTime = {};
    systemTime.wYear = 2020;
    systemTime.wMonth = 1;
    systemTime.wDayOfWeek = 3;
    systemTime.wDay = 15;
    systemTime.wHour = 12;
    EXPECT_EQ(expected, CPortableTime(systemTime, 0).GetValue());

    const CPortableTime local(expected);
    EXPECT_EQ(2020, local.GetYear());
    EXPECT_EQ(1, local.GetMonth());
    EXPECT_EQ(15, local.GetDay());
    EXPECT_EQ(12, local.GetHour());
    EXPECT_EQ(0, local.GetMinute());
    EXPECT_EQ(0, local.GetSecond());
    EXPECT_EQ(3, local.GetDayOfWeek());
    struct tm utc = {};
    ASSERT_EQ(&utc, local.GetUtcTm(&utc));
    EXPECT_EQ(12 - zone.offsetSeconds / 3600, utc.tm_hour);
    EXPECT_EQ(zone.offsetSeconds / 3600, GetUtcOffsetHours());
    EXPECT_EQ(zone.offsetSeconds / 3600, GetStandardUtcOffsetHours());
  }
}

TEST(TimeLocal, OffsetsTruncateTowardZeroAndCountDaylightSaving) {
  {
    ScopedTimeZone india("IST-5:30");
    EXPECT_EQ(5, GetUtcOffsetHours());
  }
  {
    ScopedTimeZone newfoundland("NST3:30");
    EXPECT_EQ(-3, GetUtcOffsetHours());
  }
  {
    ScopedTimeZone central("CET-1CEST");
    const time_t now = std::time(nullptr);
    const int daylight = std::localtime(&now)->tm_isdst;
    EXPECT_EQ(1 + daylight, GetUtcOffsetHours());
    EXPECT_EQ(1, GetStandardUtcOffsetHours());
  }
}

TEST(TimeLocal, UnrepresentableTimesGiveTheLibraryAnswers) {
  ScopedTimeZone scoped("UTC0");
  EXPECT_EQ(-1, CPortableTime(2040, 1, 1, 0, 0, 0, 0).GetValue());
  const CPortableTime before1970(-86400);
  struct tm out;
  out.tm_year = 77;
  if (before1970.GetLocalTm(nullptr) == nullptr) {  // this run-time does not break down times before 1970
    EXPECT_EQ(2000, before1970.GetYear());
    EXPECT_EQ(0, before1970.GetMonth());
    EXPECT_EQ(0, before1970.GetDay());
    EXPECT_EQ(0, before1970.GetDayOfWeek());
    EXPECT_EQ(nullptr, before1970.GetLocalTm(&out));
    EXPECT_EQ(77, out.tm_year);
  }
  const CPortableTime epoch(0);
  ASSERT_EQ(&out, epoch.GetLocalTm(&out));
  EXPECT_EQ(70, out.tm_year);
  EXPECT_EQ(1970, epoch.GetYear());
}

TEST(TimeSpan, ArithmeticAndComparisonWorkOnSeconds) {
  EXPECT_EQ(93784, CPortableTimeSpan(1, 2, 3, 4).GetSeconds());
  EXPECT_EQ(-3600, CPortableTimeSpan(0, -1, 0, 0).GetSeconds());
  const CPortableTime start(1000);
  const CPortableTimeSpan minute(60);
  EXPECT_EQ(1060, (start + minute).GetValue());
  EXPECT_EQ(940, (start - minute).GetValue());
  EXPECT_EQ(-60, ((start - minute) - start).GetSeconds());
  CPortableTime moving(start);
  moving += minute;
  moving += minute;
  moving -= CPortableTimeSpan(20);
  EXPECT_EQ(1100, moving.GetValue());
  EXPECT_TRUE(start < moving);
  EXPECT_TRUE(moving > start);
  EXPECT_TRUE(start <= start);
  EXPECT_TRUE(start != moving);
  EXPECT_TRUE(start == 1000);
  moving = start;
  EXPECT_TRUE(moving == start);
  moving = moving;
  EXPECT_EQ(1000, moving.GetValue());
  // The 32-bit count wraps like the stored value.
  EXPECT_EQ(INT32_MIN, (CPortableTime(INT32_MAX) + CPortableTimeSpan(1)).GetValue());
  EXPECT_EQ(INT32_MAX, (CPortableTime(INT32_MIN) - CPortableTime(1)).GetSeconds());
}

TEST(TimeNow, FollowsTheSystemClock) {
  const time_t before = std::time(nullptr);
  const CPortableTime now = Now();
  const time_t after = std::time(nullptr);
  EXPECT_LE(static_cast<int32_t>(before), now.GetValue());
  EXPECT_GE(static_cast<int32_t>(after), now.GetValue());
}

}  // namespace
