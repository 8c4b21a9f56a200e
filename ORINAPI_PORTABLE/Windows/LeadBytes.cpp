// The lead-byte test of the C run-time's multibyte code page, which follows _setmbcp.
#include <mbctype.h>

#include "ORINAPI_PORTABLE/MultibyteText.h"

namespace orin {

int IsLeadByte(unsigned char byte) {
  return byte >= 0x80 && _ismbblead(byte) ? 1 : 0;
}

}  // namespace orin
