// CRoboDriverInfo: one catalogue entry (name, version, configure flag, path) as the host sees it.
#ifndef ORINROBO_CROBODRIVERINFO_H
#define ORINROBO_CROBODRIVERINFO_H

#include <orinrobo/OrinRoboSdk.h>

class CRoboDriverInfo : public IRoboDriverInfo {
 public:
  CRoboDriverInfo();  // the empty entry: null texts, version and flag 0
  CRoboDriverInfo(const char* name, uint32_t version, int hasConfigure, const char* path);
  CRoboDriverInfo(const CRoboDriverInfo& other);
  CRoboDriverInfo& operator=(const CRoboDriverInfo& other) { return CopyFrom(other); }
  ~CRoboDriverInfo();
  ORIN_DELETING_DESTRUCTOR(CRoboDriverInfo)

  const char* ORIN_METHOD GetDriverName() override { return name_; }
  uint32_t ORIN_METHOD GetDriverVersion() override { return version_; }
  int ORIN_METHOD HasConfigure() override { return hasConfigure_; }
  const char* ORIN_METHOD GetDriverPath() override { return path_; }

  // Frees its own texts, takes fresh copies of other's (null stays null), copies the numbers.
  virtual CRoboDriverInfo& ORIN_METHOD CopyFrom(const CRoboDriverInfo& other);

  const char* Name() const { return name_; }
  uint32_t Version() const { return version_; }

 private:
  char* name_;        // owned heap copy, may be null
  uint32_t version_;  // plug-in version
  int hasConfigure_;  // 1 when orinrobodriver_configuredriver exists
  char* path_;        // owned heap copy of the full path, may be null
};

#endif  // ORINROBO_CROBODRIVERINFO_H
