// The benchmarks' one clock: seconds from the performance counter.
#ifndef BENCHMARKS_BENCHCLOCK_H
#define BENCHMARKS_BENCHCLOCK_H

#include <windows.h>

inline double BenchSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

#endif  // BENCHMARKS_BENCHCLOCK_H
