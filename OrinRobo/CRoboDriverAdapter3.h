// CRoboDriverAdapter3: shows a driver object of interface version 2 or 3 (operation 10 after the
// destructor) to the host with the full layout. Owns the wrapped object, which it reaches through
// two views of the same object: the version 1 operations and the version 3 extension.
#ifndef ORINROBO_CROBODRIVERADAPTER3_H
#define ORINROBO_CROBODRIVERADAPTER3_H

#include "OrinRobo/CRoboDriverBase.h"

class CRoboDriverAdapter3 final : public CRoboDriverBase {
 public:
  explicit CRoboDriverAdapter3(IRoboDriverV3* driver) : driver_(driver), extension_(driver) {}
  ~CRoboDriverAdapter3();  // destroys the wrapped object once
  ORIN_DELETING_DESTRUCTOR(CRoboDriverAdapter3)
  CRoboDriverAdapter3(const CRoboDriverAdapter3&) = delete;
  CRoboDriverAdapter3& operator=(const CRoboDriverAdapter3&) = delete;

  // 1-8 and 10 forward, or answer 0 without a wrapped object.
  int ORIN_METHOD Initialize() override;
  int ORIN_METHOD Shutdown() override;
  int ORIN_METHOD LoadDisc() override;
  int ORIN_METHOD UnloadDisc() override;
  int ORIN_METHOD QueryStatus() override;
  int ORIN_METHOD Reset() override;
  int ORIN_METHOD Park() override;
  int ORIN_METHOD SelfTest() override;
  int ORIN_METHOD GetBinCount() override;
  // The version 3 object has neither.
  int ORIN_METHOD GetLastErrorCode() override { return 1; }
  int ORIN_METHOD Abort() override { return 1; }

 private:
  IRoboDriverV1* driver_;     // operations 1-9; owned, may be null
  IRoboDriverV3* extension_;  // operation 10; the same object, not owned twice
};

#endif  // ORINROBO_CROBODRIVERADAPTER3_H
