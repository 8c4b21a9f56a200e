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
  struct Row {
    std::string file;
    DWORD exitCode;
    const char* printed;
  };
  std::vector<Row> rows = {
      {"drivers\\ORSAMPLE1.DLL", 0, "ok    driver     SelfTest = 1"},
      {"drivers\\ORSAMPLE3.DLL", 0, "ok    driver     GetBinCount = 24"},
      {"drivers\\ORSAMPLE4.DLL", 0, "ok    destroy    firmware check destroyed"},
      {"drivers\\ORSAMPLE5.DLL", 0, "ok    firmware   GetRequiredFirmware = 272"},
      {"testdrivers\\ORNOVERSION.DLL", 6, "FAIL  export     ORIN_PLUGIN_GetVersion missing (required)"},
      {"testdrivers\\ORIFACE6.DLL", 6, "would not catalogue it: interface version 6 is above 5"},
      {"testdrivers\\ORREFUSE.DLL", 6, "FAIL  load       LoadLibraryA failed: DllMain refused the load"},
      {"testdrivers\\ORNULLCREATE.DLL", 6, "FAIL  create     orinrobodriverV2_createdriver(0, 0) = null"},
      {"testdrivers\\ORCRASH.DLL", 6, "FAIL  driver     Park: the library crashed (exception 0x"},
      {scratch.Join("ORTEXT.DLL"), 6, "FAIL  file       not a PE image"},
  };
#if defined(ORIN_MSABI_DRIVERS)
  for (const char* file : {"ORMSABI1.DLL", "ORMSABI3.DLL", "ORMSABI4.DLL", "ORMSABI5.DLL"}) {
    rows.push_back({std::string("msdrivers\\") + file, 0, "ok    unload     FreeLibrary"});
  }
#endif
  for (const Row& row : rows) {
    const std::string path = row.file.find(':') == std::string::npos ? testsupport::ExeDirectory() + row.file : row.file;
    SCOPED_TRACE(path);
    const ToolRun run = RunHostTool("check \"" + path + "\"", scratch);
    EXPECT_EQ(row.exitCode, run.exitCode);
    EXPECT_NE(std::string::npos, run.output.find(row.printed)) << run.output;
    EXPECT_NE(std::string::npos, run.output.find(row.exitCode ? "FAILED: " : "passed: ")) << run.output;
  }
  const ToolRun json = RunHostTool("check \"" + testsupport::ExeDirectory() + "drivers\\ORSAMPLE4.DLL\" --json", scratch);
  EXPECT_EQ(0u, json.exitCode);
  EXPECT_NE(std::string::npos, json.output.find("\"passed\": true, \"name\": \"Sample Robot Gen4\", \"version\": 1, "
                                                "\"interfaceVersion\": 4, \"catalogued\": true")) << json.output;
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
