// Driver objects through the real plug-in: adapters for older layouts, the second-generation
// create call and its fallback, and which libraries stay loaded.
#include <gtest/gtest.h>

#include <functional>

#include "DriverTestSupport.h"

using namespace drivertest;

namespace {

struct Operation {
  int position;
  std::function<int(IRoboDriver*)> call;
};

const std::vector<Operation>& AllOperations() {
  static const std::vector<Operation> operations = {
      {1, [](IRoboDriver* d) { return d->Initialize(); }},
      {2, [](IRoboDriver* d) { return d->Shutdown(); }},
      {3, [](IRoboDriver* d) { return d->LoadDisc(); }},
      {4, [](IRoboDriver* d) { return d->UnloadDisc(); }},
      {5, [](IRoboDriver* d) { return d->QueryStatus(); }},
      {6, [](IRoboDriver* d) { return d->Reset(); }},
      {7, [](IRoboDriver* d) { return d->Park(); }},
      {8, [](IRoboDriver* d) { return d->SelfTest(); }},
      {10, [](IRoboDriver* d) { return d->GetBinCount(); }},
      {11, [](IRoboDriver* d) { return d->GetLastErrorCode(); }},
      {12, [](IRoboDriver* d) { return d->Abort(); }},
  };
  return operations;
}

// Calls every operation once; each must reach the driver's own operation at that position when
// the layout has it, and answer 1 untouched otherwise.
void ExpectOperationsReach(const Counters& counters, const std::string& file, IRoboDriver* driver,
                           int highestPosition) {
  for (const Operation& op : AllOperations()) {
    SCOPED_TRACE(op.position);
    const LONG before = counters.Of(file).driverOps[op.position];
    const int result = op.call(driver);
    const LONG calls = counters.Of(file).driverOps[op.position] - before;
    if (op.position <= highestPosition) {
      EXPECT_EQ(1, calls);
    } else {
      EXPECT_EQ(0, calls);
      EXPECT_EQ(1, result);
    }
  }
}

}  // namespace

using Creation = DriverTest;

TEST_F(Creation, EachGenerationReachesTheHostWithTheFullLayoutAndIsDestroyedOnce) {
  struct Row {
    std::string source;
    const char* file;
    int highestPosition;  // the driver's own last operation
  };
  const Row rows[] = {{SampleDriver("ORSAMPLE1.DLL"), "ORSAMPLE1.DLL", 8},
                      {TestDriver("ORGEN2.DLL"), "ORGEN2.DLL", 10},
                      {SampleDriver("ORSAMPLE3.DLL"), "ORSAMPLE3.DLL", 10},
                      {SampleDriver("ORSAMPLE4.DLL"), "ORSAMPLE4.DLL", 12},  // handed out unwrapped
                      {SampleDriver("ORSAMPLE5.DLL"), "ORSAMPLE5.DLL", 12}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    DriverFolder folder;
    ASSERT_TRUE(folder.Add(row.source, row.file));
    ManagerPtr manager = Manager(folder.Path());
    ASSERT_EQ(1, manager->GetDriverCount());
    DriverPtr driver(manager->CreateDriver(manager->GetDriverInfo(0), 1));
    ASSERT_TRUE(driver);
    const SampleDriverSlot& slot = counters_.Of(row.file);
    EXPECT_EQ(1, slot.entryCalls[SAMPLE_ENTRY_CREATE]);
    EXPECT_EQ(0, slot.entryCalls[SAMPLE_ENTRY_CREATE_V2]);
    EXPECT_EQ(1, slot.lastArg1);
    EXPECT_EQ(1, counters_.Live(row.file));

    ExpectOperationsReach(counters_, row.file, driver.get(), row.highestPosition);
    // The one disc went through the drive to the output bin: nothing left to load.
    EXPECT_EQ(0, driver->LoadDisc());
    EXPECT_EQ(2, driver->QueryStatus());

    driver.reset();
    EXPECT_EQ(1, slot.driversCreated);
    EXPECT_EQ(1, slot.driversDestroyed);
    EXPECT_EQ(1, counters_.Live(row.file));
    manager.reset();
    EXPECT_EQ(0, counters_.Live(row.file));
    EXPECT_EQ(1, slot.driversDestroyed);
  }
}

TEST_F(Creation, SecondGenerationCallReachesVersionFourAndUpAndFallsBackBelow) {
  struct Row {
    std::string source;
    const char* file;
    bool secondGeneration;  // orinrobodriverV2_createdriver is used
    bool created;
    bool hasBinCount;  // operation 10 is the driver's own (an adapter of version 1 answers 1)
  };
  const Row rows[] = {{SampleDriver("ORSAMPLE5.DLL"), "ORSAMPLE5.DLL", true, true, true},
                      {SampleDriver("ORSAMPLE4.DLL"), "ORSAMPLE4.DLL", true, true, true},
                      {SampleDriver("ORSAMPLE3.DLL"), "ORSAMPLE3.DLL", false, true, true},
                      {SampleDriver("ORSAMPLE1.DLL"), "ORSAMPLE1.DLL", false, true, false},
                      // No interface version: the fallback refuses too, and nothing stays loaded.
                      {TestDriver("ORNOIFACE.DLL"), "ORNOIFACE.DLL", false, false, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    ManagerPtr manager = Manager(folder_.Path());
    EntryPtr entry(MakeEntry(row.source.c_str()));
    DriverPtr driver(manager->CreateDriverV2(entry.get(), 4, 9));
    const SampleDriverSlot& slot = counters_.Of(row.file);
    EXPECT_EQ(row.created, driver != nullptr);
    EXPECT_EQ(row.secondGeneration ? 1 : 0, slot.entryCalls[SAMPLE_ENTRY_CREATE_V2]);
    EXPECT_EQ(row.secondGeneration || !row.created ? 0 : 1, slot.entryCalls[SAMPLE_ENTRY_CREATE]);
    EXPECT_EQ(4, slot.lastArg1 + (row.created ? 0 : 4));
    EXPECT_EQ(row.secondGeneration ? 9 : 0, slot.lastArg2);
    EXPECT_EQ(row.created ? 1 : 0, counters_.Live(row.file));
    if (driver) {
      EXPECT_EQ(row.hasBinCount ? 4 : 1, driver->GetBinCount());
      if (row.secondGeneration) {  // unwrapped: operation 11 is the driver's own
        EXPECT_EQ(0, driver->GetLastErrorCode());
        EXPECT_EQ(1, slot.driverOps[11]);
      }
    }
    driver.reset();
    manager.reset();
    EXPECT_EQ(0, counters_.Live(row.file));
  }
}

TEST_F(Creation, NullOrMissingObjectsKeepALibraryOnlyWhereTheCallPromisesTo) {
  struct Row {
    const char* file;
    bool secondGeneration;
    LONG liveAfter;  // loads kept until the manager goes
    LONG leftBehind; // objects neither handed out nor destroyed
  };
  const Row rows[] = {
      {"ORNULLCREATE.DLL", false, 0, 0},
      {"ORNULLCREATE.DLL", true, 1, 0},
      {"ORNOCREATE.DLL", false, 0, 0},
      {"ORNOCREATE.DLL", true, 0, 0},
      // Version 0: its layout is unknown, so the object is kept but never used or destroyed.
      {"ORIFACE0.DLL", false, 1, 1},
      {"ORIFACE0.DLL", true, 1, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.file) + (row.secondGeneration ? " V2" : ""));
    ASSERT_TRUE(counters_.Reset());
    ManagerPtr manager = Manager(folder_.Path());
    EntryPtr entry(MakeEntry(TestDriver(row.file).c_str()));
    IRoboDriver* driver = row.secondGeneration ? manager->CreateDriverV2(entry.get(), 1, 2)
                                               : manager->CreateDriver(entry.get(), 1);
    EXPECT_EQ(nullptr, driver);
    const SampleDriverSlot& slot = counters_.Of(row.file);
    EXPECT_EQ(row.liveAfter, counters_.Live(row.file));
    EXPECT_EQ(row.leftBehind, slot.driversCreated - slot.driversDestroyed);
    manager.reset();
    EXPECT_EQ(0, counters_.Live(row.file));
  }
}

TEST_F(Creation, TwoDriversFromOneEntryKeepTheLibraryUntilTheManagerGoes) {
  ManagerPtr manager = ManagerOver(SampleDriver("ORSAMPLE3.DLL"), "ORSAMPLE3.DLL");
  IRoboDriverInfo* entry = manager->FindDriver("Sample Robot Gen3");
  DriverPtr first(manager->CreateDriver(entry, 2));
  DriverPtr second(manager->CreateDriverV2(entry, 5, 6));  // falls back: version 3
  ASSERT_TRUE(first && second);
  EXPECT_EQ(2, first->GetBinCount());
  EXPECT_EQ(5, second->GetBinCount());
  const std::string path = folder_.Join("ORSAMPLE3.DLL");
  first.reset();
  second.reset();
  EXPECT_TRUE(IsLoaded(path));
  EXPECT_EQ(2, counters_.Of("ORSAMPLE3.DLL").driversDestroyed);
  manager.reset();
  EXPECT_FALSE(IsLoaded(path));
  EXPECT_EQ(2, counters_.Of("ORSAMPLE3.DLL").attaches);  // the refresh's load and the kept one
}

TEST_F(Creation, DriversAreToldTheInterfaceVersionBeforeTheyCreate) {
  plugin_.SetInterfaceVersion(3);
  ManagerPtr manager = Manager(folder_.Path());
  EntryPtr entry(MakeEntry(SampleDriver("ORSAMPLE5.DLL").c_str()));
  DriverPtr driver(manager->CreateDriverV2(entry.get(), 0, 0));
  ASSERT_TRUE(driver);
  const SampleDriverSlot& slot = counters_.Of("ORSAMPLE5.DLL");
  EXPECT_EQ(SAMPLE_ENTRY_SET_INTERFACE, slot.firstEntry);
  EXPECT_EQ(4, slot.lastAnnouncedVersion);
  EXPECT_EQ(25, driver->GetBinCount());  // 0 asks for a full bin
}
