// CPortableWideString: growth and copying rules, in units, as for CPortableString.
#include "ORINAPI_PORTABLE/CPortableWideString.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {
constexpr int kInitialCapacity = 6;

// Two zero units that are never freed, used only when not even the initial buffer can be had.
wchar_t g_outOfMemoryBuffer[2];
}  // namespace

CPortableWideString::CPortableWideString() : data_(nullptr), capacity_(0), length_(0) {
  data_ = static_cast<wchar_t*>(std::calloc(kInitialCapacity, sizeof(wchar_t)));
  if (data_) {
    capacity_ = kInitialCapacity;
  } else {
    data_ = g_outOfMemoryBuffer;
    capacity_ = 2;
  }
}

CPortableWideString::CPortableWideString(const wchar_t* text, int length) : CPortableWideString() {
  Assign(text, length);
}

CPortableWideString::CPortableWideString(const CPortableWideString& other)
    : CPortableWideString(other.data_, other.length_) {}

CPortableWideString::~CPortableWideString() {
  if (data_ != g_outOfMemoryBuffer) std::free(data_);
}

CPortableWideString& CPortableWideString::operator=(const CPortableWideString& other) {
  if (&other != this) Assign(other.data_, other.length_);
  return *this;
}

void CPortableWideString::Reserve(int n) {
  if (n < 0 || capacity_ >= n + 2) return;
  if (n > (0x3FFFFFFF - 2) / 2) return;  // the byte size would overflow
  const int newCapacity = 2 * n + 2;
  wchar_t* grown = static_cast<wchar_t*>(std::malloc(newCapacity * sizeof(wchar_t)));
  if (grown == nullptr) return;
  std::memcpy(grown, data_, capacity_ * sizeof(wchar_t));
  if (data_ != g_outOfMemoryBuffer) std::free(data_);
  data_ = grown;
  capacity_ = newCapacity;
}

CPortableWideString& CPortableWideString::Assign(const wchar_t* text, int n) {
  if (text == nullptr || n < -1) n = 0;
  if (n == -1) n = static_cast<int>(std::wcslen(text));
  if (text >= data_ && text < data_ + capacity_) {
    // A piece of our own buffer: copy it before the buffer may move.
    const CPortableWideString copy(text, n);
    return Assign(copy.data_, copy.length_);
  }
  Reserve(n);
  if (n > capacity_ - 2) n = capacity_ - 2;  // growth failed: keep what fits
  if (n > 0) std::memcpy(data_, text, n * sizeof(wchar_t));
  length_ = n;
  for (int i = n; i < capacity_; ++i) data_[i] = L'\0';
  return *this;
}
