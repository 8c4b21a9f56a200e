// Manager creation, release and catalogue look-ups, and the interface-version negotiation.
#include <gtest/gtest.h>

#include <string>

#include "OrinRobo/COrinRoboManager.h"
#include "OrinRobo/InterfaceVersion.h"
#include "TestSupport.h"

namespace {

struct ManagerDeleter {
  void operator()(COrinRoboManager* m) const { OrinDestroy(m); }
};
using ManagerPtr = std::unique_ptr<COrinRoboManager, ManagerDeleter>;

// Host interface version is process-wide: every test leaves it at the default.
class InterfaceVersionTest : public ::testing::Test {
 protected:
  void TearDown() override { SetHostInterfaceVersion(4); }
};

}  // namespace

TEST_F(InterfaceVersionTest, DefaultHostVersionTellsDriversFive) {
  EXPECT_EQ(4u, GetHostInterfaceVersion());
  EXPECT_EQ(5u, MapInterfaceVersion(kHighestDriverInterfaceVersion));
}

TEST_F(InterfaceVersionTest, MapsEveryHostVersion) {
  const struct {
    uint32_t host;
    uint32_t told;
  } rows[] = {{0, 2}, {1, 2}, {2, 3}, {3, 4}, {4, 5}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.host);
    SetHostInterfaceVersion(row.host);
    EXPECT_EQ(row.host, GetHostInterfaceVersion());
    EXPECT_EQ(row.told, MapInterfaceVersion(5));
  }
}

TEST_F(InterfaceVersionTest, ValuesAboveFourAreIgnored) {
  SetHostInterfaceVersion(2);
  for (uint32_t ignored : {5u, 6u, 0x80000000u, 0xFFFFFFFFu}) {
    SetHostInterfaceVersion(ignored);
    EXPECT_EQ(2u, GetHostInterfaceVersion());
  }
}

TEST(Manager, NullDirectoryBecomesTheEmptyText) {
  ManagerPtr manager(COrinRoboManager::Create(nullptr));
  ASSERT_NE(nullptr, manager);
  EXPECT_STREQ("", manager->DriverDirectory());
  EXPECT_EQ(0, manager->GetDriverCount());
}

TEST(Manager, EmptyCatalogueAnswersEveryLookUpWithTheEmptyEntry) {
  testsupport::TempDir dir("mgr");
  ManagerPtr manager(COrinRoboManager::Create(dir.Path().c_str()));
  ASSERT_NE(nullptr, manager);
  EXPECT_EQ(0, manager->GetDriverCount());

  IRoboDriverInfo* empty = manager->GetDriverInfo(0);
  ASSERT_NE(nullptr, empty);
  EXPECT_EQ(nullptr, empty->GetDriverName());
  EXPECT_EQ(nullptr, empty->GetDriverPath());
  EXPECT_EQ(0u, empty->GetDriverVersion());
  EXPECT_EQ(0, empty->HasConfigure());
  EXPECT_EQ(empty, manager->GetDriverInfo(0xFFFFFFFFu));
  EXPECT_EQ(empty, manager->FindDriver(nullptr));
  EXPECT_EQ(empty, manager->FindDriver(""));
  EXPECT_EQ(empty, manager->FindDriver("ORSAMPLE"));
}

TEST(Manager, EmptyEntryLoadsNothing) {
  ManagerPtr manager(COrinRoboManager::Create(""));
  ASSERT_NE(nullptr, manager);
  IRoboDriverInfo* empty = manager->GetDriverInfo(0);
  EXPECT_EQ(nullptr, manager->CreateDriver(empty, 1));
  EXPECT_EQ(nullptr, manager->CreateDriverV2(empty, 1, 2));
  EXPECT_EQ(0, manager->ConfigureDriver(empty, 1));
  EXPECT_EQ(0, manager->ConfigureDriverV2(empty, 1, 2));
  EXPECT_EQ(nullptr, manager->CreateFirmwareCheck(empty, 1));
  EXPECT_EQ(0, manager->Modules().Count());
}

TEST(Manager, AnyDirectoryTextYieldsAManager) {
  const std::string rows[] = {
      "",
      "relative\\drivers",
      "Z:\\no\\such\\folder",
      std::string(5000, 'a'),
      "C:\\\xe4\xf6\xfc\\\x83\x5c\\drivers",  // high bytes, and a double-byte lead followed by 0x5C
      "\\\\server\\share\\drivers",
      "C:\\*?<>|\"",
  };
  for (const std::string& text : rows) {
    SCOPED_TRACE(text.substr(0, 40));
    ManagerPtr manager(COrinRoboManager::Create(text.c_str()));
    ASSERT_NE(nullptr, manager);
    EXPECT_EQ(text, manager->DriverDirectory());
    EXPECT_EQ(0, manager->GetDriverCount());
    manager->Refresh();
    EXPECT_EQ(0, manager->GetDriverCount());
  }
}

TEST_F(InterfaceVersionTest, TwoManagersShareTheHostVersion) {
  ManagerPtr first(COrinRoboManager::Create(""));
  ManagerPtr second(COrinRoboManager::Create("elsewhere"));
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  SetHostInterfaceVersion(1);
  EXPECT_EQ(2u, MapInterfaceVersion(5));
  EXPECT_NE(first->GetDriverInfo(0), second->GetDriverInfo(0));  // each has its own empty entry
}
