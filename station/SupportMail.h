// SupportMail.h - the maker's addresses and the support mail link the "Support" button opens.
#ifndef STATION_SUPPORTMAIL_H
#define STATION_SUPPORTMAIL_H

#include <stddef.h>

#include "StationWindows.h"

namespace station {

constexpr const char* kSupportAddress = "support@vantrel-systems.com";
constexpr const char* kMakerWebSite = "http://www.vantrel-systems.com/";
constexpr size_t kSupportMailBufferSize = 512;

// "mailto:<address>?Subject=Kelvora(YYYYMMDD-hhmm)&body=" for the given local time. A link cut
// short would be wrong, so when it does not fit (or the buffer is null or empty) the result is
// false and the buffer holds an empty text.
bool FormatSupportMail(char* buffer, size_t size, const SYSTEMTIME& now);

}  // namespace station

#endif  // STATION_SUPPORTMAIL_H
