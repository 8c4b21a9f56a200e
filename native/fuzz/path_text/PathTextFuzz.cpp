// Path text over any bytes in each code page. Input: code page, n, rooting, then the text; bytes
// behind its first zero are a second part to join. Every boundary and every cut lies between
// characters, never inside a double-byte one, and no function reads past a terminator.
#include <vector>

#include "../FuzzSupport.h"
#include "ORINAPI_PORTABLE/MultibyteText.h"
#include "ORINAPI_PORTABLE/PathText.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where characters start, and the end: a lead byte takes the next byte along unless the text ends.
std::vector<bool> CharStarts(const std::string& text) {
  std::vector<bool> starts(text.size() + 1, false);
  for (size_t i = 0; i < text.size(); i += orin::IsLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1)
    starts[i] = true;
  starts[text.size()] = true;
  return starts;
}

// piece is text's bytes from offset on, ending between two characters.
bool IsPieceAt(const std::string& text, const std::vector<bool>& starts, size_t offset,
               const std::string& piece) {
  return offset + piece.size() <= text.size() && text.compare(offset, piece.size(), piece) == 0 &&
         starts[offset + piece.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  fuzz::SelectCodePage(data[0]);
  const int n = static_cast<int8_t>(data[1]) % 16;
  const int rooting = data[2] & 1;
  const std::string rest(reinterpret_cast<const char*>(data) + 3, size - 3);
  const fuzz::ExactText text(rest);
  const fuzz::ExactText second(rest.substr(std::min(rest.size(), text.Size() + 1)));
  const char* t = text.Get();
  const std::string s = text.Str();
  const std::vector<bool> starts = CharStarts(s);

  int characters = 0;
  for (size_t i = 0; i < s.size(); ++i) characters += starts[i];
  FUZZ_CHECK(orin::CharCount(t) == characters);

  const int count = CountComponents(t);
  FUZZ_CHECK((count == 0) == s.empty() && SkipComponents(t, n <= 0 ? n : 0) == t);
  if (count > 0) FUZZ_CHECK(SkipComponents(t, count) == nullptr);
  FUZZ_CHECK(GetComponent(t, count).IsEmpty() && GetComponent(t, -1).IsEmpty() &&
             GetTail(t, count).IsEmpty());
  const char* previous = t;
  for (int k = 1; k < count; ++k) {
    const char* boundary = SkipComponents(t, k);
    FUZZ_CHECK(boundary != nullptr && boundary > previous && *boundary != '\0' && starts[boundary - t]);
    FUZZ_CHECK(fuzz::Str(GetTail(t, k)) == std::string(boundary));
    // A component is the text from its boundary, without separators; a ':' can only end it.
    const std::string component = fuzz::Str(GetComponent(t, k));
    const size_t offset = static_cast<size_t>(boundary - t);
    FUZZ_CHECK(IsPieceAt(s, starts, offset, component));
    for (size_t i = 0; i < component.size(); ++i) {
      if (!starts[offset + i]) continue;
      FUZZ_CHECK(!IsSeparator(component[i]) && (component[i] != ':' || i + 1 == component.size()));
    }
    previous = boundary;
  }

  // Stripping leaves a prefix cut between characters, followed by separators only.
  const std::string stripped = fuzz::Str(StripTrailingSeparators(t));
  FUZZ_CHECK(IsPieceAt(s, starts, 0, stripped) &&
             s.find_first_not_of("\\/", stripped.size()) == std::string::npos);
  if (!stripped.empty())
    FUZZ_CHECK(!orin::EndsWithChar(stripped.c_str(), '\\') && !orin::EndsWithChar(stripped.c_str(), '/'));

  // A parent is a prefix cut between characters, a bare drive rooted; nothing above the top.
  const std::string rooted = fuzz::Str(AddRootToDrive(t));
  FUZZ_CHECK(rooted == s || (rooted == s + "\\" && s.size() == 2 && s[1] == ':'));
  const std::string parent = fuzz::Str(GetParent(t, n));
  const bool parentIsRootedDrive = parent.size() == 3 && parent[1] == ':' && parent[2] == '\\';
  FUZZ_CHECK(IsPieceAt(s, starts, 0, parent) ||
             (parentIsRootedDrive && IsPieceAt(s, starts, 0, parent.substr(0, 2))));
  if (n >= count && n > 0) FUZZ_CHECK(parent.empty());

  // Joins keep within the parts' lengths plus the separators and a root they may add.
  const char* const parts[] = {t, second.Get(), nullptr, t};
  const CPortableString joined = JoinPath(rooting, 4, parts);
  FUZZ_CHECK(static_cast<size_t>(joined.Length()) <= 2 * s.size() + second.Size() + 8);

  // An executable name is decided by its last whole character '.': a lone lead byte swallows it.
  const bool loneLeadAtEnd = !s.empty() && starts[s.size() - 1] && orin::IsLeadByte(s.back());
  if (!loneLeadAtEnd) {
    FUZZ_CHECK(IsExecutableName((s + ".ExE").c_str()) == 1 && IsExecutableName((s + ".exe.").c_str()) == 0);
  }
  return 0;
}
