#include "CommandTable.h"

#include "RobotWorker.h"
#include "StationProtocol.h"

namespace station {

CommandAction ActionForCode(uint64_t code) {
  switch (code) {
    case kCodeLoad:
      return {true, false, true, kStateLoad};
    case kCodeUnload:
      return {true, false, true, kStateUnload};
    case kCodeUnloadAlt:
      return {true, false, true, kStateUnloadAlt};
    case kCodeWatchdog:
      return {true, true, false, 0};
    case kCodeReserved:
      return {true, false, true, kStateReserved};
    default:
      return {false, false, false, 0};
  }
}

}  // namespace station
