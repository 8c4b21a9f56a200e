// CPortableString through any sequence of operations on three strings, fed their own text too,
// while the allocations the input names fail. A model (std::string) follows each string: one that
// does not say it failed holds exactly the model's text. Every string keeps its terminator and two
// bytes' room and never shrinks; construction and assignment from a string zero the rest.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "../FuzzSupport.h"
#include "ORINAPI_PORTABLE/LayerMemory.h"

namespace {

int g_untilFailure = 0, g_failures = 0;  // allocations that succeed, then allocations that fail

void* FailingAllocate(size_t bytes) {
  if (g_untilFailure > 0) {
    --g_untilFailure;
  } else if (g_failures > 0) {
    --g_failures;
    return nullptr;
  }
  return orin::RealLayerAllocator()(bytes);
}

struct Slot {
  std::unique_ptr<CPortableString> string{new CPortableString()};
  std::string model;
  int leastCapacity = 0;
};

std::string UpToZero(const std::string& text) { return text.substr(0, text.find('\0')); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  g_untilFailure = input.ConsumeIntegralInRange(0, 60);
  g_failures = input.ConsumeIntegralInRange(0, 3);
  const orin::ScopedLayerAllocator hook(&FailingAllocate);
  Slot slots[3];
  while (input.remaining_bytes() > 0) {
    Slot& target = slots[input.ConsumeIntegralInRange(0, 2)];
    const Slot& source = slots[input.ConsumeIntegralInRange(0, 2)];
    const int op = input.ConsumeIntegralInRange(0, 9), n = input.ConsumeIntegralInRange(-2, 80);
    const std::string bytes = input.ConsumeRandomLengthString(40), model = source.model;
    const fuzz::ExactText text(bytes);
    const CPortableString& from = *source.string;
    const char* piece = from.Text() + std::clamp(n, 0, from.Length());  // its own buffer
    const std::string pieceText(piece);
    CPortableString& s = *target.string;
    if ((op == 4 || op == 9) && s.Length() + from.Length() > (1 << 14)) continue;  // appends double
    bool zeroed = op <= 2 || op == 5 || op == 6 || op == 9;
    if (op <= 1) target.leastCapacity = 0;
    switch (op) {
      case 0: {  // n bytes, zeros among them (nothing more is read), or up to the first zero
        const int length = n < 0 ? -1 : std::min(n, static_cast<int>(bytes.size()));
        std::unique_ptr<char[]> exact(new char[bytes.size()]);
        memcpy(exact.get(), bytes.data(), bytes.size());
        target.string.reset(new CPortableString(length < 0 ? text.Get() : exact.get(), length));
        target.model = length < 0 ? text.Str() : bytes.substr(0, length);
        break;
      }
      case 1:
        target.string.reset(new CPortableString(from));
        target.model = model;
        break;
      case 2:  // assigning a string to itself changes nothing
        s = from;
        target.model = model;
        zeroed = &target != &source;
        break;
      case 3:  // a null text changes nothing
        s = n % 3 == 0 ? nullptr : n % 3 == 1 ? text.Get() : piece;
        if (n % 3 != 0) target.model = n % 3 == 1 ? text.Str() : pieceText;
        break;
      case 4:
        target.model = UpToZero(target.model) + (n % 2 ? text.Str() : pieceText);
        s.Append(n % 2 ? text.Get() : piece);
        break;
      case 5:
        s = from.Left(n);
        target.model = model.substr(0, n == -1 ? model.size() : std::max(n, 0));
        break;
      case 6:
        s = from.Right(n);
        target.model = UpToZero(model.substr(model.size() - std::min<size_t>(std::max(n, 0), model.size())));
        break;
      case 7: s.Reserve(n * 4); break;
      case 8:  // written straight into the buffer, up to its last byte
        memset(s.Text(), 'w', std::clamp(n * 2, 0, s.Capacity()));
        s.UpdateLength();
        target.model = fuzz::Str(s);
        break;
      default:
        s = text.Get() + from;
        target.model = text.Str() + UpToZero(model);
        break;
    }
    const CPortableString& result = *target.string;
    FUZZ_CHECK(result.Capacity() >= result.Length() + 2 && result.Text()[result.Length()] == '\0');
    FUZZ_CHECK(result.Capacity() >= target.leastCapacity &&
               (result.Failed() || fuzz::Str(result) == target.model));
    for (int i = result.Length(); zeroed && i < result.Capacity(); ++i) FUZZ_CHECK(result.Text()[i] == '\0');
    target.leastCapacity = result.Capacity();
  }
  return 0;
}
