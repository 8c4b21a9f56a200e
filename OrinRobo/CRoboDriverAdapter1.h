// CRoboDriverAdapter1: shows a driver object of interface version 1 (eight operations and the
// destructor) to the host with the full layout. Owns the wrapped object.
#ifndef ORINROBO_CROBODRIVERADAPTER1_H
#define ORINROBO_CROBODRIVERADAPTER1_H

#include "OrinRobo/CRoboDriverBase.h"

class CRoboDriverAdapter1 final : public CRoboDriverBase {
 public:
  explicit CRoboDriverAdapter1(IRoboDriverV1* driver) : driver_(driver) {}
  ~CRoboDriverAdapter1();  // destroys the wrapped object through its own destructor
  ORIN_DELETING_DESTRUCTOR(CRoboDriverAdapter1)
  CRoboDriverAdapter1(const CRoboDriverAdapter1&) = delete;
  CRoboDriverAdapter1& operator=(const CRoboDriverAdapter1&) = delete;

  // 1-8 forward, or answer 0 without a wrapped object.
  int ORIN_METHOD Initialize() override;
  int ORIN_METHOD Shutdown() override;
  int ORIN_METHOD LoadDisc() override;
  int ORIN_METHOD UnloadDisc() override;
  int ORIN_METHOD QueryStatus() override;
  int ORIN_METHOD Reset() override;
  int ORIN_METHOD Park() override;
  int ORIN_METHOD SelfTest() override;
  // The version 1 object has none of these.
  int ORIN_METHOD GetBinCount() override { return 1; }
  int ORIN_METHOD GetLastErrorCode() override { return 1; }
  int ORIN_METHOD Abort() override { return 1; }

 private:
  IRoboDriverV1* driver_;  // owned, may be null
};

#endif  // ORINROBO_CROBODRIVERADAPTER1_H
