// COrinRoboManager: the robot manager a host receives from CreateOrinRoboManager.
#ifndef ORINROBO_CORINROBOMANAGER_H
#define ORINROBO_CORINROBOMANAGER_H

#include <orinrobo/OrinRoboSdk.h>

#include "OrinRobo/CRoboDriverInfo.h"
#include "OrinRobo/DriverCatalogue.h"
#include "OrinRobo/ModuleList.h"

class COrinRoboManager final : public IRoboManager2 {
 public:
  // Null for allocation failure; the catalogue is complete when it returns.
  static COrinRoboManager* Create(const char* driverDirectory);

  ~COrinRoboManager();
  ORIN_DELETING_DESTRUCTOR(COrinRoboManager)

  int ORIN_METHOD GetDriverCount() override;
  IRoboDriverInfo* ORIN_METHOD FindDriver(const char* name) override;
  IRoboDriverInfo* ORIN_METHOD GetDriverInfo(unsigned index) override;
  IRoboDriver* ORIN_METHOD CreateDriver(IRoboDriverInfo* entry, OrinArg arg) override;
  int ORIN_METHOD ConfigureDriver(IRoboDriverInfo* entry, OrinArg arg) override;
  void ORIN_METHOD Refresh() override;
  IRoboDriver* ORIN_METHOD CreateDriverV2(IRoboDriverInfo* entry, OrinArg first,
                                          OrinArg second) override;
  int ORIN_METHOD ConfigureDriverV2(IRoboDriverInfo* entry, OrinArg first,
                                    OrinArg second) override;
  IRoboFirmwareCheck* ORIN_METHOD CreateFirmwareCheck(IRoboDriverInfo* entry,
                                                      OrinArg arg) override;

  const char* DriverDirectory() const { return directory_; }
  const ModuleList& Modules() const { return modules_; }

 private:
  COrinRoboManager() = default;
  COrinRoboManager(const COrinRoboManager&) = delete;
  COrinRoboManager& operator=(const COrinRoboManager&) = delete;

  // Loads one library found by Refresh and records it when it is usable and the newest of its
  // name so far; the library is released again.
  void CatalogueLibrary(const char* path);

  char* directory_ = nullptr;   // heap copy of the driver directory text, owned
  DriverCatalogue catalogue_;   // entries by value, in catalogue order
  ModuleList modules_;          // libraries kept for objects handed out
  CRoboDriverInfo emptyInfo_;   // answer to every miss
};

#endif  // ORINROBO_CORINROBOMANAGER_H
