// How the module list grows, seen from inside the manager (linked, not loaded as the DLL).
#include <gtest/gtest.h>

#include <functional>

#include "DriverTestSupport.h"
#include "OrinRobo/COrinRoboManager.h"

using namespace drivertest;

TEST(ModuleList, GrowsByOneLoadPerObjectKeptAndIsEmptiedWithTheManager) {
  Counters counters;
  ASSERT_TRUE(counters.Reset());
  DriverFolder folder;
  ASSERT_TRUE(folder.Add(SampleDriver("ORSAMPLE5.DLL"), "ORSAMPLE5.DLL"));
  ASSERT_TRUE(folder.Add(SampleDriver("ORSAMPLE4.DLL"), "ORSAMPLE4.DLL"));
  COrinRoboManager* manager = COrinRoboManager::Create(folder.Path().c_str());
  ASSERT_NE(nullptr, manager);
  ASSERT_EQ(2, manager->GetDriverCount());
  IRoboDriverInfo* five = manager->FindDriver("Sample Robot Gen5");
  IRoboDriverInfo* four = manager->FindDriver("Sample Robot Gen4");
  EntryPtr nullCreate(MakeEntry(TestDriver("ORNULLCREATE.DLL").c_str()));
  EntryPtr oldCheck(MakeEntry(TestDriver("ORFWOLD.DLL").c_str()));

  std::vector<IRoboDriver*> drivers;
  std::vector<IRoboFirmwareCheck*> checks;
  struct Step {
    const char* what;
    std::function<void()> run;
    int added;
  };
  const Step steps[] = {
      {"create", [&] { drivers.push_back(manager->CreateDriver(five, 1)); }, 1},
      {"create again", [&] { drivers.push_back(manager->CreateDriver(five, 1)); }, 1},
      {"create V2", [&] { drivers.push_back(manager->CreateDriverV2(four, 1, 1)); }, 1},
      {"create null", [&] { EXPECT_EQ(nullptr, manager->CreateDriver(nullCreate.get(), 1)); }, 0},
      {"create V2 null", [&] { EXPECT_EQ(nullptr, manager->CreateDriverV2(nullCreate.get(), 1, 1)); }, 1},
      {"configure", [&] { EXPECT_NE(0, manager->ConfigureDriver(four, 1)); }, 0},
      {"configure V2", [&] { EXPECT_EQ(3, manager->ConfigureDriverV2(five, 1, 2)); }, 1},
      {"firmware check", [&] { checks.push_back(manager->CreateFirmwareCheck(four, 0)); }, 1},
      {"old firmware check", [&] { EXPECT_EQ(nullptr, manager->CreateFirmwareCheck(oldCheck.get(), 0)); }, 1},
      {"refresh", [&] { manager->Refresh(); }, 0},
  };
  int expected = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.run();
    expected += step.added;
    EXPECT_EQ(expected, manager->Modules().Count());
  }
  EXPECT_EQ(manager->Modules().At(0), manager->Modules().At(1));
  // The list keeps whole handles: 64-bit images load above 4 GiB, where a cut handle would show.
  const HMODULE five64 = ::GetModuleHandleA(folder.Join("ORSAMPLE5.DLL").c_str());
  EXPECT_EQ(five64, manager->Modules().At(0));
  if (sizeof(void*) == 8) {
    EXPECT_GT(reinterpret_cast<uintptr_t>(five64), 0xFFFFFFFFull);
  }
  for (IRoboDriver* driver : drivers) {
    ASSERT_NE(nullptr, driver);
    OrinDestroy(driver);
  }
  for (IRoboFirmwareCheck* check : checks) {
    ASSERT_NE(nullptr, check);
    OrinDestroy(check);
  }
  EXPECT_TRUE(IsLoaded(folder.Join("ORSAMPLE5.DLL")));
  OrinDestroy(manager);
  EXPECT_FALSE(IsLoaded(folder.Join("ORSAMPLE5.DLL")));
  EXPECT_FALSE(IsLoaded(TestDriver("ORFWOLD.DLL")));
  EXPECT_EQ(counters.TotalAttaches(), counters.TotalDetaches());
}
