// orinhost.exe run as a script would run it: exit codes and what it prints.
#include <gtest/gtest.h>

#include "DriverTestSupport.h"

namespace {

struct ToolRun {
  DWORD exitCode = 0xFFFFFFFFu;
  std::string output;
};

// Runs orinhost with arguments, its output going to a file; gives up after 60 seconds.
ToolRun RunHostTool(const std::string& arguments, const testsupport::TempDir& scratch) {
  ToolRun run;
  const std::string outputPath = scratch.Join("output.txt");
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE output = ::CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) return run;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  std::string commandLine = "\"" + testsupport::ExeDirectory() + "orinhost.exe\" " + arguments;
  PROCESS_INFORMATION process = {};
  const BOOL started = ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
  ::CloseHandle(output);
  if (!started) return run;
  if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.hProcess, 99);
    ::WaitForSingleObject(process.hProcess, 5000);
  }
  ::GetExitCodeProcess(process.hProcess, &run.exitCode);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  run.output = testsupport::ReadWholeFile(outputPath);
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
