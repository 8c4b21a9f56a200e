// Narrow/wide conversion through the system's code pages, with byte-for-byte fallbacks.
// Counts given by callers only ever shorten a text: no routine reads past a terminator.
#include "ORINAPI_PORTABLE/TextConversion.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <memory>

#include "ORINAPI_PORTABLE/CodePageConversion.h"
#include "ORINAPI_PORTABLE/LayerMemory.h"

namespace {

struct FreeDeleter {
  void operator()(void* p) const { orin::Free(p); }
};
template <class T>
using MallocPtr = std::unique_ptr<T, FreeDeleter>;

template <class T>
T* AllocateUnits(size_t count) {
  return static_cast<T*>(orin::Allocate(count * sizeof(T)));
}

// Units of text to use: all of it for -1, else at most count (a negative count is nothing).
size_t NarrowLength(const char* text, int32_t count) {
  if (text == nullptr) return 0;
  if (count == -1) return strlen(text);
  return count < 0 ? 0 : strnlen(text, static_cast<size_t>(count));
}

size_t WideLength(const wchar_t* text, int32_t count) {
  if (text == nullptr) return 0;
  if (count == -1) return wcslen(text);
  return count < 0 ? 0 : wcsnlen(text, static_cast<size_t>(count));
}

// The system's conversion of length bytes; null when it refuses.
MallocPtr<wchar_t> SystemNarrowToWide(uint32_t codePage, const char* text, size_t length) {
  if (length == 0 || length > 0x7FFFFFFE) return nullptr;
  const int units = orin::ConvertToWide(codePage, text, static_cast<int>(length), nullptr, 0);
  if (units <= 0) return nullptr;
  MallocPtr<wchar_t> wide(AllocateUnits<wchar_t>(static_cast<size_t>(units) + 1));
  if (!wide) return nullptr;
  const int written = orin::ConvertToWide(codePage, text, static_cast<int>(length), wide.get(), units);
  if (written <= 0) return nullptr;
  wide.get()[written] = L'\0';
  return wide;
}

// The system's conversion of length units; null when it refuses.
MallocPtr<char> SystemWideToNarrow(uint32_t codePage, const wchar_t* wide, size_t length) {
  if (length == 0 || length > 0x7FFFFFFE) return nullptr;
  const int bytes = orin::ConvertFromWide(codePage, wide, static_cast<int>(length), nullptr, 0);
  if (bytes <= 0) return nullptr;
  MallocPtr<char> narrow(AllocateUnits<char>(static_cast<size_t>(bytes) + 1));
  if (!narrow) return nullptr;
  const int written = orin::ConvertFromWide(codePage, wide, static_cast<int>(length), narrow.get(), bytes);
  if (written <= 0) return nullptr;
  narrow.get()[written] = '\0';
  return narrow;
}

}  // namespace

CPortableWideString& NarrowToWide(CPortableWideString& out, uint32_t codePage, const char* text,
                                  int32_t length) {
  const size_t bytes = NarrowLength(text, length);
  if (bytes == 0) return out.Assign(L"", 0);
  if (MallocPtr<wchar_t> wide = SystemNarrowToWide(codePage, text, bytes)) {
    return out.Assign(wide.get(), -1);
  }
  // The refusal's reason does not matter: the fallback never fails.
  // Bytes widen as signed values to 16-bit units (0x80 gives 0xFF80, however wide wchar_t is);
  // the low byte of each unit is the byte itself.
  MallocPtr<wchar_t> widened(AllocateUnits<wchar_t>(bytes + 1));
  if (!widened) return out.Assign(L"", 0);
  for (size_t i = 0; i < bytes; ++i) {
    widened.get()[i] =
        static_cast<wchar_t>(static_cast<uint16_t>(static_cast<int16_t>(static_cast<signed char>(text[i]))));
  }
  widened.get()[bytes] = L'\0';
  return out.Assign(widened.get(), static_cast<int>(bytes));
}

CPortableWideString& NarrowToWideAnsi(CPortableWideString& out, const char* text) {
  return NarrowToWide(out, 0, text, -1);
}

char* WideToNarrowLowBytes(const wchar_t* wide, char* destination, int32_t count) {
  if (wide == nullptr) return nullptr;
  const size_t units = WideLength(wide, count);
  char* narrow = destination != nullptr ? destination : AllocateUnits<char>(units + 1);
  if (narrow == nullptr) return nullptr;
  for (size_t i = 0; i < units; ++i) narrow[i] = static_cast<char>(wide[i] & 0xFF);
  narrow[units] = '\0';
  return narrow;
}

char* WideToNarrow(uint32_t codePage, const wchar_t* wide, char* destination, int32_t count) {
  if (wide == nullptr) return nullptr;
  const size_t units = WideLength(wide, count);
  MallocPtr<char> converted = SystemWideToNarrow(codePage, wide, units);
  if (!converted) {
    return WideToNarrowLowBytes(wide, destination, static_cast<int32_t>(units));
  }
  if (destination == nullptr) return converted.release();
  memcpy(destination, converted.get(), strlen(converted.get()) + 1);
  return destination;
}

CPortableString& WideToString(CPortableString& out, uint32_t codePage, const wchar_t* wide,
                              int32_t count) {
  const size_t units = WideLength(wide, count);
  MallocPtr<char> narrow(WideToNarrow(codePage, wide != nullptr ? wide : L"", nullptr,
                                      static_cast<int32_t>(units)));
  out = narrow ? narrow.get() : "";
  return out;
}

char* CopyText(const char* text, char* destination, int32_t count) {
  if (text == nullptr) return nullptr;
  const size_t bytes = NarrowLength(text, count);
  char* copy = destination != nullptr ? destination : AllocateUnits<char>(bytes + 1);
  if (copy == nullptr) return nullptr;
  memmove(copy, text, bytes);
  copy[bytes] = '\0';
  return copy;
}

wchar_t* CopyWideText(const wchar_t* wide, wchar_t* destination, int32_t count) {
  if (wide == nullptr) return nullptr;
  const size_t units = WideLength(wide, count);
  wchar_t* copy = destination != nullptr ? destination : AllocateUnits<wchar_t>(units + 1);
  if (copy == nullptr) return nullptr;
  memmove(copy, wide, units * sizeof(wchar_t));
  copy[units] = L'\0';
  return copy;
}

void ReleaseNarrowText(char* text) {
  orin::Free(text);
}

void ReleaseWideText(wchar_t* text) {
  orin::Free(text);
}
