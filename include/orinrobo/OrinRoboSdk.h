// OrinRoboSdk.h - the binary contract between a host application, OrinRobo.dll and the robot
// driver libraries ("OR*.DLL") it loads. Hosts and driver writers compile against this header
// alone, with MSVC or MinGW-w64 g++, for 32-bit Windows (the release flavour) or for 64-bit
// Windows (x64, for 64-bit hosts; a 64-bit host loads the 64-bit OrinRobo.dll and 64-bit drivers).
//
// Layout rules (the same under both compilers):
//   - every interface is a plain class whose only data is the vtable pointer at offset 0;
//   - one vtable slot per operation, in declaration order; __thiscall on 32-bit Windows, the one
//     x64 calling convention on 64-bit Windows (this in the first argument register);
//   - the destructor takes ONE slot, at the position where it is declared, holding MSVC's
//     "scalar deleting destructor":  void* (unsigned flags); flags bit 0 = free memory.
//   - operation arguments and results that are 32-bit (OrinArg, versions, counts) stay 32-bit in
//     both flavours; pointers are pointer-sized.
//
// Destroying an object that crossed the boundary: call OrinDestroy(object). It runs the object's
// own destructor slot with flag 1, so the module that allocated the object also frees it. Never
// call delete or free() on such an object from another module.
//
// Implementing an interface with g++: g++ would give a C++ destructor two slots (in both
// flavours), so under g++ the slot is an ordinary virtual function, DeletingDestructor(unsigned).
// Put ORIN_DELETING_DESTRUCTOR(YourClass) in the class body; it expands to nothing under MSVC,
// where the interface declares a real virtual destructor instead.
//
// Where a driver's objects come from: the destructor slot frees the object with the global
// ::operator delete of the driver's own module (the class's operator delete, if it declares one,
// under MSVC). So make every object with plain `new` in that module, or replace the module's
// global operator new and delete with a pair of your own (the driver template does: HeapAlloc
// and HeapFree on the process heap). An object from HeapAlloc, malloc or a pool of yours, built
// with placement new while operator delete is the run-time's, is freed into a heap it did not
// come from and corrupts the host's heap wherever the two heaps differ. orinhost check sees that
// only where they differ on the machine it runs on.
#ifndef ORINROBO_SDK_H
#define ORINROBO_SDK_H

#include <stdint.h>

// __thiscall and __cdecl exist on 32-bit x86 only; x64 has a single calling convention, and both
// compilers ignore or refuse the keywords there.
#if defined(_M_X64) || defined(__x86_64__)
#define ORIN_METHOD
#define ORIN_CDECL
#elif defined(_MSC_VER)
#define ORIN_METHOD __thiscall
#define ORIN_CDECL __cdecl
#else
#define ORIN_METHOD __attribute__((thiscall))
#define ORIN_CDECL __cdecl
#endif

// 32-bit argument that the manager passes from the host to a driver unchanged.
typedef uint32_t OrinArg;

#if defined(_MSC_VER)
#define ORIN_DESTRUCTOR_SLOT(Interface) \
 public:                                \
  virtual ~Interface() {}
#define ORIN_DELETING_DESTRUCTOR(Class)
#define ORIN_PROTECTED_DESTRUCTOR(Interface)
#else
#define ORIN_DESTRUCTOR_SLOT(Interface)                              \
 public:                                                             \
  virtual void* ORIN_METHOD DeletingDestructor(unsigned flags) = 0;  \
                                                                     \
 protected:                                                          \
  ~Interface() = default;                                            \
                                                                     \
 public:
#define ORIN_DELETING_DESTRUCTOR(Class)                                   \
  void* ORIN_METHOD DeletingDestructor(unsigned flags) override {         \
    this->~Class();                                                        \
    if (flags & 1u) ::operator delete(static_cast<void*>(this));          \
    return this;                                                           \
  }
#define ORIN_PROTECTED_DESTRUCTOR(Interface) \
 protected:                                  \
  ~Interface() = default;
#endif

// ---------------------------------------------------------------------------------------------
// Driver objects. Every operation takes no argument and returns a 32-bit int; what the numbers
// mean is a matter between a host and its drivers. The manager only forwards calls.

// Interface version 1: eight operations, then the destructor.
class IRoboDriverV1 {
 public:
  virtual int ORIN_METHOD Initialize() = 0;      // 1
  virtual int ORIN_METHOD Shutdown() = 0;        // 2
  virtual int ORIN_METHOD LoadDisc() = 0;        // 3
  virtual int ORIN_METHOD UnloadDisc() = 0;      // 4
  virtual int ORIN_METHOD QueryStatus() = 0;     // 5
  virtual int ORIN_METHOD Reset() = 0;           // 6
  virtual int ORIN_METHOD Park() = 0;            // 7
  virtual int ORIN_METHOD SelfTest() = 0;        // 8
  ORIN_DESTRUCTOR_SLOT(IRoboDriverV1)            // 9
};

// Interface versions 2 and 3 append operation 10.
class IRoboDriverV3 : public IRoboDriverV1 {
 public:
  virtual int ORIN_METHOD GetBinCount() = 0;     // 10
  ORIN_PROTECTED_DESTRUCTOR(IRoboDriverV3)
};

// Interface versions 4 and 5 append operations 11 and 12. This is what a host receives.
class IRoboDriver : public IRoboDriverV3 {
 public:
  virtual int ORIN_METHOD GetLastErrorCode() = 0;  // 11
  virtual int ORIN_METHOD Abort() = 0;             // 12
  ORIN_PROTECTED_DESTRUCTOR(IRoboDriver)
};

// ---------------------------------------------------------------------------------------------
// Firmware-check objects (interface version 4 and up).

// Interface version 4: three operations, then the destructor.
class IRoboFirmwareCheckV4 {
 public:
  virtual int ORIN_METHOD GetFirmwareVersion() = 0;               // 1
  virtual bool ORIN_METHOD IsDriveSupported(OrinArg drive) = 0;   // 2
  virtual bool ORIN_METHOD IsFirmwareSupported(OrinArg fw) = 0;   // 3
  ORIN_DESTRUCTOR_SLOT(IRoboFirmwareCheckV4)                      // 4
};

// Interface version 5 appends operation 5. This is what a host receives.
class IRoboFirmwareCheck : public IRoboFirmwareCheckV4 {
 public:
  virtual int ORIN_METHOD GetRequiredFirmware() = 0;  // 5
  ORIN_PROTECTED_DESTRUCTOR(IRoboFirmwareCheck)
};

// ---------------------------------------------------------------------------------------------
// The manager, as the host sees it.

// One catalogue entry. Owned by the manager: valid until its next Refresh or its release.
class IRoboDriverInfo {
 public:
  virtual const char* ORIN_METHOD GetDriverName() = 0;   // 1, may be null
  virtual uint32_t ORIN_METHOD GetDriverVersion() = 0;   // 2
  virtual int ORIN_METHOD HasConfigure() = 0;            // 3, 1 when orinrobodriver_configuredriver exists
  virtual const char* ORIN_METHOD GetDriverPath() = 0;   // 4, full path, may be null
  ORIN_DESTRUCTOR_SLOT(IRoboDriverInfo)                  // 5
};

// First generation. Entries passed in must not be null.
class IRoboManager {
 public:
  virtual int ORIN_METHOD GetDriverCount() = 0;                                        // 1
  virtual IRoboDriverInfo* ORIN_METHOD FindDriver(const char* name) = 0;              // 2, never null
  virtual IRoboDriverInfo* ORIN_METHOD GetDriverInfo(unsigned index) = 0;             // 3, never null
  virtual IRoboDriver* ORIN_METHOD CreateDriver(IRoboDriverInfo* entry, OrinArg arg) = 0;  // 4
  virtual int ORIN_METHOD ConfigureDriver(IRoboDriverInfo* entry, OrinArg arg) = 0;   // 5
  virtual void ORIN_METHOD Refresh() = 0;                                             // 6
  ORIN_DESTRUCTOR_SLOT(IRoboManager)                                                  // 7
};

// Second generation appends three operations after the destructor.
class IRoboManager2 : public IRoboManager {
 public:
  virtual IRoboDriver* ORIN_METHOD CreateDriverV2(IRoboDriverInfo* entry, OrinArg first,
                                                  OrinArg second) = 0;                 // 8
  virtual int ORIN_METHOD ConfigureDriverV2(IRoboDriverInfo* entry, OrinArg first,
                                            OrinArg second) = 0;                       // 9
  virtual IRoboFirmwareCheck* ORIN_METHOD CreateFirmwareCheck(IRoboDriverInfo* entry,
                                                              OrinArg arg) = 0;        // 10
  ORIN_PROTECTED_DESTRUCTOR(IRoboManager2)
};

// Destroys an object handed across the boundary through its own destructor slot.
template <class T>
inline void OrinDestroy(T* object) {
  if (object == nullptr) return;
#if defined(_MSC_VER)
  delete object;
#else
  object->DeletingDestructor(1u);
#endif
}

// ---------------------------------------------------------------------------------------------
// Exports of OrinRobo.dll (extern "C", __cdecl, undecorated). Hosts usually resolve them with
// GetProcAddress; the pointer types below match.
#define ORIN_PLUGIN_TYPE_NAME "OrinCDRoboManager"
#define ORIN_PLUGIN_VERSION 4
#define ORIN_DEFAULT_HOST_INTERFACE_VERSION 4u
#define ORIN_HIGHEST_DRIVER_INTERFACE_VERSION 5u

typedef int(ORIN_CDECL* ORIN_PFN_PluginGetVersion)(void);
typedef unsigned(ORIN_CDECL* ORIN_PFN_GetInterfaceVersion)(void);
typedef void(ORIN_CDECL* ORIN_PFN_SetInterfaceVersion)(unsigned version);
typedef const char*(ORIN_CDECL* ORIN_PFN_GetPluginType)(void);
typedef const char*(ORIN_CDECL* ORIN_PFN_GetPluginName)(void);
// The host may pass anything; __cdecl lets the caller clean up whatever it pushed.
typedef void(ORIN_CDECL* ORIN_PFN_SetVendorInformations)(const void* info);
typedef IRoboManager2*(ORIN_CDECL* ORIN_PFN_CreateOrinRoboManager)(const char* driverDirectory);
typedef void(ORIN_CDECL* ORIN_PFN_ReleaseOrinRoboManager)(IRoboManager* manager);

// ---------------------------------------------------------------------------------------------
// Entry points a driver library exports (extern "C", __cdecl, undecorated: a C++ name or a
// __stdcall one is not found). Without one of the first three the library is not catalogued; a
// missing entry point its interface version requires makes the manager answer null (or 0):
//   ORIN_PLUGIN_GetPluginName        always: plug-in name (may be null: never matched by name)
//   ORIN_PLUGIN_GetVersion           always: driver version, one unsigned number; the highest per
//                                    name is catalogued, of equal ones the first file found
//   ORIN_PLUGIN_GetInterfaceVersion  always: 0..5, the layout of the objects below (above 5: not
//                                    catalogued; 0: catalogued, but no object is handed out)
//   ORIN_PLUGIN_SetInterfaceVersion  optional: told the manager's version (2..5) first after every
//                                    load, except the load for ConfigureDriver
//   orinrobodriver_configuredriver   optional: first-generation configuration
//   orinrobodriver_createdriver      versions 1..5: object of the library's layout (CreateDriver;
//                                    CreateDriverV2 below version 4)
//   orinrobodriverV2_createdriver    versions 4 and 5: IRoboDriver layout (CreateDriverV2)
//   orinrobodriverV2_configuredriver versions 4 and 5; its int result goes back to the host
//   orinrobodriver_firmwarecheck     versions 4 and 5: IRoboFirmwareCheckV4 (4) or
//                                    IRoboFirmwareCheck (5) (CreateFirmwareCheck)
typedef const char*(ORIN_CDECL* ORIN_PFN_DriverGetPluginName)(void);
typedef uint32_t(ORIN_CDECL* ORIN_PFN_DriverGetVersion)(void);
typedef uint32_t(ORIN_CDECL* ORIN_PFN_DriverGetInterfaceVersion)(void);
typedef void(ORIN_CDECL* ORIN_PFN_DriverSetInterfaceVersion)(uint32_t version);
typedef int(ORIN_CDECL* ORIN_PFN_ConfigureDriver)(OrinArg arg);
typedef IRoboDriverV1*(ORIN_CDECL* ORIN_PFN_CreateDriver)(OrinArg arg);
typedef IRoboDriver*(ORIN_CDECL* ORIN_PFN_CreateDriverV2)(OrinArg first, OrinArg second);
typedef int(ORIN_CDECL* ORIN_PFN_ConfigureDriverV2)(OrinArg first, OrinArg second);
typedef IRoboFirmwareCheckV4*(ORIN_CDECL* ORIN_PFN_FirmwareCheck)(OrinArg arg);

#endif  // ORINROBO_SDK_H
