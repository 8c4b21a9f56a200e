#include "RobotLibrary.h"

namespace station {

const RobotLibrary& ImportedRobotLibrary() {
  static const RobotLibrary library = {
      VT_Robots_Init,       VT_Robots_Connect,  VT_Robots_GetRobotInfo, VT_Robots_Active,
      VT_Robots_GetMessage, VT_Robots_EnumDrives, VT_Robots_LoadDrive,  VT_Robots_UnloadDrive,
      VT_Robots_Park,       VT_Robots_Close};
  return library;
}

}  // namespace station
