// What every benchmark shares: a series of sizes (the short one by default, every size with
// --full) and a last line per series that says whether the cost grows in step with the work.
#ifndef BENCHMARKS_BENCHMARKSERIES_H
#define BENCHMARKS_BENCHMARKSERIES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// The sizes to measure: all of them with --full, else the first shortCount.
template <class T>
std::vector<T> PickSizes(int argc, char** argv, const std::vector<T>& all, size_t shortCount) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--full") == 0) return all;
  return std::vector<T>(all.begin(), all.begin() + std::min(shortCount, all.size()));
}

// One size of a series: its name, its ratio to the raw baseline, and whether it keeps the target.
struct SeriesPoint {
  std::string size;
  double ratio;
  bool keepsTarget;
};

// Ratios further apart than this between the smallest and the largest size mean the cost does
// not grow in step with the work.
constexpr double kInStepTolerance = 0.15;

// Prints the growth line of one series and returns whether it holds: every one of the sizes asked
// measured, the ratio at the largest within 15 % of the one at the smallest, and every size within
// its target (null: none).
inline bool PrintGrowth(const char* series, const std::vector<SeriesPoint>& points, size_t sizesAsked,
                        const char* target) {
  if (points.size() < 2 || points.size() != sizesAsked) {
    std::printf("grows in step, %s: cannot tell (%zu of %zu sizes measured)\n", series, points.size(), sizesAsked);
    std::fflush(stdout);
    return false;
  }
  const SeriesPoint& smallest = points.front();
  const SeriesPoint& largest = points.back();
  const double change = smallest.ratio > 0 ? largest.ratio / smallest.ratio - 1 : INFINITY;
  const bool inStep = std::fabs(change) <= kInStepTolerance;
  std::string missed;
  for (const SeriesPoint& point : points)
    if (!point.keepsTarget) missed += (missed.empty() ? "" : ", ") + point.size;
  const bool holds = inStep && missed.empty();
  std::printf("grows in step, %s: %s (%.2f at %s against %.2f at %s, %+.0f %%; %s%s%s)\n", series,
              holds ? "yes" : "NO", largest.ratio, largest.size.c_str(), smallest.ratio, smallest.size.c_str(),
              change * 100, target ? target : "no target",
              target == nullptr ? "" : missed.empty() ? " kept at every size" : " missed at ", missed.c_str());
  std::fflush(stdout);
  return holds;
}

// The median of a few timings: robust against one round the machine spent elsewhere.
inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The median of the ratios of rounds measured back to back: a busy moment slows both sides of one
// round, so pairs compare like with like where separate medians may not.
inline double PairedRatio(const std::vector<double>& measured, const std::vector<double>& baseline) {
  std::vector<double> ratios;
  for (size_t i = 0; i < measured.size() && i < baseline.size(); ++i)
    if (baseline[i] > 0) ratios.push_back(measured[i] / baseline[i]);
  return Median(ratios);
}

#endif  // BENCHMARKS_BENCHMARKSERIES_H
