// CPortableString: growth, zeroing and copying rules of the library's text buffer.
#include "OrinRobo/CPortableString.h"

#include <cstring>

#include "ORINAPI_PORTABLE/LayerMemory.h"

namespace {
constexpr int kInitialCapacity = 6;

// Used only when not even the initial buffer can be had: two zero bytes that are never freed.
// Every write into a buffer of capacity 2 is a zero byte, so sharing it is harmless.
char g_outOfMemoryBuffer[2];

int TextLength(const char* text) {
  return text ? static_cast<int>(std::strlen(text)) : 0;
}
}  // namespace

CPortableString::CPortableString() : data_(nullptr), capacity_(0), length_(0), failed_(false) {
  data_ = static_cast<char*>(orin::Allocate(kInitialCapacity));
  if (data_) {
    std::memset(data_, 0, kInitialCapacity);
    capacity_ = kInitialCapacity;
  } else {
    data_ = g_outOfMemoryBuffer;
    capacity_ = sizeof g_outOfMemoryBuffer;
  }
}

CPortableString::CPortableString(const char* text, int length) : CPortableString() {
  if (text == nullptr || length < -1) length = 0;
  if (length == -1) length = TextLength(text);
  CopyBytes(text, length);
  ZeroFrom(length_);
}

CPortableString::CPortableString(const CPortableString& other)
    : CPortableString(other.data_, other.length_) {
  if (other.failed_) failed_ = true;
}

CPortableString::~CPortableString() {
  if (data_ != g_outOfMemoryBuffer) orin::Free(data_);
}

void CPortableString::Reserve(int n) {
  if (n < 0 || capacity_ >= n + 2) return;
  // Callers copy only what the old capacity holds; the flag tells them the text may be cut.
  if (n > (0x7FFFFFFF - 2) / 2) {  // the size would not fit the 32-bit capacity
    failed_ = true;
    return;
  }
  const int newCapacity = 2 * n + 2;
  char* grown = static_cast<char*>(orin::Allocate(newCapacity));
  if (grown == nullptr) {
    failed_ = true;
    return;
  }
  std::memcpy(grown, data_, capacity_);
  if (data_ != g_outOfMemoryBuffer) orin::Free(data_);
  data_ = grown;
  capacity_ = newCapacity;
}

// Copies length bytes (cut to what the buffer can hold if growth failed) and sets the length.
void CPortableString::CopyBytes(const char* text, int length) {
  if (length < 0) length = 0;
  Reserve(length);
  if (length > capacity_ - 2) length = capacity_ - 2;
  if (length > 0) std::memmove(data_, text, length);
  length_ = length;
  data_[length_] = '\0';
}

void CPortableString::ZeroFrom(int position) {
  if (position < capacity_) std::memset(data_ + position, 0, capacity_ - position);
}

CPortableString& CPortableString::operator=(const CPortableString& other) {
  if (&other == this) return *this;
  failed_ = false;
  CopyBytes(other.data_, other.length_);
  ZeroFrom(length_);
  if (other.failed_) failed_ = true;
  return *this;
}

CPortableString& CPortableString::operator=(const char* text) {
  if (text == nullptr) return *this;
  if (text >= data_ && text < data_ + capacity_) {
    // Assigning a piece of our own text: take a copy before the buffer may move.
    const CPortableString copy(text);
    return *this = copy;
  }
  failed_ = false;
  CopyBytes(text, TextLength(text));
  UpdateLength();
  return *this;
}

CPortableString& CPortableString::Append(const char* text) {
  // The copy keeps a text from our own buffer alive across the growth step.
  const CPortableString copy(text);
  if (copy.failed_) failed_ = true;
  Reserve(length_ + copy.length_);
  const int end = TextLength(data_);
  int count = copy.length_;
  if (count > capacity_ - 2 - end) count = capacity_ - 2 - end;
  if (count > 0) std::memcpy(data_ + end, copy.data_, count);
  data_[end + (count > 0 ? count : 0)] = '\0';
  UpdateLength();
  return *this;
}

CPortableString CPortableString::Left(int n) const {
  if (n == -1 || n > length_) n = length_;
  if (n < 0) n = 0;
  CPortableString part(data_, n);
  if (failed_) part.failed_ = true;
  return part;
}

CPortableString CPortableString::Right(int n) const {
  if (n > length_) n = length_;
  if (n < 0) n = 0;
  CPortableString part(data_ + (length_ - n));
  if (failed_) part.failed_ = true;
  return part;
}

void CPortableString::UpdateLength() {
  // The buffer always ends in zeros, but a caller may have filled it completely: stay inside,
  // and keep the two bytes' room every other operation leaves behind the text.
  length_ = static_cast<int>(strnlen(data_, capacity_ >= 2 ? capacity_ - 2 : 0));
  data_[length_] = '\0';
}

CPortableString operator+(const char* text, const CPortableString& other) {
  CPortableString result(text);
  result.Append(other.Text());
  if (other.Failed()) result.MarkFailed();
  return result;
}
