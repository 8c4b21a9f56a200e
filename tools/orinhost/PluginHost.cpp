#include "PluginHost.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {
template <class Fn>
bool Resolve(HMODULE module, const char* name, Fn& fn, std::string& error) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
  if (fn == nullptr && error.empty()) error = std::string("the plug-in does not export ") + name;
  return fn != nullptr;
}
}  // namespace

PluginHost::~PluginHost() {
  CloseManager();
  if (module_) ::FreeLibrary(static_cast<HMODULE>(module_));
}

bool PluginHost::Load(const std::string& path) {
  HMODULE module = ::LoadLibraryA(path.c_str());
  if (module == nullptr) {
    error_ = "cannot load " + path + " (error " + std::to_string(::GetLastError()) + ")";
    return false;
  }
  module_ = module;
  bool ok = Resolve(module, "ORIN_PLUGIN_GetVersion", getVersion_, error_);
  ok &= Resolve(module, "ORIN_PLUGIN_GetInterfaceVersion", getInterfaceVersion_, error_);
  ok &= Resolve(module, "ORIN_PLUGIN_SetInterfaceVersion", setInterfaceVersion_, error_);
  ok &= Resolve(module, "ORIN_PLUGIN_GetPluginType", getType_, error_);
  ok &= Resolve(module, "ORIN_PLUGIN_GetPluginName", getName_, error_);
  ok &= Resolve(module, "ORIN_PLUGIN_SetVendorInformations", setVendor_, error_);
  ok &= Resolve(module, "CreateOrinRoboManager", create_, error_);
  ok &= Resolve(module, "ReleaseOrinRoboManager", release_, error_);
  if (ok) setVendor_(nullptr);  // hosts announce themselves; the plug-in ignores it
  return ok;
}

IRoboManager2* PluginHost::OpenManager(const std::string& directory) {
  CloseManager();
  manager_ = create_(directory.c_str());
  return manager_;
}

void PluginHost::CloseManager() {
  if (manager_ && release_) release_(manager_);
  manager_ = nullptr;
}
