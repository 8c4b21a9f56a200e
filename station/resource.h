// resource.h - identifiers of the station's resources.
#ifndef STATION_RESOURCE_H
#define STATION_RESOURCE_H

#define IDI_PICKWELL 1
#define IDB_BUSY_FRAME1 101
#define IDB_BUSY_FRAME2 102
#define IDB_ABOUT_BANNER 103

#endif  // STATION_RESOURCE_H
