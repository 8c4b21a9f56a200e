// RobotLibrary.h - the robot-control library as a table of its calls. The program binds the
// table to the functions it imports from VTROBOTS20.DLL; tests bind it to fakes.
#ifndef STATION_ROBOTLIBRARY_H
#define STATION_ROBOTLIBRARY_H

#include "vtrobots/VTRobots.h"

namespace station {

struct RobotLibrary {
  VtResult(VT_ROBOTS_CALL* Init)(int32_t reserved);
  VtResult(VT_ROBOTS_CALL* Connect)(int32_t* count, VtRobotHandle* handles, int32_t* table2,
                                    uint8_t* table3);
  VtResult(VT_ROBOTS_CALL* GetRobotInfo)(VtRobotHandle robot, char* name, char* info, int32_t size);
  VtResult(VT_ROBOTS_CALL* Active)(VtRobotHandle robot, char* text1, char* text2, int32_t size);
  // VT_Robots_GetMessage; windows.h takes the plain name for a macro.
  VtResult(VT_ROBOTS_CALL* GetRobotMessage)(VtRobotHandle robot, char* message);
  VtResult(VT_ROBOTS_CALL* EnumDrives)(VtRobotHandle robot, int32_t* driveInfo,
                                       char (*drives)[VT_ROBOTS_DRIVE_ENTRY_SIZE]);
  VtResult(VT_ROBOTS_CALL* LoadDrive)(char drive, int32_t arg2, int32_t arg3, int32_t arg4);
  VtResult(VT_ROBOTS_CALL* UnloadDrive)(char drive, int32_t arg2, int32_t mode, int32_t arg4);
  VtResult(VT_ROBOTS_CALL* Park)(VtRobotHandle robot);
  VtResult(VT_ROBOTS_CALL* Close)();
};

// The functions imported from VTROBOTS20.DLL (defined only in the program).
const RobotLibrary& ImportedRobotLibrary();

inline bool IsRobotSuccess(VtResult result) {
  return result == VT_ROBOTS_OK || result == VT_ROBOTS_OK_ALT;
}

}  // namespace station

#endif  // STATION_ROBOTLIBRARY_H
