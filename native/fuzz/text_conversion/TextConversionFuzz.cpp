// Narrow and wide text through each code page, one the system does not know among them. Input:
// current code page, which one the calls name, a count, then the text. The native code pages are
// one-to-one and the fallback keeps each byte in its unit, so a text comes back byte for byte;
// results written into a caller's buffer stay inside the room the header promises.
#include <vector>

#include "../FuzzSupport.h"
#include "ORINAPI_PORTABLE/TextConversion.h"

namespace {

constexpr uint32_t kUnknownCodePage = 12345;

// A heap block of exactly count units: a write past it stops the sanitizer.
template <class Unit>
std::unique_ptr<Unit[]> Room(size_t count) {
  return std::unique_ptr<Unit[]>(new Unit[count]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const uint32_t current = fuzz::SelectCodePage(data[0]);
  const uint32_t named[] = {0, current, kUnknownCodePage};
  const uint32_t codePage = named[data[1] % 3];
  const int32_t count = static_cast<int8_t>(data[2]) < 0 ? -1 : data[2] % 64;
  const fuzz::ExactText text(std::string(reinterpret_cast<const char*>(data) + 3, size - 3));
  const std::string s = text.Str();
  const std::string piece = count < 0 ? s : s.substr(0, count);

  CPortableWideString wide;
  NarrowToWide(wide, codePage, text.Get(), count);
  const int units = wide.Length();
  FUZZ_CHECK(units <= static_cast<int>(piece.size()) && (units == 0) == piece.empty());
  FUZZ_CHECK(wide.Capacity() >= units + 2 && wide.Text()[units] == 0);
  for (int i = 0; i < units; ++i) FUZZ_CHECK(wide.Text()[i] != 0);

  CPortableString back;
  FUZZ_CHECK(fuzz::Str(WideToString(back, codePage, wide.Text(), -1)) == piece);
  auto narrow = Room<char>(2 * static_cast<size_t>(units) + 1);
  FUZZ_CHECK(WideToNarrow(codePage, wide.Text(), narrow.get(), -1) == narrow.get() && narrow.get() == piece);
  char* allocated = WideToNarrow(codePage, wide.Text(), nullptr, count);
  FUZZ_CHECK(allocated != nullptr && strlen(allocated) <= 2 * static_cast<size_t>(units));
  ReleaseNarrowText(allocated);

  const size_t kept = count < 0 ? static_cast<size_t>(units) : std::min<size_t>(units, count);
  auto low = Room<char>(kept + 1);
  FUZZ_CHECK(WideToNarrowLowBytes(wide.Text(), low.get(), count) == low.get() && strlen(low.get()) <= kept);
  auto copy = Room<char>(std::min(piece.size(), s.size()) + 1);
  FUZZ_CHECK(CopyText(text.Get(), copy.get(), count) == copy.get() && copy.get() == piece);
  auto wideCopy = Room<wchar_t>(kept + 1);
  FUZZ_CHECK(CopyWideText(wide.Text(), wideCopy.get(), count) == wideCopy.get() &&
             wcslen(wideCopy.get()) == kept);

  // Any 16-bit units, as a file name from the system may hold: converted within the promised room.
  std::vector<wchar_t> anyUnits;
  for (size_t i = 0; i + 1 < s.size() && anyUnits.size() < 64; i += 2) {
    const wchar_t unit =
        static_cast<wchar_t>(static_cast<uint8_t>(s[i]) << 8 | static_cast<uint8_t>(s[i + 1]));
    if (unit == 0) break;
    anyUnits.push_back(unit);
  }
  anyUnits.push_back(0);
  auto spelled = Room<char>(2 * anyUnits.size() - 1);
  WideToNarrow(codePage, anyUnits.data(), spelled.get(), count);
  FUZZ_CHECK(strlen(spelled.get()) <= 2 * (anyUnits.size() - 1));
  FUZZ_CHECK(WideToString(back, codePage, anyUnits.data(), count).Length() <=
             2 * static_cast<int>(anyUnits.size()));
  return 0;
}
