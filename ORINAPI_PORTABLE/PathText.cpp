// Path grammar over multibyte text: a ':' or a separator ends a component, and a separator right
// after a ':' belongs to the same boundary ("C:\dir" is C:, dir).
#include "ORINAPI_PORTABLE/PathText.h"

#include <climits>
#include <cstring>

#include "ORINAPI_PORTABLE/LayerMemory.h"
#include "ORINAPI_PORTABLE/MultibyteText.h"

namespace {

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDrive(const char* text) {
  return IsAsciiLetter(text[0]) && text[1] == ':';
}

bool EqualsIgnoringAsciiCase(const char* text, const char* lowerCase) {
  for (; *text != '\0' && *lowerCase != '\0'; ++text, ++lowerCase) {
    const char c = (*text >= 'A' && *text <= 'Z') ? static_cast<char>(*text - 'A' + 'a') : *text;
    if (c != *lowerCase) return false;
  }
  return *text == *lowerCase;
}

struct WalkEnd {
  const char* position;  // behind the last boundary counted, or null when the text ended first
  int boundaries;        // boundaries counted while the text had not ended
};

// Walks over at most `limit` component boundaries.
WalkEnd WalkComponents(const char* text, int limit) {
  if (limit <= 0) return {text, 0};
  if (text == nullptr || *text == '\0') return {nullptr, 0};
  const char* p = text;
  int count = 0;
  while (count < limit) {
    int next = count;
    if (*p == ':') {
      ++p;
      if (IsSeparatorChar(p)) ++p;
      ++next;
    } else {
      const bool separator = IsSeparatorChar(p) != 0;
      p = orin::NextChar(p);
      if (separator) ++next;
    }
    if (*p == '\0') return {nullptr, count};
    count = next;
  }
  return {p, count};
}

// Byte length of text without one trailing separator.
// Marks result failed when an allocation failed since failuresBefore: the pieces a result is
// built from pass through plain text, so a piece cut short would not say so by itself.
CPortableString FailedIfShort(CPortableString result, unsigned failuresBefore) {
  if (orin::FailedAllocations() != failuresBefore) result.MarkFailed();
  return result;
}

int LengthWithoutTrailingSeparator(const char* text, int length) {
  const char* last = orin::LastCharStart(text, length);
  if (last != nullptr && IsSeparatorChar(last)) return static_cast<int>(last - text);
  return length;
}

}  // namespace

int IsSeparatorChar(const char* text) {
  return text != nullptr && (*text == '\\' || *text == '/') ? 1 : 0;
}

int IsColonChar(const char* text) {
  return text != nullptr && *text == ':' ? 1 : 0;
}

int IsLetterChar(const char* text) {
  if (text == nullptr) return 0;
  return *text == '\0' || IsAsciiLetter(*text) ? 1 : 0;
}

CPortableString AddRootToDrive(const char* text) {
  if (text == nullptr) return CPortableString();
  CPortableString result(text);
  if (IsDrive(text) && text[2] == '\0') result.Append("\\");
  return result;
}

CPortableString StripTrailingSeparators(const char* text) {
  if (text == nullptr) return CPortableString();
  // One forward pass: a backward step cannot tell a trail byte 0x5C from a separator.
  const char* end = text;
  for (const char* p = text; *p != '\0';) {
    const bool separator = IsSeparatorChar(p) != 0;
    p = orin::NextChar(p);
    if (!separator) end = p;
  }
  return CPortableString(text, static_cast<int>(end - text));
}

const char* SkipComponents(const char* text, int n) {
  return WalkComponents(text, n).position;
}

int CountComponents(const char* text) {
  if (text == nullptr || *text == '\0') return 0;
  return WalkComponents(text, INT_MAX).boundaries + 1;
}

CPortableString GetComponent(const char* text, int n) {
  if (n < 0) return CPortableString();
  const unsigned failuresBefore = orin::FailedAllocations();
  const char* start = SkipComponents(text, n);
  if (start == nullptr || *start == '\0') return CPortableString();
  const char* next = SkipComponents(text, n + 1);
  CPortableString component;
  if (next == nullptr) {
    component = StripTrailingSeparators(start);
  } else {
    // next lies right behind a boundary: the byte before it is ':' or a single-byte separator.
    int length = static_cast<int>(next - start);
    if (IsSeparatorChar(next - 1)) --length;
    component = CPortableString(start, length);
  }
  if (n == 0) return FailedIfShort(AddRootToDrive(component.Text()), failuresBefore);
  return FailedIfShort(component, failuresBefore);
}

CPortableString GetTail(const char* text, int n) {
  return CPortableString(SkipComponents(text, n));
}

CPortableString GetParent(const char* text, int n) {
  if (text == nullptr) return CPortableString();
  const unsigned failuresBefore = orin::FailedAllocations();
  CPortableString copy(text);
  if (n > 0) {
    const int keep = CountComponents(text) - n;
    const char* cut = keep > 0 ? SkipComponents(text, keep) : text;
    if (cut != nullptr) copy = CPortableString(text, static_cast<int>(cut - text));
  }
  return FailedIfShort(AddRootToDrive(StripTrailingSeparators(copy.Text()).Text()), failuresBefore);
}

CPortableString JoinPath(int rooting, int count, const char* const* parts) {
  const unsigned failuresBefore = orin::FailedAllocations();
  CPortableString result;
  if (count <= 0 || parts == nullptr) return FailedIfShort(result, failuresBefore);
  for (int i = 0; i < count; ++i) {
    const char* work = parts[i] != nullptr ? parts[i] : "";
    if (i == 0 && orin::CharCount(work) >= 2) {
      if (!IsDrive(work)) {
        if (IsSeparatorChar(work) || rooting) result = "\\";
      } else if (work[2] == '\0') {  // "C:"
        result = CPortableString(work, 2);
        if (rooting) result.Append("\\");
        work = "";
      } else if (!IsSeparatorChar(work + 2) && rooting) {  // "C:dir" made "C:\dir"
        result = CPortableString(work, 2);
        result.Append("\\");
        work += 2;
      }
    }
    if (*work == '\0') continue;
    if (IsSeparatorChar(work)) ++work;
    const int length = LengthWithoutTrailingSeparator(work, static_cast<int>(std::strlen(work)));
    result.Append(CPortableString(work, length).Text());
    result.Append("\\");
  }
  result = result.Left(LengthWithoutTrailingSeparator(result.Text(), result.Length()));
  if (rooting) return FailedIfShort(AddRootToDrive(result.Text()), failuresBefore);
  return FailedIfShort(result, failuresBefore);
}

CPortableString JoinPath(int rooting, std::initializer_list<const char*> parts) {
  return JoinPath(rooting, static_cast<int>(parts.size()), parts.begin());
}

int IsExecutableName(const char* text) {
  const char* dot = orin::FindLastChar(text, '.');
  if (dot == nullptr) return 0;
  static const char* const kExtensions[] = {".exe", ".cmd", ".bat", ".com"};
  for (const char* extension : kExtensions) {
    if (EqualsIgnoringAsciiCase(dot, extension)) return 1;
  }
  return 0;
}

CPortableString GetDefaultRoot() {
  return CPortableString("C:\\");
}
