// Shared by the driver tests: OrinRobo.dll loaded the way a host loads it, the sample libraries'
// counters, and folders of driver libraries put together per test.
#ifndef TESTS_DRIVERS_DRIVERTESTSUPPORT_H
#define TESTS_DRIVERS_DRIVERTESTSUPPORT_H

#include <orinrobo/OrinRoboSdk.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SampleDriverCounters.h"
#include "TestSupport.h"

namespace drivertest {

// bin\drivers\<file> (shipped samples) and bin\testdrivers\<file> (odd libraries).
std::string SampleDriver(const std::string& file);
std::string TestDriver(const std::string& file);

// OrinRobo.dll, loaded with LoadLibraryA and used through GetProcAddress only.
class Plugin {
 public:
  Plugin();
  ~Plugin();
  bool Loaded() const { return module_ != nullptr && create_ != nullptr && release_ != nullptr; }
  IRoboManager2* Create(const char* directory) const { return create_(directory); }
  void Release(IRoboManager* manager) const { release_(manager); }
  void SetInterfaceVersion(unsigned version) const { setVersion_(version); }
  unsigned GetInterfaceVersion() const { return getVersion_(); }

 private:
  HMODULE module_;
  ORIN_PFN_CreateOrinRoboManager create_ = nullptr;
  ORIN_PFN_ReleaseOrinRoboManager release_ = nullptr;
  ORIN_PFN_SetInterfaceVersion setVersion_ = nullptr;
  ORIN_PFN_GetInterfaceVersion getVersion_ = nullptr;
};

// A manager released through the plug-in when it goes out of scope.
struct ManagerDeleter {
  const Plugin* plugin;
  void operator()(IRoboManager2* manager) const { plugin->Release(manager); }
};
using ManagerPtr = std::unique_ptr<IRoboManager2, ManagerDeleter>;

// Objects the host owns, destroyed through their own destructor slot.
struct DestroyDeleter {
  template <class T>
  void operator()(T* object) const { OrinDestroy(object); }
};
using DriverPtr = std::unique_ptr<IRoboDriver, DestroyDeleter>;
using FirmwareCheckPtr = std::unique_ptr<IRoboFirmwareCheck, DestroyDeleter>;

// This process's block of sample-library counters, open for the life of the object.
class Counters {
 public:
  Counters();
  ~Counters();
  bool Open() const { return view_.counters != nullptr; }
  // Zeroes every count; only when no sample library is loaded (false otherwise).
  bool Reset();
  // The slot of a library file ("ORSAMPLE5.DLL"); an all-zero slot when it never loaded.
  const SampleDriverSlot& Of(const std::string& fileName) const;
  LONG TotalAttaches() const { return view_.counters ? view_.counters->totalAttaches : 0; }
  LONG TotalDetaches() const { return view_.counters ? view_.counters->totalDetaches : 0; }
  // Loaded now: attaches that were not refused, minus detaches.
  LONG Live(const std::string& fileName) const;

 private:
  SampleCountersView view_;
};

// A fresh folder to put driver libraries in.
class DriverFolder {
 public:
  DriverFolder() : dir_("drv") {}
  const std::string& Path() const { return dir_.Path(); }
  std::string Join(const std::string& name) const { return dir_.Join(name); }
  // Copies source into the folder under name; false on failure.
  bool Add(const std::string& source, const std::string& name) const;
  bool Remove(const std::string& name) const;
  bool WriteFile(const std::string& name, const std::string& bytes) const {
    return dir_.WriteFile(name, bytes);
  }

 private:
  testsupport::TempDir dir_;
};

// Whether the library at path is loaded in this process.
bool IsLoaded(const std::string& path);

// The full paths of the matches of "OR*.DLL" in folder, in the order the system lists them.
std::vector<std::string> ListedDriverFiles(const std::string& folder);

// An entry that belongs to no catalogue, pointing at path (null for none).
IRoboDriverInfo* MakeEntry(const char* path);
void FreeEntry(IRoboDriverInfo* entry);

// Catalogue entries by name, in catalogue order ("(null)" for a null name).
std::vector<std::string> CatalogueNames(IRoboManager* manager);

using EntryPtr = std::unique_ptr<IRoboDriverInfo, DestroyDeleter>;

// Every driver test: the plug-in loaded fresh, the counters zeroed, the host at version 4.
class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin_.Loaded());
    ASSERT_TRUE(counters_.Open());
    ASSERT_TRUE(counters_.Reset()) << "a sample library is still loaded";
    plugin_.SetInterfaceVersion(4);
  }
  void TearDown() override { plugin_.SetInterfaceVersion(4); }

  ManagerPtr Manager(const std::string& directory) const {
    return ManagerPtr(plugin_.Create(directory.c_str()), ManagerDeleter{&plugin_});
  }
  // A manager over a folder holding only the given library (copied under its own name).
  ManagerPtr ManagerOver(const std::string& source, const std::string& name) const {
    EXPECT_TRUE(folder_.Add(source, name));
    return Manager(folder_.Path());
  }

  Plugin plugin_;
  Counters counters_;
  DriverFolder folder_;
};

}  // namespace drivertest

#endif  // TESTS_DRIVERS_DRIVERTESTSUPPORT_H
