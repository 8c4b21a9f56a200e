// CPortableWideString: growth and copying rules, in units, as for CPortableString.
#include "ORINAPI_PORTABLE/CPortableWideString.h"

#include <cstring>
#include <cwchar>

#include "ORINAPI_PORTABLE/LayerMemory.h"

namespace {
constexpr int kInitialCapacity = 6;

// Two zero units that are never freed, used only when not even the initial buffer can be had.
wchar_t g_outOfMemoryBuffer[2];
}  // namespace

CPortableWideString::CPortableWideString() : data_(nullptr), capacity_(0), length_(0), failed_(false) {
  data_ = static_cast<wchar_t*>(orin::Allocate(kInitialCapacity * sizeof(wchar_t)));
  if (data_) {
    std::memset(data_, 0, kInitialCapacity * sizeof(wchar_t));
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
    : CPortableWideString(other.data_, other.length_) {
  if (other.failed_) failed_ = true;
}

CPortableWideString::~CPortableWideString() {
  if (data_ != g_outOfMemoryBuffer) orin::Free(data_);
}

CPortableWideString& CPortableWideString::operator=(const CPortableWideString& other) {
  if (&other != this) {
    Assign(other.data_, other.length_);
    if (other.failed_) failed_ = true;
  }
  return *this;
}

void CPortableWideString::Reserve(int n) {
  if (n < 0 || capacity_ >= n + 2) return;
  if (n > (0x3FFFFFFF - 2) / 2) {  // the byte size would overflow
    failed_ = true;
    return;
  }
  const int newCapacity = 2 * n + 2;
  wchar_t* grown = static_cast<wchar_t*>(orin::Allocate(newCapacity * sizeof(wchar_t)));
  if (grown == nullptr) {
    failed_ = true;
    return;
  }
  std::memcpy(grown, data_, capacity_ * sizeof(wchar_t));
  if (data_ != g_outOfMemoryBuffer) orin::Free(data_);
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
  failed_ = false;
  Reserve(n);
  if (n > capacity_ - 2) n = capacity_ - 2;  // growth failed: keep what fits
  if (n > 0) std::memcpy(data_, text, n * sizeof(wchar_t));
  length_ = n;
  for (int i = n; i < capacity_; ++i) data_[i] = L'\0';
  return *this;
}
