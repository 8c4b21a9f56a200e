// CRoboDriverBase: the driver layout the host receives, with the defaults an adapter falls back
// on. Operations 1, 2, 6, 7 and 8 answer 1; 3, 4 and 5 (load, unload, status) have no sensible
// default and stay pure.
#ifndef ORINROBO_CROBODRIVERBASE_H
#define ORINROBO_CROBODRIVERBASE_H

#include <orinrobo/OrinRoboSdk.h>

class CRoboDriverBase : public IRoboDriver {
 public:
  int ORIN_METHOD Initialize() override { return 1; }
  int ORIN_METHOD Shutdown() override { return 1; }
  int ORIN_METHOD Reset() override { return 1; }
  int ORIN_METHOD Park() override { return 1; }
  int ORIN_METHOD SelfTest() override { return 1; }

 protected:
  CRoboDriverBase() = default;
  ~CRoboDriverBase() = default;
};

#endif  // ORINROBO_CROBODRIVERBASE_H
