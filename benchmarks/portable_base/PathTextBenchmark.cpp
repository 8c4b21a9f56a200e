// Path text costs for paths of 2,000, 20,000 and 200,000 bytes, measured side by side in one run
// and printed as ratios:
// 1. stepping with the guarded lead-byte test against the run-time's raw _mbsinc;
// 2. the same path's components counted in code page 932 against 1252;
// 3. counting components in one walk against the textbook definition (the smallest n for which
//    SkipComponents gives null, found by trying n = 1, 2, ...): the definition is quadratic, so
//    this ratio grows with the path by design and has no growth line.
// Usage: bench_path_text [--full]
#include <mbctype.h>
#include <mbstring.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ORINAPI_PORTABLE/MultibyteText.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "BenchmarkFlavour.h"
#include "BenchmarkSeries.h"

namespace {

constexpr int kRounds = 9;
constexpr double kLeastSeconds = 0.02;  // per figure, so that the clock's grain does not show

template <class F>
double Seconds(int repeats, F&& work) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repeats; ++i) work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds per pass of work, repeated until kLeastSeconds have passed.
template <class F>
double PerPass(F&& work) {
  int repeats = 1;
  for (;;) {
    const double seconds = Seconds(repeats, work);
    if (seconds >= kLeastSeconds) return seconds / repeats;
    repeats *= 2;
  }
}

int CountByDefinition(const char* text) {
  int n = 1;
  while (SkipComponents(text, n) != nullptr) ++n;
  return n;
}

int RawCharCount(const char* text) {
  int count = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p = _mbsinc(p)) ++count;
  return count;
}

volatile int g_sink;

}  // namespace

int main(int argc, char** argv) {
  PrintBenchmarkFlavour();
  const std::vector<size_t> sizes = PickSizes(argc, argv, std::vector<size_t>{2000, 20000, 200000}, 2);
  std::printf("Path text: time of the walk against its counterpart, the median of %d rounds' pairs\n", kRounds);
  std::printf("%8s %22s %18s %26s\n", "bytes", "guarded / raw _mbsinc", "code page 932/1252",
              "definition / one walk");
  std::vector<SeriesPoint> stepping, codePages;
  const int previous = _getmbcp();
  for (size_t size : sizes) {
    std::string path = "C:";
    while (path.size() < size) path += "\\component";
    const char* text = path.c_str();
    std::vector<double> guarded, raw, western, japanese;
    for (int round = 0; round < kRounds; ++round) {
      guarded.push_back(PerPass([&] { g_sink = orin::CharCount(text); }));
      raw.push_back(PerPass([&] { g_sink = RawCharCount(text); }));
      _setmbcp(1252);
      western.push_back(PerPass([&] { g_sink = CountComponents(text); }));
      _setmbcp(932);
      japanese.push_back(PerPass([&] { g_sink = CountComponents(text); }));
      _setmbcp(previous);
    }
    // Once, in code page 1252 as the one walk: quadratic, it takes seconds at the largest size.
    const double oneWalk = Median(western);
    _setmbcp(1252);
    const double definition = Seconds(1, [&] { g_sink = CountByDefinition(text); });
    _setmbcp(previous);
    const double steppingRatio = PairedRatio(guarded, raw);
    const double codePageRatio = PairedRatio(japanese, western);
    std::printf("%8zu %22.3f %18.2f %26.0f\n", path.size(), steppingRatio, codePageRatio, definition / oneWalk);
    std::fflush(stdout);
    stepping.push_back({std::to_string(path.size()) + " bytes", steppingRatio, true});
    codePages.push_back({std::to_string(path.size()) + " bytes", codePageRatio, true});
  }
  PrintGrowth("guarded / raw stepping", stepping, sizes.size(), nullptr);
  PrintGrowth("code page 932 / 1252", codePages, sizes.size(), nullptr);
  return 0;
}
