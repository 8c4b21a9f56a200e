// The catalogue a manager builds from its driver folder, through the real plug-in.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DriverTestSupport.h"

using namespace drivertest;

namespace {

void ExpectEmptyInfo(IRoboDriverInfo* info) {
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(nullptr, info->GetDriverName());
  EXPECT_EQ(nullptr, info->GetDriverPath());
  EXPECT_EQ(0u, info->GetDriverVersion());
  EXPECT_EQ(0, info->HasConfigure());
}

// Plug-in name and version of a copy of ORFILE.DLL, from its file name ("ORA_V3.DLL").
struct FileDriver {
  std::string name;
  uint32_t version;
  std::string path;
};

FileDriver FromFileName(const std::string& path) {
  std::string stem = path.substr(path.rfind('\\') + 1);
  stem = stem.substr(0, stem.find('.'));
  const size_t mark = stem.rfind("_V");
  const size_t dash = stem.find('-');
  const size_t start = dash == std::string::npos ? 0 : dash + 1;
  if (mark == std::string::npos) return {stem.substr(start), 1, path};
  return {stem.substr(start, mark - start), static_cast<uint32_t>(std::atoi(stem.c_str() + mark + 2)), path};
}

// The catalogue the folder's listing order must give: first of equal versions stays, a newer
// version replaces the entry and moves to the end.
// Files named in unusable are no libraries and pass over.
std::vector<FileDriver> ExpectedCatalogue(const std::string& folder, const std::string& unusable = "") {
  std::vector<FileDriver> entries;
  for (const std::string& path : ListedDriverFiles(folder)) {
    if (!unusable.empty() && path.find(unusable) != std::string::npos) continue;
    const FileDriver driver = FromFileName(path);
    auto found = entries.begin();
    while (found != entries.end() && found->name != driver.name) ++found;
    if (found != entries.end()) {
      if (driver.version <= found->version) continue;
      entries.erase(found);
    }
    entries.push_back(driver);
  }
  return entries;
}

void ExpectCatalogue(IRoboManager* manager, const std::vector<FileDriver>& expected) {
  ASSERT_EQ(static_cast<int>(expected.size()), manager->GetDriverCount());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].path);
    IRoboDriverInfo* info = manager->GetDriverInfo(static_cast<unsigned>(i));
    ASSERT_NE(nullptr, info->GetDriverName());
    EXPECT_STREQ(expected[i].name.c_str(), info->GetDriverName());
    EXPECT_EQ(expected[i].version, info->GetDriverVersion());
    EXPECT_STRCASEEQ(expected[i].path.c_str(), info->GetDriverPath());
  }
}

std::string Numbered(const char* format, int n) {
  char name[64];
  std::snprintf(name, sizeof name, format, n);
  return name;
}

}  // namespace

using Catalogue = DriverTest;

TEST_F(Catalogue, EmptyFolderAnswersEveryLookUpWithTheEmptyEntry) {
  ManagerPtr manager = Manager(folder_.Path());
  ASSERT_TRUE(manager);
  EXPECT_EQ(0, manager->GetDriverCount());
  ExpectEmptyInfo(manager->GetDriverInfo(0));
  ExpectEmptyInfo(manager->FindDriver("Sample Robot Gen5"));
  ExpectEmptyInfo(manager->FindDriver(nullptr));
  ExpectEmptyInfo(manager->FindDriver(""));
}

TEST_F(Catalogue, SampleDriversAreListedWithNameVersionFlagAndPathAndNothingStaysLoaded) {
  struct Row {
    const char* file;
    const char* name;
    uint32_t version;
    int hasConfigure;
  };
  const Row rows[] = {{"ORSAMPLE1.DLL", "Sample Robot Gen1", 3, 1},
                      {"ORSAMPLE3.DLL", "Sample Robot Gen3", 2, 1},
                      {"ORSAMPLE4.DLL", "Sample Robot Gen4", 1, 1},
                      {"ORSAMPLE5.DLL", "Sample Robot Gen5", 7, 0}};  // second-generation configure only
  for (const Row& row : rows) ASSERT_TRUE(folder_.Add(SampleDriver(row.file), row.file));

  ManagerPtr manager = Manager(folder_.Path());
  ASSERT_EQ(4, manager->GetDriverCount());
  const std::vector<std::string> listed = ListedDriverFiles(folder_.Path());
  for (size_t i = 0; i < listed.size(); ++i) {
    SCOPED_TRACE(listed[i]);
    IRoboDriverInfo* info = manager->GetDriverInfo(static_cast<unsigned>(i));
    EXPECT_STRCASEEQ(listed[i].c_str(), info->GetDriverPath());
    const Row* row = nullptr;
    for (const Row& candidate : rows) {
      if (listed[i].find(candidate.file) != std::string::npos) row = &candidate;
    }
    ASSERT_NE(nullptr, row);
    EXPECT_STREQ(row->name, info->GetDriverName());
    EXPECT_EQ(row->version, info->GetDriverVersion());
    EXPECT_EQ(row->hasConfigure, info->HasConfigure());
    EXPECT_EQ(info, manager->FindDriver(row->name));
    EXPECT_EQ(1, counters_.Of(row->file).attaches);
    EXPECT_EQ(0, counters_.Live(row->file));
    EXPECT_FALSE(IsLoaded(listed[i]));
  }
  ExpectEmptyInfo(manager->FindDriver("sample robot gen5"));  // case counts
  for (unsigned index : {4u, 5u, 1000u, 0xFFFFFFFFu}) ExpectEmptyInfo(manager->GetDriverInfo(index));
}

TEST_F(Catalogue, UnusableLibrariesArePassedOverAndStillHearTheInterfaceVersionFirst) {
  struct Row {
    const char* file;
    bool catalogued;
    bool hearsVersion;  // exports ORIN_PLUGIN_SetInterfaceVersion and loads
  };
  const Row rows[] = {
      {"ORNONAME.DLL", false, true},     {"ORNOVERSION.DLL", false, true},
      {"ORNOIFACE.DLL", false, true},    {"ORIFACE6.DLL", false, true},
      {"ORREFUSE.DLL", false, false},    {"ORIFACE0.DLL", true, true},
      {"ORNOSETIF.DLL", true, false},    {"ORNOCREATE.DLL", true, true},
      {"ORNULLCREATE.DLL", true, true},  {"ORGEN2.DLL", true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    DriverFolder folder;
    ASSERT_TRUE(folder.Add(TestDriver(row.file), row.file));
    ManagerPtr manager = Manager(folder.Path());
    EXPECT_EQ(row.catalogued ? 1 : 0, manager->GetDriverCount());
    const SampleDriverSlot& slot = counters_.Of(row.file);
    EXPECT_EQ(1, slot.attaches);
    EXPECT_EQ(0, counters_.Live(row.file));
    if (row.hearsVersion) {
      EXPECT_EQ(1, slot.entryCalls[SAMPLE_ENTRY_SET_INTERFACE]);
      EXPECT_EQ(SAMPLE_ENTRY_SET_INTERFACE, slot.firstEntry);
      EXPECT_EQ(5, slot.lastAnnouncedVersion);
    }
    // Discovery never creates or configures anything.
    EXPECT_EQ(0, slot.entryCalls[SAMPLE_ENTRY_CREATE] + slot.entryCalls[SAMPLE_ENTRY_CREATE_V2] +
                     slot.entryCalls[SAMPLE_ENTRY_CONFIGURE] + slot.entryCalls[SAMPLE_ENTRY_CONFIGURE_V2] +
                     slot.entryCalls[SAMPLE_ENTRY_FIRMWARE_CHECK]);
  }
}

TEST_F(Catalogue, FilesThatAreNoLibrariesArePassedOver) {
  ASSERT_TRUE(folder_.WriteFile("ORTEXT.DLL", "this is not a program file\r\n"));
  ASSERT_TRUE(folder_.WriteFile("OREMPTY.DLL", ""));
  std::string truncated = testsupport::ReadWholeFile(SampleDriver("ORSAMPLE5.DLL"));
  ASSERT_GT(truncated.size(), 4096u);
  truncated.resize(1024);  // headers that promise sections the file does not hold
  ASSERT_TRUE(folder_.WriteFile("ORCUT.DLL", truncated));
  ASSERT_TRUE(::CreateDirectoryA(folder_.Join("ORFOLDER.DLL").c_str(), nullptr));
  ASSERT_TRUE(folder_.Add(SampleDriver("ORSAMPLE5.DLL"), "ORGOOD.DLL"));
  ASSERT_TRUE(folder_.Add(SampleDriver("ORSAMPLE1.DLL"), "NOTADRIVER.DLL"));  // outside the pattern

  ManagerPtr manager = Manager(folder_.Path());
  EXPECT_EQ((std::vector<std::string>{"Sample Robot Gen5"}), CatalogueNames(manager.get()));
  EXPECT_EQ(0, counters_.Of("NOTADRIVER.DLL").attaches);
  EXPECT_EQ(counters_.TotalAttaches(), counters_.TotalDetaches());
}

TEST_F(Catalogue, NewestVersionOfANameWinsAndKeepsTheListingOrder) {
  // Same name and version twice (ORB_V1, ORB_V01), a newer and an older one of the same name.
  for (const char* name : {"ORA_V1.DLL", "ORB_V1.DLL", "ORA_V3.DLL", "ORC_V2.DLL", "ORB_V01.DLL",
                           "ORC_V1.DLL", "ORD.DLL", "ORA_V2.DLL", "ORE_V4.DLL", "ORE_V5.DLL"}) {
    ASSERT_TRUE(folder_.Add(TestDriver("ORFILE.DLL"), name));
  }
  ManagerPtr manager = Manager(folder_.Path());
  const std::vector<FileDriver> expected = ExpectedCatalogue(folder_.Path());
  ASSERT_EQ(5u, expected.size());
  ExpectCatalogue(manager.get(), expected);
  EXPECT_EQ(3u, manager->FindDriver("ORA")->GetDriverVersion());
  EXPECT_EQ(5u, manager->FindDriver("ORE")->GetDriverVersion());
  EXPECT_EQ(1, manager->FindDriver("ORD")->HasConfigure());
}

TEST_F(Catalogue, ANewerVersionListedLaterMovesItsNameToTheEnd) {
  // Whatever order the system lists in, only the order of the first two files decides.
  const std::vector<std::string> names = {"ORM_V1.DLL", "ORN_V1.DLL", "ORO_V1.DLL"};
  for (const std::string& name : names) ASSERT_TRUE(folder_.Add(TestDriver("ORFILE.DLL"), name));
  const std::vector<std::string> listed = ListedDriverFiles(folder_.Path());
  ASSERT_EQ(3u, listed.size());
  // Give the first-listed file's name a newer version in a file listed after it.
  const std::string firstName = FromFileName(listed[0]).name;
  ASSERT_TRUE(folder_.Add(TestDriver("ORFILE.DLL"), firstName + "_V9.DLL"));
  ManagerPtr manager = Manager(folder_.Path());
  const std::vector<FileDriver> expected = ExpectedCatalogue(folder_.Path());
  ExpectCatalogue(manager.get(), expected);
  EXPECT_EQ(9u, manager->FindDriver(firstName.c_str())->GetDriverVersion());
}

// One name under file names that list apart, so the replaced entry must move past another one,
// and a lower version listed after a higher one must be passed over.
TEST_F(Catalogue, ReplacedEntryMovesPastOthersAndALaterLowerVersionIsPassedOver) {
  const char* const files[] = {"ORA-X_V1.DLL", "ORB-Y_V1.DLL", "ORC-X_V2.DLL", "ORD-X_V1.DLL"};
  for (const char* name : files) ASSERT_TRUE(folder_.Add(TestDriver("ORFILE.DLL"), name));
  const std::vector<std::string> listed = ListedDriverFiles(folder_.Path());
  ASSERT_EQ(4u, listed.size());
  for (size_t i = 0; i < 4; ++i) ASSERT_NE(std::string::npos, listed[i].find(files[i])) << "listing order";
  ManagerPtr manager = Manager(folder_.Path());
  EXPECT_EQ((std::vector<std::string>{"Y", "X"}), CatalogueNames(manager.get()));
  EXPECT_EQ(2u, manager->FindDriver("X")->GetDriverVersion());
  EXPECT_STRCASEEQ(folder_.Join("ORC-X_V2.DLL").c_str(), manager->FindDriver("X")->GetDriverPath());
}

// The folder the plug-in was loaded from (the bundle root is such a folder): the plug-in is no
// driver, and its own SetInterfaceVersion export must not overwrite what the host announced.
TEST_F(Catalogue, ThePluginsOwnFileIsNotCatalogued) {
  plugin_.SetInterfaceVersion(0);
  ManagerPtr manager = Manager(testsupport::ExeDirectory());
  manager->Refresh();
  EXPECT_EQ(0u, plugin_.GetInterfaceVersion());
  ExpectEmptyInfo(manager->FindDriver(ORIN_PLUGIN_TYPE_NAME));
}

TEST_F(Catalogue, NullNamesNeverMatchSoEachGetsItsOwnEntryAndIsNeverFound) {
  ASSERT_TRUE(folder_.Add(TestDriver("ORNULLNAME.DLL"), "ORNULL1.DLL"));
  ASSERT_TRUE(folder_.Add(TestDriver("ORNULLNAME.DLL"), "ORNULL2.DLL"));
  ASSERT_TRUE(folder_.Add(TestDriver("ORFILE.DLL"), "ORNAMED.DLL"));
  ManagerPtr manager = Manager(folder_.Path());
  ASSERT_EQ(3, manager->GetDriverCount());
  int nullNames = 0;
  for (unsigned i = 0; i < 3; ++i) {
    IRoboDriverInfo* info = manager->GetDriverInfo(i);
    if (info->GetDriverName() == nullptr) {
      ++nullNames;
      EXPECT_NE(nullptr, info->GetDriverPath());
    }
  }
  EXPECT_EQ(2, nullNames);
  ExpectEmptyInfo(manager->FindDriver(""));
  ExpectEmptyInfo(manager->FindDriver(nullptr));
}

TEST_F(Catalogue, DriversHearTheVersionTheHostAnnounced) {
  struct Row {
    unsigned host;
    unsigned stored;     // what the plug-in reports afterwards
    LONG announced;      // what a driver is told
  };
  const Row rows[] = {{0, 0, 2}, {1, 1, 2}, {2, 2, 3}, {3, 3, 4}, {4, 4, 5}};
  ASSERT_TRUE(folder_.Add(SampleDriver("ORSAMPLE5.DLL"), "ORSAMPLE5.DLL"));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.host);
    plugin_.SetInterfaceVersion(row.host);
    plugin_.SetInterfaceVersion(5);  // above 4: ignored
    plugin_.SetInterfaceVersion(0xFFFFFFFFu);
    EXPECT_EQ(row.stored, plugin_.GetInterfaceVersion());
    ManagerPtr manager = Manager(folder_.Path());
    EXPECT_EQ(row.announced, counters_.Of("ORSAMPLE5.DLL").lastAnnouncedVersion);
    ASSERT_EQ(1, manager->GetDriverCount());
  }
}

TEST_F(Catalogue, ThreeHundredDriversAreAllListedAndAllReleased) {
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(folder_.Add(TestDriver("ORFILE.DLL"), Numbered("ORMANY%03d.DLL", i)));
  ManagerPtr manager = Manager(folder_.Path());
  ASSERT_EQ(300, manager->GetDriverCount());
  ExpectCatalogue(manager.get(), ExpectedCatalogue(folder_.Path()));
  EXPECT_EQ(300, counters_.TotalAttaches());
  EXPECT_EQ(300, counters_.TotalDetaches());

  manager->Refresh();
  EXPECT_EQ(300, manager->GetDriverCount());
  EXPECT_EQ(600, counters_.TotalAttaches());
  EXPECT_EQ(600, counters_.TotalDetaches());
  EXPECT_NE(nullptr, manager->FindDriver("ORMANY299")->GetDriverPath());
}

TEST_F(Catalogue, RefreshFollowsAFolderThatChanged) {
  for (const char* name : {"ORP_V1.DLL", "ORQ_V1.DLL", "ORR_V1.DLL"}) {
    ASSERT_TRUE(folder_.Add(TestDriver("ORFILE.DLL"), name));
  }
  ManagerPtr manager = Manager(folder_.Path());
  ExpectCatalogue(manager.get(), ExpectedCatalogue(folder_.Path()));

  ASSERT_TRUE(folder_.Remove("ORQ_V1.DLL"));
  ASSERT_TRUE(folder_.Add(TestDriver("ORFILE.DLL"), "ORP_V2.DLL"));
  ASSERT_TRUE(folder_.Add(TestDriver("ORFILE.DLL"), "ORS_V1.DLL"));
  ASSERT_TRUE(folder_.WriteFile("ORBROKEN.DLL", "MZ"));
  manager->Refresh();
  ExpectCatalogue(manager.get(), ExpectedCatalogue(folder_.Path(), "ORBROKEN.DLL"));
  EXPECT_EQ(2u, manager->FindDriver("ORP")->GetDriverVersion());
  ExpectEmptyInfo(manager->FindDriver("ORQ"));

  for (const std::string& path : ListedDriverFiles(folder_.Path())) ASSERT_TRUE(::DeleteFileA(path.c_str()));
  manager->Refresh();
  EXPECT_EQ(0, manager->GetDriverCount());
  EXPECT_EQ(counters_.TotalAttaches(), counters_.TotalDetaches());
}

TEST_F(Catalogue, RefreshLeavesLibrariesOfObjectsHandedOutLoaded) {
  ManagerPtr manager = ManagerOver(SampleDriver("ORSAMPLE5.DLL"), "ORSAMPLE5.DLL");
  DriverPtr driver(manager->CreateDriver(manager->GetDriverInfo(0), 3));
  ASSERT_TRUE(driver);
  manager->Refresh();
  EXPECT_EQ(1, manager->GetDriverCount());
  EXPECT_EQ(1, counters_.Live("ORSAMPLE5.DLL"));
  EXPECT_EQ(1, driver->LoadDisc());  // the object still runs
  driver.reset();
  manager.reset();
  EXPECT_EQ(0, counters_.Live("ORSAMPLE5.DLL"));
}

TEST_F(Catalogue, TwoManagersShareTheHostVersionButNotTheirCataloguesOrLibraries) {
  DriverFolder other;
  ASSERT_TRUE(folder_.Add(SampleDriver("ORSAMPLE5.DLL"), "ORSAMPLE5.DLL"));
  ASSERT_TRUE(other.Add(SampleDriver("ORSAMPLE3.DLL"), "ORSAMPLE3.DLL"));
  ASSERT_TRUE(other.Add(SampleDriver("ORSAMPLE1.DLL"), "ORSAMPLE1.DLL"));
  ManagerPtr first = Manager(folder_.Path());
  ManagerPtr second = Manager(other.Path());
  EXPECT_EQ(1, first->GetDriverCount());
  EXPECT_EQ(2, second->GetDriverCount());
  ExpectEmptyInfo(first->FindDriver("Sample Robot Gen3"));

  plugin_.SetInterfaceVersion(2);
  first->Refresh();
  second->Refresh();
  EXPECT_EQ(3, counters_.Of("ORSAMPLE5.DLL").lastAnnouncedVersion);
  EXPECT_EQ(3, counters_.Of("ORSAMPLE3.DLL").lastAnnouncedVersion);

  DriverPtr driver(first->CreateDriver(first->GetDriverInfo(0), 0));
  ASSERT_TRUE(driver);
  second.reset();
  EXPECT_TRUE(IsLoaded(folder_.Join("ORSAMPLE5.DLL")));
  EXPECT_EQ(1, driver->Initialize());
  driver.reset();
  first.reset();
  EXPECT_FALSE(IsLoaded(folder_.Join("ORSAMPLE5.DLL")));
}

// A host may refresh for hours; each load and unload must give back all it took (a driver that
// kept a thread-local slot per load stopped the process after about a thousand loads).
TEST_F(Catalogue, ThousandsOfLoadsLeaveNothingBehind) {
  ASSERT_TRUE(folder_.Add(SampleDriver("ORSAMPLE5.DLL"), "ORSAMPLE5.DLL"));
  ASSERT_TRUE(folder_.Add(SampleDriver("ORSAMPLE1.DLL"), "ORSAMPLE1.DLL"));
  ManagerPtr manager = Manager(folder_.Path());
  for (int i = 0; i < 800; ++i) manager->Refresh();
  EXPECT_EQ(2, manager->GetDriverCount());
  EXPECT_EQ(1602, counters_.TotalAttaches());
  EXPECT_EQ(counters_.TotalAttaches(), counters_.TotalDetaches());
}

TEST_F(Catalogue, AnyDirectoryTextYieldsAManager) {
  const std::string longText = folder_.Path() + "\\" + std::string(5000, 'd');
  const char* const texts[] = {nullptr, "", ".", "no such folder", "C:\\", "\\\\?\\", "OR*.DLL\\??",
                               "\xC3\xA9t\xC3\xA9\\\xE4\xB8\xAD", longText.c_str()};
  for (const char* text : texts) {
    SCOPED_TRACE(text ? std::string(text).substr(0, 60) : "(null)");
    ManagerPtr manager(plugin_.Create(text), ManagerDeleter{&plugin_});
    ASSERT_TRUE(manager);
    EXPECT_GE(manager->GetDriverCount(), 0);
    manager->Refresh();
  }
}

TEST_F(Catalogue, ARelativeFolderIsReadFromTheCurrentDirectoryAndListedWithFullPathsButNoFolderIsNone) {
  ASSERT_TRUE(folder_.Add(SampleDriver("ORSAMPLE4.DLL"), "ORSAMPLE4.DLL"));
  char previous[MAX_PATH];
  ASSERT_NE(0u, ::GetCurrentDirectoryA(MAX_PATH, previous));
  const std::string parent = folder_.Path().substr(0, folder_.Path().rfind('\\'));
  const std::string leaf = folder_.Path().substr(parent.size() + 1);
  ASSERT_TRUE(::SetCurrentDirectoryA(parent.c_str()));
  ManagerPtr manager = Manager(leaf);
  // No directory at all is the empty text, which names no folder, not even the current one.
  ASSERT_TRUE(::SetCurrentDirectoryA(folder_.Path().c_str()));
  ManagerPtr unnamed(plugin_.Create(nullptr), ManagerDeleter{&plugin_});
  ManagerPtr empty = Manager("");
  ::SetCurrentDirectoryA(previous);
  EXPECT_EQ(0, unnamed->GetDriverCount());
  EXPECT_EQ(0, empty->GetDriverCount());
  ASSERT_EQ(1, manager->GetDriverCount());
  EXPECT_STRCASEEQ(folder_.Join("ORSAMPLE4.DLL").c_str(), manager->GetDriverInfo(0)->GetDriverPath());
  // The entry stays usable after the current directory moved on.
  DriverPtr driver(manager->CreateDriver(manager->GetDriverInfo(0), 1));
  EXPECT_TRUE(driver);
}
