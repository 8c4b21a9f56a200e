// VTRobots.h - the calls of the robot-control library "VTROBOTS20.DLL" that the robot station
// makes. Every function is __stdcall and exported under its plain, undecorated name; programs
// link through the import library built from VTROBOTS20.def. The library is a 32-bit library;
// a 64-bit build (x64 has one calling convention, so __stdcall vanishes) serves tests only.
//
// Buffers belong to the caller. A library writes no more than the sizes stated here: text
// buffers of VT_ROBOTS_TEXT_SIZE bytes (always zero-terminated), tables of VT_ROBOTS_MAX_ROBOTS
// entries, and drive entries of VT_ROBOTS_DRIVE_ENTRY_SIZE bytes.
#ifndef VTROBOTS_VTROBOTS_H
#define VTROBOTS_VTROBOTS_H

#include <stdint.h>

#if (defined(_MSC_VER) || defined(__MINGW32__)) && !defined(_M_X64) && !defined(__x86_64__)
#define VT_ROBOTS_CALL __stdcall
#else
#define VT_ROBOTS_CALL
#endif

#ifdef VT_ROBOTS_BUILDING_LIBRARY
#define VT_ROBOTS_API  // a library names its exports in VTROBOTS20.def
#else
#define VT_ROBOTS_API __declspec(dllimport)
#endif

#define VT_ROBOTS_MAX_ROBOTS 26
#define VT_ROBOTS_TEXT_SIZE 256
#define VT_ROBOTS_DRIVE_ENTRY_SIZE 261

// Results the station tests for; every other value is a failure.
#define VT_ROBOTS_OK 0
#define VT_ROBOTS_OK_ALT 400

// Unload modes passed to VT_Robots_UnloadDrive.
#define VT_ROBOTS_UNLOAD_MODE_2 2
#define VT_ROBOTS_UNLOAD_MODE_4 4

typedef int32_t VtRobotHandle;  // opaque
typedef int32_t VtResult;

#ifdef __cplusplus
extern "C" {
#endif

// Opens the library; reserved is always 0. 0 = ready.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_Init(int32_t reserved);

// Finds the robots: *count (set to 0 by the caller) becomes 0..26 and handles[0..count-1] are
// filled. The two other tables are the library's own.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_Connect(int32_t* count,
                                                        VtRobotHandle handles[VT_ROBOTS_MAX_ROBOTS],
                                                        int32_t table2[VT_ROBOTS_MAX_ROBOTS],
                                                        uint8_t table3[VT_ROBOTS_MAX_ROBOTS]);

// Name of one robot into name, a second text into info; size is the size of each buffer.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_GetRobotInfo(VtRobotHandle robot, char* name,
                                                             char* info, int32_t size);

// Checks that a robot is ready (0 or 400); both texts get size bytes at most.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_Active(VtRobotHandle robot, char* text1,
                                                       char* text2, int32_t size);

// The robot's last message into a buffer of VT_ROBOTS_TEXT_SIZE bytes.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_GetMessage(VtRobotHandle robot, char* message);

// The robot's drives: an integer at driveInfo (the caller reserves 8 bytes there) and up to
// 26 entries of VT_ROBOTS_DRIVE_ENTRY_SIZE bytes; the first byte of an entry is its drive letter.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_EnumDrives(
    VtRobotHandle robot, int32_t* driveInfo,
    char drives[VT_ROBOTS_MAX_ROBOTS][VT_ROBOTS_DRIVE_ENTRY_SIZE]);

// Moves a disc into the drive; the station passes (letter, 0, 1, 0). 0 or 400 = success.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_LoadDrive(char drive, int32_t arg2, int32_t arg3,
                                                          int32_t arg4);

// Takes the disc out of the drive; the station passes (letter, 0, 2 or 4, 0). 0 or 400 = success.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_UnloadDrive(char drive, int32_t arg2, int32_t mode,
                                                            int32_t arg4);

// Moves the robot to its rest position.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_Park(VtRobotHandle robot);

// Closes the library.
VT_ROBOTS_API VtResult VT_ROBOTS_CALL VT_Robots_Close(void);

#ifdef __cplusplus
}
#endif

#endif  // VTROBOTS_VTROBOTS_H
