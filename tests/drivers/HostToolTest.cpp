// orinhost.exe run as a script would run it: exit codes and what it prints.
#include <gtest/gtest.h>

#include "DriverTestSupport.h"
#include "ProcessStart.h"

namespace {

struct ToolRun {
  DWORD exitCode = 0xFFFFFFFFu;
  std::string output;  // what it printed, or why it could not be run
};

// Runs orinhost with arguments, its output going to a file; gives up after 60 seconds.
ToolRun RunHostTool(const std::string& arguments, const testsupport::TempDir& scratch) {
  ToolRun run;
  const std::string outputPath = scratch.Join("output.txt");
  testsupport::StartedProcess tool = testsupport::StartProcess(
      "\"" + testsupport::ExeDirectory() + "orinhost.exe\" " + arguments, {"", outputPath});
  if (!tool) {
    run.output = "orinhost.exe not started: " + tool.Failure();
    return run;
  }
  if (!tool.Wait(60000, &run.exitCode)) run.output = "orinhost.exe did not end within 60 s\n";
  run.output += testsupport::ReadWholeFile(outputPath);
  return run;
}

}  // namespace

TEST(HostTool, AnswersEachCommandWithItsExitCodeAndOutput) {
  testsupport::TempDir scratch("host");
  ASSERT_TRUE(scratch.MakeDir("empty"));
  struct Row {
    std::string arguments;
    DWORD exitCode;
    const char* printed;
  };
  const Row rows[] = {
      {"", 0, "OrinCDRoboManager"},
      {"list", 0, "4 driver(s)"},
      {"list --json", 0, "\"name\": \"Sample Robot Gen5\", \"version\": 7, \"interfaceVersion\": 5"},
      {"list --dir \"" + scratch.Join("empty") + "\"", 0, "0 driver(s)"},
      // A folder that cannot be listed is no empty catalogue.
      {"list --dir \"" + scratch.Join("missing") + "\"", 7, "cannot open the driver folder"},
      {"list --dir \"" + testsupport::ExeDirectory() + "orinhost.exe\"", 7, "is a file"},
      {"list --dir \"" + testsupport::ExeDirectory() + "drivers\\OR*.DLL\"", 7, "not a pattern"},
      {"list --dir \"\"", 7, "names no folder"},
      {"create \"Sample Robot Gen3\" --arg 4", 0, "GetBinCount                  = 4"},
      {"create \"Sample Robot Gen5\" --v2 --arg 2 --arg2 1", 0, "CreateDriverV2(Sample Robot Gen5, 2, 1) = driver"},
      {"configure --index 0", 0, ") = 1"},
      {"configure \"Sample Robot Gen4\" --v2 --arg 5 --arg2 6", 0, "= 11"},
      {"firmware \"Sample Robot Gen5\" --drive 9", 0, "IsDriveSupported(9)          = no"},
      {"firmware \"Sample Robot Gen1\"", 5, "= null"},
      {"create \"No Such Robot\"", 4, "no driver"},
      {"create", 1, "needs a driver name"},
      {"list --arg", 1, "needs a number"},
      {"create --index 4294967295", 1, "out of range"},
      {"create --index 99", 4, "no driver"},
      {"fly", 1, "unknown command"},
      {"--plugin \"" + scratch.Join("missing.dll") + "\"", 2, "cannot load"},
      {"help", 0, "exit codes"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("orinhost " + row.arguments);
    const ToolRun run = RunHostTool(row.arguments, scratch);
    EXPECT_EQ(row.exitCode, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find(row.printed)) << run.output;
  }
}

TEST(HostTool, CheckPassesTheSampleDriversAndNamesWhatFailsInTheOddOnes) {
  testsupport::TempDir scratch("check");
  ASSERT_TRUE(scratch.WriteFile("ORTEXT.DLL", "not a program\r\n"));
  // A backup copy beside a driver: the OR*.DLL search finds it through its 8.3 short name.
  ASSERT_TRUE(::CopyFileA((testsupport::ExeDirectory() + "drivers\\ORSAMPLE5.DLL").c_str(),
                          scratch.Join("ORBACKUP.DLL-1").c_str(), FALSE));
  struct Row {
    std::string file;
    std::string options;
    DWORD exitCode;
    std::vector<const char*> printed;
  };
  std::vector<Row> rows = {
      {"drivers\\ORSAMPLE1.DLL", "", 0, {"ok    driver     SelfTest = 1"}},
      {"drivers\\ORSAMPLE3.DLL", "", 0, {"ok    driver     GetBinCount = 24"}},
      {"drivers\\ORSAMPLE4.DLL", "", 0, {"ok    destroy    firmware check destroyed"}},
      {"drivers\\ORSAMPLE5.DLL", "", 0, {"ok    firmware   GetRequiredFirmware = 272"}},
      {"testdrivers\\ORNOVERSION.DLL", "", 6, {"FAIL  export     ORIN_PLUGIN_GetVersion missing (required)"}},
      {"testdrivers\\ORIFACE6.DLL", "", 6, {"would not catalogue it: interface version 6 is above 5"}},
      {"testdrivers\\ORIFACEHIGH.DLL", "", 6, {"would not catalogue it: interface version 4294967295 is above 5"}},
      {"testdrivers\\ORREFUSE.DLL", "", 6, {"FAIL  load       LoadLibraryA failed: DllMain refused the load"}},
      {"testdrivers\\ORNULLCREATE.DLL", "", 6, {"FAIL  create     orinrobodriverV2_createdriver(0, 0) = null"}},
      // What a driver prints or answers cannot make or hide a finding.
      {"testdrivers\\ORFORGE.DLL", "", 6, {"FAIL  create     orinrobodriver_createdriver(0) = null", "Forge\\nok\\t"}},
      {"testdrivers\\ORFORGEREC.DLL", "", 6, {"FAIL  check"}},
      {"testdrivers\\ORCRASH.DLL", "", 6, {"FAIL  driver     Park: the library crashed (exception 0xC0000005"}},
      {"testdrivers\\ORBREAK.DLL", "", 6, {"FAIL  driver     Park: the library crashed (exception 0x80000003"}},
      {"testdrivers\\ORTHROW.DLL", "", 6, {"FAIL  driver     Park: ", "robot arm jammed"}},
      // Each call has its own limit: the calls before GetBinCount take longer than that together.
      {"testdrivers\\ORSLOW.DLL", " --timeout 3", 6,
       {"ok    driver     SelfTest = 1", "FAIL  driver     GetBinCount: no answer within 3 s"}},
      {"testdrivers\\ORCRASH.DLL", " --no-calls", 0, {"ok    destroy    driver destroyed"}},
      {scratch.Join("ORBACKUP.DLL-1"), "", 0, {"ok    catalogue  the plug-in would catalogue it"}},
      {scratch.Join("ORTEXT.DLL"), "", 6, {"FAIL  file       not a PE image"}},
      {scratch.Join("ORMISSING.DLL"), "", 6, {"FAIL  file       cannot open"}},
      // A trailing backslash must not swallow the quote that ends the argument.
      {scratch.Path() + "\\", "", 6, {"FAIL  file       cannot open"}},
  };
#if defined(ORIN_MSABI_DRIVERS)
  for (const char* file : {"ORMSABI1.DLL", "ORMSABI3.DLL", "ORMSABI4.DLL", "ORMSABI5.DLL"}) {
    rows.push_back({std::string("msdrivers\\") + file, "", 0, {"ok    unload     FreeLibrary"}});
  }
#endif
  for (const Row& row : rows) {
    const std::string path = row.file.find(':') == std::string::npos ? testsupport::ExeDirectory() + row.file : row.file;
    SCOPED_TRACE(path + row.options);
    // Quoted as the C run-time reads it back: a backslash before the closing quote is doubled.
    const std::string quoted = path.back() == '\\' ? path + "\\" : path;
    const ToolRun run = RunHostTool("check \"" + quoted + "\"" + row.options, scratch);
    EXPECT_EQ(row.exitCode, run.exitCode);
    for (const char* printed : row.printed) EXPECT_NE(std::string::npos, run.output.find(printed)) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(row.exitCode ? "FAILED: " : "passed: ")) << run.output;
  }
  const ToolRun json = RunHostTool("check \"" + testsupport::ExeDirectory() + "drivers\\ORSAMPLE4.DLL\" --json", scratch);
  EXPECT_EQ(0u, json.exitCode);
  EXPECT_NE(std::string::npos, json.output.find("\"passed\": true, \"name\": \"Sample Robot Gen4\", \"version\": 1, "
                                                "\"interfaceVersion\": 4, \"catalogued\": true")) << json.output;
  const ToolRun forged = RunHostTool("check \"" + testsupport::ExeDirectory() + "testdrivers\\ORFORGE.DLL\" --json", scratch);
  EXPECT_EQ(6u, forged.exitCode);
  EXPECT_NE(std::string::npos, forged.output.find("\"passed\": false")) << forged.output;
  EXPECT_EQ(std::string::npos, forged.output.find('\t')) << forged.output;
}

// The file checked is the one the path names from the current folder, not one the loader's
// search order prefers (orinhost's own folder holds a drivers\ORSAMPLE5.DLL too).
TEST(HostTool, CheckTakesARelativePathFromTheCurrentFolder) {
  testsupport::TempDir scratch("relative");
  ASSERT_TRUE(scratch.MakeDir("drivers"));
  ASSERT_TRUE(::CopyFileA((testsupport::ExeDirectory() + "testdrivers\\ORIFACE6.DLL").c_str(),
                          scratch.Join("drivers\\ORSAMPLE5.DLL").c_str(), FALSE));
  char previous[MAX_PATH];
  ASSERT_NE(0u, ::GetCurrentDirectoryA(MAX_PATH, previous));
  ASSERT_TRUE(::SetCurrentDirectoryA(scratch.Path().c_str()));
  const ToolRun run = RunHostTool("check drivers\\ORSAMPLE5.DLL", scratch);
  ::SetCurrentDirectoryA(previous);
  EXPECT_EQ(6u, run.exitCode);
  EXPECT_NE(std::string::npos, run.output.find("interface version 6 is above 5")) << run.output;
}

#if defined(ORIN_MSABI_DRIVERS)
// The tool is a g++ host: it meets the Microsoft-ABI drivers through the plug-in.
TEST(HostTool, DrivesTheMicrosoftAbiDriversThroughThePlugin) {
  testsupport::TempDir scratch("msabi");
  const std::string dir = " --dir \"" + testsupport::ExeDirectory() + "msdrivers\"";
  const ToolRun list = RunHostTool("list" + dir, scratch);
  EXPECT_EQ(0u, list.exitCode);
  EXPECT_NE(std::string::npos, list.output.find("4 driver(s)")) << list.output;
  for (int gen : {1, 3, 4, 5}) {
    const std::string name = "\"MS-ABI Robot Gen" + std::to_string(gen) + "\"";
    for (const char* v2 : {"", " --v2"}) {
      const ToolRun run = RunHostTool("create " + name + v2 + " --arg 4" + dir, scratch);
      EXPECT_EQ(0u, run.exitCode) << run.output;
      // Generation 1 has no bin count of its own: the adapter answers 1.
      EXPECT_NE(std::string::npos, run.output.find(gen == 1 ? "GetBinCount                  = 1"
                                                             : "GetBinCount                  = 4")) << run.output;
      EXPECT_NE(std::string::npos, run.output.find("destroyed")) << run.output;
    }
    const ToolRun firmware = RunHostTool("firmware " + name + dir, scratch);
    EXPECT_EQ(gen >= 4 ? 0u : 5u, firmware.exitCode) << firmware.output;
  }
}
#endif

TEST(HostTool, AProgramThatCannotBeStartedNamesTheStepAndTheCode) {
  testsupport::TempDir scratch("nostart");
  testsupport::StartedProcess missing = testsupport::StartProcess("\"" + scratch.Join("missing.exe") + "\"");
  EXPECT_FALSE(missing);
  EXPECT_EQ("CreateProcessA failed (error 2)", missing.Failure());
  testsupport::StartedProcess noFolder =
      testsupport::StartProcess("\"" + testsupport::ExeDirectory() + "orinhost.exe\" help",
                                {"", scratch.Join("no such folder\\output.txt")});
  EXPECT_EQ("CreateFileA(output) failed (error 3)", noFolder.Failure());
}
