// One line at the start of every benchmark: which build flavour the figures below belong to.
#ifndef BENCHMARKS_BENCHMARKFLAVOUR_H
#define BENCHMARKS_BENCHMARKFLAVOUR_H

#include <cstdio>

inline void PrintBenchmarkFlavour() {
  std::printf("flavour: %s\n", sizeof(void*) == 8 ? "win64 (x86_64)" : "win32 (i686)");
  std::fflush(stdout);
}

#endif  // BENCHMARKS_BENCHMARKFLAVOUR_H
