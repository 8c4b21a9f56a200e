// The native stand-ins for the lead-byte test and the code-page conversions.
// A double-byte character (lead, trail) is the unit 0x8000 | (lead & 0x7F) << 8 | trail; any other
// byte, a lead byte without its trail among them, is the unit of the same value. A unit that
// neither form gives becomes the default character '?'.
#include "ORINAPI_PORTABLE/Native/NativeCodePages.h"

#include "ORINAPI_PORTABLE/CodePageConversion.h"
#include "ORINAPI_PORTABLE/MultibyteText.h"

namespace orin {
namespace {

uint32_t g_selected = 1252;

// Lead-byte ranges as the system reports them; 1252 has none.
bool LeadsIn(uint32_t codePage, unsigned char byte) {
  switch (codePage) {
    case 932:
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
      return byte >= 0x81 && byte <= 0xFE;
    default:
      return false;
  }
}

// The code page a call means (0: the current one), or 0 for one this build does not know.
uint32_t Resolve(uint32_t codePage) {
  if (codePage == 0) return g_selected;
  for (uint32_t known : native::kCodePages) {
    if (known == codePage) return codePage;
  }
  return 0;
}

// The unit of the character at text[i] (of bytes bytes) and its length.
int DecodeChar(uint32_t page, const char* text, int i, int bytes, uint32_t* unit) {
  const unsigned char byte = static_cast<unsigned char>(text[i]);
  const unsigned char trail = i + 1 < bytes ? static_cast<unsigned char>(text[i + 1]) : 0;
  if (LeadsIn(page, byte) && trail != 0) {
    *unit = 0x8000u | (byte & 0x7Fu) << 8 | trail;
    return 2;
  }
  *unit = byte;
  return 1;
}

// The lead byte a unit encodes in page, or 0 when it is no double-byte character there.
unsigned char PairLead(uint32_t page, uint32_t unit) {
  if (unit < 0x8000u || unit > 0xFFFFu || (unit & 0xFFu) == 0) return 0;
  const unsigned char lead = static_cast<unsigned char>(0x80u | (unit >> 8 & 0x7Fu));
  return LeadsIn(page, lead) ? lead : 0;
}

}  // namespace

namespace native {

bool SelectCodePage(uint32_t codePage) {
  if (codePage == 0 || Resolve(codePage) == 0) return false;
  g_selected = codePage;
  return true;
}

uint32_t SelectedCodePage() { return g_selected; }

}  // namespace native

int IsLeadByte(unsigned char byte) { return LeadsIn(g_selected, byte) ? 1 : 0; }

// Like the system: counts with room 0, refuses (0) when the room is too small.
int ConvertToWide(uint32_t codePage, const char* text, int bytes, wchar_t* units, int room) {
  const uint32_t page = Resolve(codePage);
  if (page == 0 || text == nullptr || bytes <= 0 || room < 0) return 0;
  uint32_t unit = 0;
  int needed = 0;
  for (int i = 0; i < bytes; ++needed) i += DecodeChar(page, text, i, bytes, &unit);
  if (room == 0) return needed;
  if (units == nullptr || needed > room) return 0;
  int written = 0;
  for (int i = 0; i < bytes; ++written) {
    i += DecodeChar(page, text, i, bytes, &unit);
    units[written] = static_cast<wchar_t>(unit);
  }
  return written;
}

int ConvertFromWide(uint32_t codePage, const wchar_t* wide, int count, char* text, int room) {
  const uint32_t page = Resolve(codePage);
  if (page == 0 || wide == nullptr || count <= 0 || room < 0) return 0;
  int needed = 0;
  for (int i = 0; i < count; ++i) needed += PairLead(page, static_cast<uint32_t>(wide[i])) != 0 ? 2 : 1;
  if (room == 0) return needed;
  if (text == nullptr || needed > room) return 0;
  int written = 0;
  for (int i = 0; i < count; ++i) {
    const uint32_t unit = static_cast<uint32_t>(wide[i]);
    if (const unsigned char lead = PairLead(page, unit)) {
      text[written++] = static_cast<char>(lead);
      text[written++] = static_cast<char>(unit & 0xFFu);
    } else {
      text[written++] = unit <= 0xFFu ? static_cast<char>(unit) : '?';
    }
  }
  return written;
}

}  // namespace orin
