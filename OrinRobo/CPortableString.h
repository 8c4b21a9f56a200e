// CPortableString: the narrow text and byte buffer of the whole library. The buffer always keeps
// at least two zero bytes' room beyond the text; growth to 2n + 2 makes appends amortised.
// A string that could not grow keeps what fits and says so (Failed()): a cut text must never be
// taken for the whole one, so whoever builds a path from it checks and answers out of memory.
#ifndef ORINROBO_CPORTABLESTRING_H
#define ORINROBO_CPORTABLESTRING_H

class CPortableString {
 public:
  CPortableString();
  // length -1 copies up to the terminating zero; a null text is the empty text.
  CPortableString(const char* text, int length = -1);
  CPortableString(const CPortableString& other);
  virtual ~CPortableString();

  CPortableString& operator=(const CPortableString& other);
  // A null text leaves the content as it was.
  CPortableString& operator=(const char* text);
  // Safe for text taken from this string's own buffer.
  CPortableString& Append(const char* text);
  CPortableString& operator+=(const char* text) { return Append(text); }

  // n = -1: all of the text; otherwise at most Length() bytes.
  CPortableString Left(int n) const;
  // The last n bytes (n is clamped to 0..Length()).
  CPortableString Right(int n) const;

  // Growth rule: nothing while Capacity() >= n + 2, else a new buffer of 2n + 2 bytes.
  void Reserve(int n);
  // After writing into Text() directly: length becomes the length of the text now in the buffer,
  // at most Capacity() - 2 (a longer text is cut there).
  void UpdateLength();

  char* Text() { return data_; }
  const char* Text() const { return data_; }
  int Length() const { return length_; }
  int Capacity() const { return capacity_; }
  bool IsEmpty() const { return length_ == 0; }
  // True once growth failed for the text it holds; a copy, a part or an extension of it is failed
  // too. Assigning a whole new text starts afresh.
  bool Failed() const { return failed_; }
  void MarkFailed() { failed_ = true; }

 private:
  void ZeroFrom(int position);
  void CopyBytes(const char* text, int length);

  char* data_;      // heap buffer, owned (a static fallback when memory ran out)
  int capacity_;    // bytes in data_
  int length_;      // text bytes before the terminating zero
  bool failed_;     // growth failed: the text may be cut short
};

// Text followed by other's text.
CPortableString operator+(const char* text, const CPortableString& other);

#endif  // ORINROBO_CPORTABLESTRING_H
