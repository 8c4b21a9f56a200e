// The robot simulator VTROBOTS20.DLL, loaded from a fresh folder with its own INI file: its
// exports, how it reads nonsense settings, the bounds of what it writes, and its call log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "StationWindows.h"
#include "TestSupport.h"
#include "vtrobots/VTRobots.h"

namespace {

using InitFn = VtResult(__stdcall*)(int32_t);
using ConnectFn = VtResult(__stdcall*)(int32_t*, VtRobotHandle*, int32_t*, uint8_t*);
using InfoFn = VtResult(__stdcall*)(VtRobotHandle, char*, char*, int32_t);
using MessageFn = VtResult(__stdcall*)(VtRobotHandle, char*);
using DrivesFn = VtResult(__stdcall*)(VtRobotHandle, int32_t*, char (*)[VT_ROBOTS_DRIVE_ENTRY_SIZE]);
using MoveFn = VtResult(__stdcall*)(char, int32_t, int32_t, int32_t);
using ParkFn = VtResult(__stdcall*)(VtRobotHandle);
using CloseFn = VtResult(__stdcall*)();

// One copy of the simulator in its own folder; unloaded again at the end, so that the next copy
// starts from scratch.
class Simulator {
 public:
  explicit Simulator(const std::string& ini) : folder_("vtsim") {
    const std::string dll = folder_.Join("VTROBOTS20.DLL");
    CopyFileA((testsupport::ExeDirectory() + "vtrobots-sim\\VTROBOTS20.DLL").c_str(), dll.c_str(), FALSE);
    if (!ini.empty()) folder_.WriteFile("VTROBOTS20.INI", ini);
    module_ = LoadLibraryA(dll.c_str());
  }
  ~Simulator() {
    if (module_) FreeLibrary(module_);
  }
  bool Loaded() const { return module_ != nullptr; }
  template <class Fn>
  Fn Get(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  std::string Log() const { return testsupport::ReadWholeFile(folder_.Join("sim.log")); }

 private:
  testsupport::TempDir folder_;
  HMODULE module_ = nullptr;
};

const char kLogSetting[] = "[Log]\nFile=sim.log\n";

}  // namespace

TEST(Simulator, ExportsTheTenCallsUnderPlainNames) {
  Simulator sim("");
  ASSERT_TRUE(sim.Loaded());
  for (const char* name : {"VT_Robots_Init", "VT_Robots_Connect", "VT_Robots_GetRobotInfo", "VT_Robots_Active",
                           "VT_Robots_GetMessage", "VT_Robots_EnumDrives", "VT_Robots_LoadDrive",
                           "VT_Robots_UnloadDrive", "VT_Robots_Park", "VT_Robots_Close"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(sim.Get<void*>(name), nullptr);
  }
}

TEST(Simulator, SettingsOutOfRangeAreClampedAndNonsenseKeepsDefaults) {
  struct Row {
    const char* ini;
    int32_t count;
    char drive;
    VtResult load;
  };
  const Row rows[] = {
      {"", 1, 'E', 0},
      {"[Robots]\nCount=3\nDrive=g\n[Results]\nLoadDrive=400\n", 3, 'G', 400},
      {"[Robots]\nCount=99\n[Results]\nLoadDrive=-1\n", 26, 'E', -1},
      {"[Robots]\nCount=-4\nDrive=7\n", 0, 0, 0},
      {"[Robots]\nCount=two\nDrive=\n[Results]\nLoadDrive=fail\n", 1, 'E', 0},
      {"[Robots]\nCount=99999999999999999999\n[Results]\nLoadDrive=-99999999999999\n", 26, 'E', INT32_MIN},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.ini);
    Simulator sim(row.ini);
    ASSERT_TRUE(sim.Loaded());
    int32_t count = 0;
    VtRobotHandle handles[VT_ROBOTS_MAX_ROBOTS] = {};
    int32_t table2[VT_ROBOTS_MAX_ROBOTS] = {};
    uint8_t table3[VT_ROBOTS_MAX_ROBOTS] = {};
    EXPECT_EQ(sim.Get<InitFn>("VT_Robots_Init")(0), 0);
    sim.Get<ConnectFn>("VT_Robots_Connect")(&count, handles, table2, table3);
    EXPECT_EQ(count, row.count);
    char drives[VT_ROBOTS_MAX_ROBOTS][VT_ROBOTS_DRIVE_ENTRY_SIZE] = {};
    int32_t info[2] = {};
    sim.Get<DrivesFn>("VT_Robots_EnumDrives")(handles[0], info, drives);
    EXPECT_EQ(drives[0][0], row.drive);
    EXPECT_EQ(sim.Get<MoveFn>("VT_Robots_LoadDrive")('E', 0, 1, 0), row.load);
  }
}

TEST(Simulator, NeverWritesPastTheContractSizes) {
  const std::string longName(400, 'n');
  Simulator sim("[Robots]\nCount=26\nName0=" + longName + "\n");
  ASSERT_TRUE(sim.Loaded());
  struct Tables {
    int32_t count;
    VtRobotHandle handles[VT_ROBOTS_MAX_ROBOTS];
    int32_t table2[VT_ROBOTS_MAX_ROBOTS];
    uint8_t table3[VT_ROBOTS_MAX_ROBOTS];
    unsigned char guard[16];
  } tables;
  std::memset(&tables, 0xCC, sizeof tables);
  tables.count = 0;
  sim.Get<ConnectFn>("VT_Robots_Connect")(&tables.count, tables.handles, tables.table2, tables.table3);
  EXPECT_EQ(tables.count, 26);
  for (unsigned char byte : tables.guard) EXPECT_EQ(byte, 0xCC);

  for (int32_t size : {256, 10, 1}) {
    SCOPED_TRACE(size);
    char name[300], info[300];
    std::memset(name, 0xCC, sizeof name);
    std::memset(info, 0xCC, sizeof info);
    sim.Get<InfoFn>("VT_Robots_GetRobotInfo")(tables.handles[0], name, info, size);
    EXPECT_EQ(std::strlen(name), static_cast<size_t>(size - 1));
    for (int i = size; i < 300; ++i) ASSERT_EQ(static_cast<unsigned char>(name[i]), 0xCC) << i;
    for (int i = size; i < 300; ++i) ASSERT_EQ(static_cast<unsigned char>(info[i]), 0xCC) << i;
  }
  // A size larger than the contract's buffers is still held to 256 bytes.
  char name[600];
  std::memset(name, 0xCC, sizeof name);
  char info[600];
  sim.Get<InfoFn>("VT_Robots_GetRobotInfo")(tables.handles[0], name, info, 600);
  EXPECT_EQ(std::strlen(name), 255u);
  EXPECT_EQ(static_cast<unsigned char>(name[256]), 0xCC);

  struct DriveBlock {
    int32_t info[2];
    char drives[VT_ROBOTS_MAX_ROBOTS][VT_ROBOTS_DRIVE_ENTRY_SIZE];
    unsigned char guard[16];
  } block;
  std::memset(&block, 0xCC, sizeof block);
  sim.Get<DrivesFn>("VT_Robots_EnumDrives")(tables.handles[0], block.info, block.drives);
  EXPECT_EQ(block.drives[0][0], 'E');
  EXPECT_EQ(block.info[1], static_cast<int32_t>(0xCCCCCCCC)) << "only the first 4 of the 8 bytes are used";
  for (unsigned char byte : block.guard) EXPECT_EQ(byte, 0xCC);
}

TEST(Simulator, LogShowsEachCallWithArgumentsAndFlagsBrokenRules) {
  Simulator sim(std::string("[Delays]\nLoadMs=300\n") + kLogSetting);
  ASSERT_TRUE(sim.Loaded());
  auto load = sim.Get<MoveFn>("VT_Robots_LoadDrive");
  sim.Get<InitFn>("VT_Robots_Init")(0);
  sim.Get<MoveFn>("VT_Robots_UnloadDrive")('F', 0, 4, 0);
  std::string log = sim.Log();
  EXPECT_NE(log.find("> VT_Robots_Init(0)"), std::string::npos) << log;
  EXPECT_NE(log.find("> VT_Robots_UnloadDrive('F', 0, 4, 0)"), std::string::npos) << log;
  EXPECT_NE(log.find("< VT_Robots_UnloadDrive = 0"), std::string::npos) << log;
  EXPECT_EQ(log.find("! "), std::string::npos) << log;

  std::thread other([&] { load('E', 0, 1, 0); });
  // The second call goes in while the first is surely inside the library.
  const DWORD start = GetTickCount();
  while (sim.Log().find("> VT_Robots_LoadDrive('E'") == std::string::npos && GetTickCount() - start < 60000) Sleep(5);
  load(0, 0, 1, 0);
  other.join();
  sim.Get<CloseFn>("VT_Robots_Close")();
  sim.Get<ParkFn>("VT_Robots_Park")(0x5100);
  log = sim.Log();
  EXPECT_NE(log.find("! OVERLAP VT_Robots_LoadDrive"), std::string::npos) << log;
  EXPECT_NE(log.find("> VT_Robots_LoadDrive(0x00, 0, 1, 0)"), std::string::npos) << log;
  EXPECT_NE(log.find("! AFTER-CLOSE VT_Robots_Park"), std::string::npos) << log;
}
