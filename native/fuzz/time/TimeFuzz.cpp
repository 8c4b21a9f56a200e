// Time values from any 64-bit FILETIME count, any seconds and any calendar fields, in zones with
// and without daylight saving. Conversions saturate or round-trip as promised, span arithmetic
// undoes itself, and a time rebuilt from its own local breakdown is the same time.
#include <fuzzer/FuzzedDataProvider.h>

#include <ctime>

#include "../FuzzSupport.h"
#include "ORINAPI_PORTABLE/CPortableTime.h"

namespace {
constexpr uint64_t kIntervalsPerSecond = 10000000;
// POSIX zone rules, which need no zone files: UTC, Europe's rule, the southern hemisphere's, a half hour.
const char* const kZones[] = {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "NZST-12NZDT,M9.5.0,M4.1.0/3",
                              "<-0330>3:30"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  setenv("TZ", input.PickValueInArray(kZones), 1);
  tzset();

  // FILETIME counts: seconds within range lie in the second the count falls in; others saturate.
  const uint64_t intervals = input.ConsumeIntegral<uint64_t>();
  const int32_t fromFileTime = FileTimeIntervalsToSeconds(intervals);
  FUZZ_CHECK(fromFileTime >= 0);
  const uint64_t start = SecondsToFileTimeIntervals(fromFileTime);
  if (fromFileTime < INT32_MAX) FUZZ_CHECK(start <= intervals && intervals - start < kIntervalsPerSecond);
  const int32_t seconds = input.ConsumeIntegral<int32_t>();
  FUZZ_CHECK(FileTimeIntervalsToSeconds(SecondsToFileTimeIntervals(seconds)) ==
             (seconds >= 0 ? seconds : INT32_MAX));

  // Arithmetic wraps in 32 bits and undoes itself; comparisons agree with one another.
  const CPortableTime time(seconds);
  const CPortableTimeSpan span(input.ConsumeIntegral<int32_t>());
  FUZZ_CHECK((time + span) - span == time && ((time + span) - time).GetSeconds() == span.GetSeconds());
  CPortableTime moved(time);
  moved += span;
  moved -= span;
  FUZZ_CHECK(moved == time && moved == seconds && !(moved != time));
  const CPortableTime other(input.ConsumeIntegral<int32_t>());
  FUZZ_CHECK((time < other) == (other > time) && (time <= other) == !(time > other) &&
             (time == other) == !(time != other));

  // The local and UTC breakdowns exist for every 32-bit time, and local fields rebuild the time.
  struct tm local, utc;
  FUZZ_CHECK(time.GetLocalTm(&local) == &local && time.GetUtcTm(&utc) == &utc);
  FUZZ_CHECK(utc.tm_sec <= 60 && utc.tm_min < 60 && utc.tm_hour < 24 && utc.tm_mon < 12 && utc.tm_mday >= 1);
  FUZZ_CHECK(time.GetYear() == local.tm_year + 1900 && time.GetMonth() == local.tm_mon + 1 &&
             time.GetDay() == local.tm_mday && time.GetHour() == local.tm_hour &&
             time.GetDayOfWeek() == local.tm_wday);
  const CPortableTime rebuilt(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                              local.tm_min, local.tm_sec, local.tm_isdst);
  FUZZ_CHECK(rebuilt == time);

  // Any fields at all: normalised or refused (-1), never undefined.
  const int32_t year = input.ConsumeIntegral<int32_t>(), month = input.ConsumeIntegral<int32_t>();
  const int32_t day = input.ConsumeIntegral<int32_t>(), hour = input.ConsumeIntegral<int32_t>();
  const int32_t minute = input.ConsumeIntegral<int32_t>(), second = input.ConsumeIntegral<int32_t>();
  CPortableTime(year, month, day, hour, minute, second, input.ConsumeIntegralInRange(-1, 1)).GetDay();
  CPortableTimeSpan(year, month, day, hour).GetSeconds();
  const int32_t offset = GetUtcOffsetHours();
  FUZZ_CHECK(offset >= -14 && offset <= 14 && GetStandardUtcOffsetHours() <= offset);
  return 0;
}
