// Path text costs, measured side by side in one run and printed as ratios:
// 1. counting components in one walk against the textbook definition (the smallest n for which
//    SkipComponents gives null, found by trying n = 1, 2, ...), on a long path;
// 2. stepping with the guarded lead-byte test against the run-time's raw _mbsinc;
// 3. the same path walked in code page 932 against 1252.
#include <mbctype.h>
#include <mbstring.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "ORINAPI_PORTABLE/MultibyteText.h"
#include "ORINAPI_PORTABLE/PathText.h"
#include "BenchmarkFlavour.h"

namespace {

template <class F>
double Seconds(int repeats, F&& work) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repeats; ++i) work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int CountByDefinition(const char* text) {
  int n = 1;
  while (SkipComponents(text, n) != nullptr) ++n;
  return n;
}

volatile int g_sink;

}  // namespace

int main() {
  PrintBenchmarkFlavour();
  std::string path = "C:";
  while (path.size() < 20000) path += "\\component";
  const char* text = path.c_str();

  const double oneWalk = Seconds(200, [&] { g_sink = CountComponents(text); });
  const double definition = Seconds(2, [&] { g_sink = CountByDefinition(text); }) * 100;
  std::printf("CountComponents, 20,000 bytes: definition / one walk = %.0f\n", definition / oneWalk);

  const double guarded = Seconds(500, [&] { g_sink = orin::CharCount(text); });
  const double raw = Seconds(500, [&] {
    int count = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; p = _mbsinc(p)) ++count;
    g_sink = count;
  });
  std::printf("character walk: guarded NextChar / raw _mbsinc = %.2f\n", guarded / raw);

  const int previous = _getmbcp();
  _setmbcp(1252);
  const double western = Seconds(500, [&] { g_sink = CountComponents(text); });
  _setmbcp(932);
  const double japanese = Seconds(500, [&] { g_sink = CountComponents(text); });
  _setmbcp(previous);
  std::printf("CountComponents: code page 932 / 1252 = %.2f\n", japanese / western);
  return 0;
}
