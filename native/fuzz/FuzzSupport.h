// FuzzSupport.h - what the fuzz targets share. A broken promise aborts with its line, so libFuzzer
// keeps the input; a text lives in a heap block that ends with its terminator, so the address
// sanitizer stops a read one byte past it; the input chooses the code page.
#ifndef NATIVE_FUZZ_FUZZSUPPORT_H
#define NATIVE_FUZZ_FUZZSUPPORT_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

#include "ORINAPI_PORTABLE/Native/NativeCodePages.h"
#include "OrinRobo/CPortableString.h"

#define FUZZ_CHECK(condition) ((condition) ? (void)0 : fuzz::Fail(#condition, __FILE__, __LINE__))

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, what);
  abort();
}

// A copy of text (to its first zero byte) whose terminator is the last byte of its heap block.
class ExactText {
 public:
  explicit ExactText(const std::string& text)
      : size_(strnlen(text.c_str(), text.size())), bytes_(new char[size_ + 1]) {
    memcpy(bytes_.get(), text.data(), size_);
    bytes_[size_] = '\0';
  }
  char* Get() const { return bytes_.get(); }
  std::string Str() const { return std::string(bytes_.get(), size_); }
  size_t Size() const { return size_; }

 private:
  size_t size_;
  std::unique_ptr<char[]> bytes_;
};

inline std::string Str(const CPortableString& s) { return std::string(s.Text(), s.Length()); }

// Makes the code page that selector picks current and returns it.
inline uint32_t SelectCodePage(uint8_t selector) {
  const size_t count = sizeof orin::native::kCodePages / sizeof orin::native::kCodePages[0];
  const uint32_t page = orin::native::kCodePages[selector % count];
  orin::native::SelectCodePage(page);
  return page;
}

}  // namespace fuzz

#endif  // NATIVE_FUZZ_FUZZSUPPORT_H
