// CPortableWideString: the UTF-16 counterpart of CPortableString, used only to hand text to the
// wide forms of system calls. Same growth rule in units: the buffer keeps two zero units' room.
#ifndef ORINAPI_PORTABLE_CPORTABLEWIDESTRING_H
#define ORINAPI_PORTABLE_CPORTABLEWIDESTRING_H

class CPortableWideString {
 public:
  CPortableWideString();
  // length -1 copies up to the terminating zero; a null text is the empty text.
  explicit CPortableWideString(const wchar_t* text, int length = -1);
  CPortableWideString(const CPortableWideString& other);
  virtual ~CPortableWideString();

  CPortableWideString& operator=(const CPortableWideString& other);
  // Copies n units (n -1: up to the terminator), sets the length to n, zero-fills the rest.
  CPortableWideString& Assign(const wchar_t* text, int n);

  // Nothing while Capacity() >= n + 2, else a new buffer of 2n + 2 units.
  void Reserve(int n);

  wchar_t* Text() { return data_; }
  const wchar_t* Text() const { return data_; }
  int Length() const { return length_; }
  int Capacity() const { return capacity_; }
  // True when growth failed for the text it holds (it may be cut short), as for CPortableString.
  bool Failed() const { return failed_; }

 private:
  wchar_t* data_;   // heap buffer, owned (a static fallback when memory ran out)
  int capacity_;    // units in data_
  int length_;      // units before the terminating zero
  bool failed_;     // growth failed: the text may be cut short
};

#endif  // ORINAPI_PORTABLE_CPORTABLEWIDESTRING_H
