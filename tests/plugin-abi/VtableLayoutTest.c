/* Drives OrinRobo.dll and a sample driver through raw vtable slots, the way a host built with
 * another compiler sees them: slot numbers are positions from 0, every call is thiscall (the x64
 * convention in the 64-bit flavour), and destructors are the one scalar-deleting slot taking flag 1. Fails if any slot moves. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#if defined(__x86_64__)
#define THISCALL /* x64: one calling convention, this in the first argument register */
#else
#define THISCALL __attribute__((thiscall))
#endif

typedef int(THISCALL* IntOp)(void* self);
typedef unsigned(THISCALL* UnsignedOp)(void* self);
typedef const char*(THISCALL* TextOp)(void* self);
typedef void*(THISCALL* DestroyOp)(void* self, unsigned flags);
typedef void(THISCALL* VoidOp)(void* self);
typedef void*(THISCALL* FindOp)(void* self, const char* name);
typedef void*(THISCALL* IndexOp)(void* self, unsigned index);
typedef void*(THISCALL* CreateOp)(void* self, void* entry, uint32_t arg);
typedef int(THISCALL* ConfigureOp)(void* self, void* entry, uint32_t arg);
typedef void*(THISCALL* CreateV2Op)(void* self, void* entry, uint32_t first, uint32_t second);
typedef int(THISCALL* ConfigureV2Op)(void* self, void* entry, uint32_t first, uint32_t second);
typedef unsigned char(THISCALL* CheckOp)(void* self, uint32_t arg);

typedef void*(__cdecl* CreateManagerFn)(const char* directory);
typedef void(__cdecl* ReleaseManagerFn)(void* manager);
typedef void*(__cdecl* DriverCreateV2Fn)(uint32_t first, uint32_t second);

static int failures = 0;

#define CHECK(condition)                                                 \
  do {                                                                   \
    if (!(condition)) {                                                  \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      ++failures;                                                        \
    }                                                                    \
  } while (0)

/* The function in slot n of object's vtable. */
static void* Slot(void* object, int n) { return (*(void***)object)[n]; }

static int EndsWith(const char* text, const char* tail) {
  size_t a = text ? strlen(text) : 0, b = strlen(tail);
  return text && a >= b && _stricmp(text + a - b, tail) == 0;
}

/* Driver slots: 0-7 operations, 8 destructor, 9 bin count, 10 last error, 11 abort. */
static void CheckDriverSlots(void* driver, int discs) {
  CHECK(((IntOp)Slot(driver, 0))(driver) == 1);          /* Initialize */
  CHECK(((IntOp)Slot(driver, 9))(driver) == discs);      /* GetBinCount */
  CHECK(((IntOp)Slot(driver, 2))(driver) == 1);          /* LoadDisc */
  CHECK(((IntOp)Slot(driver, 9))(driver) == discs - 1);
  CHECK(((IntOp)Slot(driver, 4))(driver) == 1);          /* QueryStatus: disc in drive */
  CHECK(((IntOp)Slot(driver, 3))(driver) == 1);          /* UnloadDisc */
  CHECK(((IntOp)Slot(driver, 3))(driver) == 0);          /* drive now empty */
  CHECK(((IntOp)Slot(driver, 10))(driver) == 3);         /* GetLastErrorCode: drive empty */
  CHECK(((IntOp)Slot(driver, 5))(driver) == 1);          /* Reset */
  CHECK(((IntOp)Slot(driver, 10))(driver) == 0);
  CHECK(((IntOp)Slot(driver, 11))(driver) == 1);         /* Abort */
  CHECK(((DestroyOp)Slot(driver, 8))(driver, 1) == driver);
}

int main(void) {
  char directory[MAX_PATH], path[MAX_PATH];
  DWORD length = GetModuleFileNameA(NULL, directory, MAX_PATH);
  char* slash = strrchr(directory, '\\');
  if (length == 0 || slash == NULL) return 2;
  slash[1] = '\0';

  snprintf(path, sizeof path, "%sOrinRobo.dll", directory);
  HMODULE plugin = LoadLibraryA(path);
  CHECK(plugin != NULL);
  if (plugin == NULL) return 1;
  CreateManagerFn create = (CreateManagerFn)(void*)GetProcAddress(plugin, "CreateOrinRoboManager");
  ReleaseManagerFn release = (ReleaseManagerFn)(void*)GetProcAddress(plugin, "ReleaseOrinRoboManager");
  CHECK(create != NULL && release != NULL);
  if (create == NULL || release == NULL) return 1;

  char drivers[MAX_PATH];
  snprintf(drivers, sizeof drivers, "%sdrivers", directory);
  void* manager = create(drivers);
  CHECK(manager != NULL);
  if (manager == NULL) return 1;

  /* Manager slots: 0 count, 1 find, 2 info, 3 create, 4 configure, 5 refresh, 6 destructor,
   * 7 create V2, 8 configure V2, 9 firmware check. */
  CHECK(((IntOp)Slot(manager, 0))(manager) == 4);
  void* five = ((FindOp)Slot(manager, 1))(manager, "Sample Robot Gen5");
  void* one = ((FindOp)Slot(manager, 1))(manager, "Sample Robot Gen1");
  void* none = ((IndexOp)Slot(manager, 2))(manager, 99);
  CHECK(five != NULL && one != NULL && none != NULL);
  CHECK(((IndexOp)Slot(manager, 2))(manager, 0) != none);

  /* Entry slots: 0 name, 1 version, 2 configure flag, 3 path, 4 destructor. */
  CHECK(strcmp(((TextOp)Slot(five, 0))(five), "Sample Robot Gen5") == 0);
  CHECK(((UnsignedOp)Slot(five, 1))(five) == 7);
  CHECK(((IntOp)Slot(five, 2))(five) == 0);
  CHECK(((IntOp)Slot(one, 2))(one) == 1);
  CHECK(EndsWith(((TextOp)Slot(five, 3))(five), "\\ORSAMPLE5.DLL"));
  CHECK(((TextOp)Slot(none, 0))(none) == NULL);
  CHECK(((TextOp)Slot(none, 3))(none) == NULL);

  void* driver = ((CreateOp)Slot(manager, 3))(manager, five, 6);
  CHECK(driver != NULL);
  if (driver) CheckDriverSlots(driver, 6);
  driver = ((CreateV2Op)Slot(manager, 7))(manager, five, 9, 0);
  CHECK(driver != NULL);
  if (driver) CheckDriverSlots(driver, 9);

  /* A version 1 driver behind its adapter: slot 9 answers 1 itself. */
  driver = ((CreateOp)Slot(manager, 3))(manager, one, 6);
  CHECK(driver != NULL);
  if (driver) {
    CHECK(((IntOp)Slot(driver, 2))(driver) == 1);
    CHECK(((IntOp)Slot(driver, 9))(driver) == 1);
    CHECK(((DestroyOp)Slot(driver, 8))(driver, 1) == driver);
  }

  CHECK(((ConfigureOp)Slot(manager, 4))(manager, one, 0) != 0);
  CHECK(((ConfigureV2Op)Slot(manager, 8))(manager, five, 2, 3) == 5);

  /* Firmware check slots: 0 version, 1 drive, 2 firmware, 3 destructor, 4 required. */
  void* check = ((CreateOp)Slot(manager, 9))(manager, five, 0);
  CHECK(check != NULL);
  if (check) {
    CHECK(((IntOp)Slot(check, 0))(check) == 0x0120);
    CHECK(((CheckOp)Slot(check, 1))(check, 3) == 1);
    CHECK(((CheckOp)Slot(check, 1))(check, 7) == 0);
    CHECK(((CheckOp)Slot(check, 2))(check, 0x0100) == 0);
    CHECK(((IntOp)Slot(check, 4))(check) == 0x0110);
    CHECK(((DestroyOp)Slot(check, 3))(check, 1) == check);
  }

  ((VoidOp)Slot(manager, 5))(manager);
  CHECK(((IntOp)Slot(manager, 0))(manager) == 4);
  release(manager);

  /* The manager's own destructor slot, with flag 1, frees it like ReleaseOrinRoboManager. */
  manager = create(drivers);
  CHECK(manager != NULL);
  if (manager) CHECK(((DestroyOp)Slot(manager, 6))(manager, 1) == manager);
  release(NULL);

  /* A sample driver used directly, without the manager. */
  snprintf(path, sizeof path, "%sdrivers\\ORSAMPLE5.DLL", directory);
  HMODULE library = LoadLibraryA(path);
  CHECK(library != NULL);
  if (library) {
    DriverCreateV2Fn createDriver =
        (DriverCreateV2Fn)(void*)GetProcAddress(library, "orinrobodriverV2_createdriver");
    CHECK(createDriver != NULL);
    if (createDriver) {
      driver = createDriver(4, 0);
      CHECK(driver != NULL);
      if (driver) CheckDriverSlots(driver, 4);
    }
    FreeLibrary(library);
  }
  FreeLibrary(plugin);

  if (failures) fprintf(stderr, "%d check(s) failed\n", failures);
  else printf("all vtable slots in place\n");
  return failures ? 1 : 0;
}
