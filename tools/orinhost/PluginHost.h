// PluginHost: OrinRobo.dll loaded the way a host application loads it (LoadLibraryA, then every
// export looked up by name), plus the manager it hands out.
#ifndef TOOLS_ORINHOST_PLUGINHOST_H
#define TOOLS_ORINHOST_PLUGINHOST_H

#include <orinrobo/OrinRoboSdk.h>

#include <string>

class PluginHost {
 public:
  PluginHost() = default;
  ~PluginHost();  // releases the manager, then the library
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // False, with a reason in Error(), when the file will not load or an export is missing.
  bool Load(const std::string& path);
  const std::string& Error() const { return error_; }

  int Version() const { return getVersion_(); }
  unsigned InterfaceVersion() const { return getInterfaceVersion_(); }
  void SetInterfaceVersion(unsigned version) const { setInterfaceVersion_(version); }
  const char* Type() const { return getType_(); }
  const char* Name() const { return getName_(); }
  // The plug-in's module: a driver folder may hold the plug-in, which is no driver.
  const void* Module() const { return module_; }

  // The manager over directory; null when the plug-in could not make one.
  IRoboManager2* OpenManager(const std::string& directory);
  void CloseManager();

 private:
  void* module_ = nullptr;
  std::string error_;
  ORIN_PFN_PluginGetVersion getVersion_ = nullptr;
  ORIN_PFN_GetInterfaceVersion getInterfaceVersion_ = nullptr;
  ORIN_PFN_SetInterfaceVersion setInterfaceVersion_ = nullptr;
  ORIN_PFN_GetPluginType getType_ = nullptr;
  ORIN_PFN_GetPluginName getName_ = nullptr;
  ORIN_PFN_SetVendorInformations setVendor_ = nullptr;
  ORIN_PFN_CreateOrinRoboManager create_ = nullptr;
  ORIN_PFN_ReleaseOrinRoboManager release_ = nullptr;
  IRoboManager2* manager_ = nullptr;
};

#endif  // TOOLS_ORINHOST_PLUGINHOST_H
