// orinhost.exe run as a script would run it: exit codes and what it prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

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

// The JSON string literal that starts at json[at] as a reader decodes it; `at` moves past it.
// Fails the test on what JSON does not allow.
std::wstring DecodeJsonString(const std::string& json, size_t& at) {
  std::wstring text;
  std::string raw;  // UTF-8 between escapes
  auto flush = [&]() {
    wchar_t wide[1024];
    const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, raw.data(), static_cast<int>(raw.size()), wide, 1024);
    EXPECT_TRUE(raw.empty() || units > 0) << "not UTF-8: " << raw;
    text.append(wide, units > 0 ? static_cast<size_t>(units) : 0);
    raw.clear();
  };
  EXPECT_EQ('"', json[at]);
  for (++at; at < json.size() && json[at] != '"'; ++at) {
    const unsigned char c = static_cast<unsigned char>(json[at]);
    EXPECT_GE(c, 0x20) << "raw control character in a JSON string";
    if (c != '\\') {
      raw += static_cast<char>(c);
      continue;
    }
    flush();
    const char escape = json[++at];
    const std::string simple = "\"\\/bfnrt";
    const wchar_t meant[] = L"\"\\/\b\f\n\r\t";
    if (simple.find(escape) != std::string::npos) {
      text += meant[simple.find(escape)];
    } else {
      EXPECT_EQ('u', escape);
      text += static_cast<wchar_t>(std::stoul(json.substr(at + 1, 4), nullptr, 16));
      at += 4;
    }
  }
  flush();
  ++at;
  return text;
}

// The value after "key": in json from `from` on: a string decoded, anything else as written.
std::wstring JsonValue(const std::string& json, const std::string& key, size_t from = 0) {
  size_t at = json.find("\"" + key + "\": ", from);
  if (at == std::string::npos) return L"(no " + std::wstring(key.begin(), key.end()) + L")";
  at += key.size() + 4;
  if (json[at] == '"') return DecodeJsonString(json, at);
  const size_t end = json.find_first_of(",}]", at);
  return std::wstring(json.begin() + static_cast<std::ptrdiff_t>(at), json.begin() + static_cast<std::ptrdiff_t>(end));
}

// Every finding's text, decoded, with its status and check in front ("fail check ...").
std::vector<std::wstring> JsonFindings(const std::string& json) {
  std::vector<std::wstring> findings;
  for (size_t at = json.find("{\"status\": "); at != std::string::npos; at = json.find("{\"status\": ", at + 1)) {
    findings.push_back(JsonValue(json, "status", at) + L" " + JsonValue(json, "check", at) + L" " +
                       JsonValue(json, "text", at));
  }
  return findings;
}

std::wstring Ansi(const std::string& text) {
  wchar_t wide[1024];
  const int units = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 1024);
  return std::wstring(wide, units > 0 ? static_cast<size_t>(units - 1) : 0);
}

}  // namespace

TEST(HostTool, AnswersEachCommandWithItsExitCodeAndOutput) {
  testsupport::TempDir scratch("host");
  ASSERT_TRUE(scratch.MakeDir("empty"));
  // Two files that give the same name and version: one is listed, the other passed over.
  ASSERT_TRUE(scratch.MakeDir("twice"));
  for (const char* copy : {"twice\\ORSAMPLE5.DLL", "twice\\ORCOPY5.DLL"}) {
    ASSERT_TRUE(::CopyFileA((testsupport::ExeDirectory() + "drivers\\ORSAMPLE5.DLL").c_str(), scratch.Join(copy).c_str(),
                            FALSE));
  }
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
      {"list --dir \"" + scratch.Join("twice") + "\"", 0, "1 driver(s)\r\n#0: same name and version in "},
      {"list --json --dir \"" + scratch.Join("twice") + "\"", 0, "5.DLL\", \"sameNameAndVersion\": [\""},
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
  // A driver built for the other flavour's machine: a copy with the machine field changed.
  std::string image = testsupport::ReadWholeFile(testsupport::ExeDirectory() + "drivers\\ORSAMPLE5.DLL");
  ASSERT_GT(image.size(), 0x100u);
  const size_t machine = static_cast<unsigned char>(image[0x3C]) + 4u + (static_cast<unsigned char>(image[0x3D]) << 8);
#if defined(_WIN64)
  image.replace(machine, 2, "\x4C\x01", 2);
  const char* otherMachine = "FAIL  file       a 32-bit x86 image (machine 0x014C): this 64-bit orinhost.exe";
#else
  image.replace(machine, 2, "\x64\x86", 2);
  const char* otherMachine = "FAIL  file       a 64-bit x64 image (machine 0x8664): this 32-bit orinhost.exe";
#endif
  ASSERT_TRUE(scratch.WriteFile("ORMACHINE.DLL", image));
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
      // Traps the check names the cause of.
      {"testdrivers\\ORMANGLED.DLL", "", 6,
       {"FAIL  export     orinrobodriver_firmwarecheck missing (required): the library exports "
        "_Z28orinrobodriver_firmwarecheckj, a C++ (mangled) name",
        "FAIL  catalogue  would not be usable as interface 5: orinrobodriver_firmwarecheck is missing, so "
        "CreateFirmwareCheck answers null"}},
      {"testdrivers\\ORNOCREATE.DLL", "", 6,
       {"FAIL  catalogue  would not be usable as interface 5: orinrobodriver_createdriver is missing, so CreateDriver "
        "answers null; orinrobodriverV2_createdriver is missing, so CreateDriverV2 answers null; "
        "orinrobodriverV2_configuredriver is missing, so ConfigureDriverV2 answers 0; orinrobodriver_firmwarecheck is "
        "missing, so CreateFirmwareCheck answers null (the plug-in would still catalogue it)"}},
      // Calling past the table's end would crash; the check stops there and still destroys it.
      {"testdrivers\\ORSHORTFW.DLL", "", 6,
       {"FAIL  firmware   function table ends after entry 4 of the 5 that interface 5 needs: the "
        "IRoboFirmwareCheckV4 layout", "ok    destroy    firmware check destroyed", "ok    unload"}},
      {"testdrivers\\ORHEAPOBJ.DLL", " --no-calls", 6,
       {"FAIL  destroy    the firmware check's memory is still allocated after its destructor slot ran"}},
      {scratch.Join("ORMACHINE.DLL"), "", 6, {otherMachine}},
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
}

// The JSON carries each text exactly: decoded, it gives back the driver's bytes. Run under code
// page 1252 and, as test_host_tool_ja_JP, under 932.
TEST(HostTool, CheckJsonCarriesEachTextExactly) {
  testsupport::TempDir scratch("json");
  const ToolRun json = RunHostTool("check \"" + testsupport::ExeDirectory() + "drivers\\ORSAMPLE4.DLL\" --json", scratch);
  EXPECT_EQ(0u, json.exitCode);
  EXPECT_EQ(L"true", JsonValue(json.output, "passed")) << json.output;
  EXPECT_EQ(L"Sample Robot Gen4", JsonValue(json.output, "name"));
  EXPECT_EQ(L"1", JsonValue(json.output, "version"));
  EXPECT_EQ(L"4", JsonValue(json.output, "interfaceVersion"));
  const ToolRun forged = RunHostTool("check \"" + testsupport::ExeDirectory() + "testdrivers\\ORFORGE.DLL\" --json", scratch);
  EXPECT_EQ(6u, forged.exitCode);
  EXPECT_EQ(L"false", JsonValue(forged.output, "passed")) << forged.output;
  // 0xE9 is a letter in code page 1252, and a lead byte without its trail byte in 932: a byte the
  // code page cannot decode comes back as the unpaired surrogate U+DCE9.
  const std::wstring name = Ansi("Forge\nok\tcatalogue\tthe plug-in would catalogue it\r\nC:\\new ") +
                            (::GetACP() == 932 ? std::wstring(1, L'\xDCE9') : Ansi("\xE9"));
  EXPECT_EQ(name, JsonValue(forged.output, "name")) << forged.output;
  const std::vector<std::wstring> findings = JsonFindings(forged.output);
  for (const std::wstring& expected : {L"info name " + name, std::wstring(L"info output no robot connectedok\tcreate\tforged")}) {
    EXPECT_NE(findings.end(), std::find(findings.begin(), findings.end(), expected)) << forged.output;
  }
  const ToolRun records = RunHostTool("check \"" + testsupport::ExeDirectory() + "testdrivers\\ORFORGEREC.DLL\" --json", scratch);
  const std::vector<std::wstring> forgedRecords = JsonFindings(records.output);
  EXPECT_NE(forgedRecords.end(), std::find(forgedRecords.begin(), forgedRecords.end(),
                                           L"fail check a record the check process does not write: no robot here"))
      << records.output;
  // Catalogued, but not usable at its interface version.
  const ToolRun mangled = RunHostTool("check \"" + testsupport::ExeDirectory() + "testdrivers\\ORMANGLED.DLL\" --json", scratch);
  EXPECT_EQ(L"false", JsonValue(mangled.output, "passed")) << mangled.output;
  EXPECT_EQ(L"true", JsonValue(mangled.output, "catalogued")) << mangled.output;
}

// A driver that starts a process and then hangs: the check reports, and the process is gone.
TEST(HostTool, CheckEndsTheProcessesTheDriverStarted) {
  testsupport::TempDir scratch("starter");
  const std::string idFile = scratch.Join("process-id.txt");
  ASSERT_TRUE(::SetEnvironmentVariableA("ORIN_SAMPLE_PROCESS_ID_FILE", idFile.c_str()));
  const ToolRun run = RunHostTool("check \"" + testsupport::ExeDirectory() + "testdrivers\\ORSTARTER.DLL\" --timeout 3", scratch);
  ::SetEnvironmentVariableA("ORIN_SAMPLE_PROCESS_ID_FILE", nullptr);
  EXPECT_EQ(6u, run.exitCode);
  EXPECT_NE(std::string::npos, run.output.find("FAIL  driver     GetBinCount: no answer within 3 s")) << run.output;
  // Under Wine the first window-station user also starts the desktop process, in the same job.
  EXPECT_NE(std::string::npos, run.output.find(" process(es) the driver started still ran when the check ended: ended"))
      << run.output;
  const DWORD id = std::strtoul(testsupport::ReadWholeFile(idFile).c_str(), nullptr, 10);
  ASSERT_NE(0u, id) << "the driver started no process";
  HANDLE started = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
  if (started != nullptr) {
    const DWORD waited = ::WaitForSingleObject(started, 10000);
    EXPECT_EQ(WAIT_OBJECT_0, waited) << "the process the driver started still runs";
    if (waited != WAIT_OBJECT_0) ::TerminateProcess(started, 1);
    ::CloseHandle(started);
  }
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
