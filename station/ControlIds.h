// ControlIds.h - the child-window ids of the main window, so that tools and tests can reach
// Label1 and the buttons with GetDlgItem.
#ifndef STATION_CONTROLIDS_H
#define STATION_CONTROLIDS_H

namespace station {

enum MainControlId {
  kIdLabel1 = 100,
  kIdSupport = 101,
  kIdAbout = 102,
  kIdBusyImage = 103,
};

}  // namespace station

#endif  // STATION_CONTROLIDS_H
