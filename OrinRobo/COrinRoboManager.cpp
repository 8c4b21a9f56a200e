// Creation, release and catalogue look-ups of the manager.
#include "OrinRobo/COrinRoboManager.h"

#include <cstdlib>
#include <cstring>
#include <new>

COrinRoboManager* COrinRoboManager::Create(const char* driverDirectory) {
  COrinRoboManager* manager = new (std::nothrow) COrinRoboManager();
  if (manager == nullptr) return nullptr;
  const char* text = driverDirectory ? driverDirectory : "";
  const size_t size = std::strlen(text) + 1;
  manager->directory_ = static_cast<char*>(std::malloc(size));
  if (manager->directory_ == nullptr) {
    delete manager;
    return nullptr;
  }
  std::memcpy(manager->directory_, text, size);
  manager->Refresh();
  return manager;
}

// The body frees the directory and empties the catalogue; C++ then destroys the members in
// reverse declaration order: the empty entry, the module list (which unloads the libraries
// first-loaded first), and the catalogue's storage.
COrinRoboManager::~COrinRoboManager() {
  std::free(directory_);
  directory_ = nullptr;
  catalogue_.Clear();
}

int ORIN_METHOD COrinRoboManager::GetDriverCount() { return catalogue_.Count(); }

IRoboDriverInfo* ORIN_METHOD COrinRoboManager::FindDriver(const char* name) {
  const int found = catalogue_.Find(name);
  return found >= 0 ? catalogue_.At(found) : &emptyInfo_;
}

IRoboDriverInfo* ORIN_METHOD COrinRoboManager::GetDriverInfo(unsigned index) {
  if (index < static_cast<unsigned>(catalogue_.Count())) return catalogue_.At(static_cast<int>(index));
  return &emptyInfo_;
}
