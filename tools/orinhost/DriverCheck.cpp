// The parent's side of orinhost check: runs the steps in a child orinhost that writes its records
// to a pipe of their own (the driver shares the child's standard output, never that pipe), limits
// each call into the driver, checks every record and prints them as lines or as JSON. A child
// that dies turns its unanswered call into a failed line. The child runs in a job, so whatever
// the driver starts ends with the check.
#include "DriverCheck.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "ChildStart.h"
#include "JsonText.h"
#include "RecordText.h"

namespace {

// The child's own steps between calls take moments; this bounds them on a slow machine.
constexpr uint32_t kChildStepsSeconds = 60;
// What the driver wrote to standard output or error, shown at most this many lines.
constexpr int kOutputLines = 20;
// Of what it wrote, no more than this is read back: a driver printing in a loop must not fill
// the tool's memory with text it never shows.
constexpr size_t kOutputBytes = 1 << 20;

struct Finding {
  std::string status;  // ok, fail, info
  std::string check;
  std::string text;    // exact; made visible only for the lines
};

struct ChildRun {
  std::string records;  // the record channel
  std::string output;   // standard output and error: the driver's text, the run-time's messages
  DWORD exitCode = 0;
  bool timedOut = false;
  std::string failure;  // why the child could not be started: the step and the system's code
  std::string jobFailure;  // why the driver's processes are not ended with the check
  unsigned leftRunning = 0;  // processes the driver started that still ran when the check ended
};

std::string OwnPath() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

// The library by full path, once: the file read, the search and LoadLibraryA all see the same file.
std::string FullPath(const std::string& path) {
  std::string full(MAX_PATH, '\0');
  DWORD length = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
  }
  if (length == 0 || length >= full.size()) return path;
  full.resize(length);
  return full;
}

// One argument as CommandLineToArgvW and the C run-time read it back: backslashes are literal
// unless they precede a quote, so those before a quote (or the closing one) are doubled.
std::string QuoteArgument(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

// Takes what the pipe holds without blocking; true when something came.
bool Drain(HANDLE pipe, std::string& into) {
  bool got = false;
  DWORD available = 0;
  while (::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
    char buffer[4096];
    DWORD read = 0;
    if (!::ReadFile(pipe, buffer, available < sizeof buffer ? available : sizeof buffer, &read, nullptr) || read == 0) {
      break;
    }
    into.append(buffer, read);
    got = true;
  }
  return got;
}

// True while the last complete record announces a call into the driver.
bool InCall(const std::string& records) {
  const size_t end = records.rfind('\n');
  if (end == std::string::npos) return false;
  const size_t before = end == 0 ? std::string::npos : records.rfind('\n', end - 1);
  return records.compare(before == std::string::npos ? 0 : before + 1, 5, "call\t") == 0;
}

// A job whose last handle, closed, ends every process in it: even when this process is ended
// before it can end them itself.
HANDLE MakeJob(std::string& failure) {
  HANDLE job = ::CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job == nullptr ||
      !::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    failure = std::string(job ? "SetInformationJobObject" : "CreateJobObject") + " failed (error " +
              std::to_string(::GetLastError()) + ")";
    if (job) ::CloseHandle(job);
    return nullptr;
  }
  return job;
}

// The processes in the job besides the child.
unsigned OthersInJob(HANDLE job, DWORD childId) {
  ULONG_PTR buffer[260] = {};
  if (!::QueryInformationJobObject(job, JobObjectBasicProcessIdList, buffer, sizeof buffer, nullptr)) return 0;
  const auto* list = reinterpret_cast<const JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer);
  const ULONG_PTR* ids = buffer + offsetof(JOBOBJECT_BASIC_PROCESS_ID_LIST, ProcessIdList) / sizeof(ULONG_PTR);
  unsigned others = 0;
  for (DWORD i = 0; i < list->NumberOfProcessIdsInList && i < 256; ++i) others += ids[i] != childId ? 1 : 0;
  return others;
}

uint32_t StepLimitSeconds(const Options& options) {
  return options.timeoutSeconds > kChildStepsSeconds ? options.timeoutSeconds : kChildStepsSeconds;
}

// Runs the steps in a child orinhost; false, with run.failure saying why, when it could not be
// started. The limit runs from the last record: a call gets --timeout, the child's own steps
// kChildStepsSeconds at least.
bool RunChild(const Options& options, const std::string& path, ChildRun& run) {
  char folder[MAX_PATH];
  char scratch[MAX_PATH];
  auto failed = [&run](const char* step) {
    run.failure = std::string(step) + " failed (error " + std::to_string(::GetLastError()) + ")";
    return false;
  };
  if (::GetTempPathA(MAX_PATH, folder) == 0) return failed("GetTempPath");
  if (::GetTempFileNameA(folder, "orc", 0, scratch) == 0) return failed("GetTempFileName");
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE output = ::CreateFileA(scratch, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_TEMPORARY, nullptr);
  HANDLE recordsRead = nullptr;
  HANDLE recordsWrite = nullptr;
  if (output == INVALID_HANDLE_VALUE || !::CreatePipe(&recordsRead, &recordsWrite, &inherit, 1 << 16)) {
    failed(output == INVALID_HANDLE_VALUE ? "CreateFile(scratch)" : "CreatePipe");
    if (output != INVALID_HANDLE_VALUE) ::CloseHandle(output);
    ::DeleteFileA(scratch);
    return false;
  }
  ::SetHandleInformation(recordsRead, HANDLE_FLAG_INHERIT, 0);
  std::string commandLine = QuoteArgument(OwnPath()) + " check " + QuoteArgument(path) + " --child --records " +
                            std::to_string(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(recordsWrite)));
  if (options.hostVersion >= 0) commandLine += " --host-version " + std::to_string(options.hostVersion);
  if (options.noCalls) commandLine += " --no-calls";
  HANDLE job = MakeJob(run.jobFailure);
  const ChildStart child = StartChild(commandLine, output, recordsWrite, job);
  const bool started = child.process != nullptr;
  if (!started) run.failure = child.Failure();
  if (started && job && !child.inJob) {
    run.jobFailure = "AssignProcessToJobObject failed (error " + std::to_string(child.jobError) + ")";
    ::CloseHandle(job);
    job = nullptr;
  }
  // Only the child holds the writing end now: the pipe breaks when it ends.
  ::CloseHandle(recordsWrite);
  ::CloseHandle(output);
  if (started) {
    const ULONGLONG callLimit = static_cast<ULONGLONG>(options.timeoutSeconds) * 1000;
    const ULONGLONG stepLimit = static_cast<ULONGLONG>(StepLimitSeconds(options)) * 1000;
    ULONGLONG lastRecord = ::GetTickCount64();
    for (;;) {
      const bool ended = ::WaitForSingleObject(child.process, 50) == WAIT_OBJECT_0;
      if (Drain(recordsRead, run.records)) lastRecord = ::GetTickCount64();
      if (ended) break;
      if (::GetTickCount64() - lastRecord > (InCall(run.records) ? callLimit : stepLimit)) {
        run.timedOut = true;
        break;
      }
    }
    // The child, when it ran over, and whatever the driver started and left running.
    if (job) {
      run.leftRunning = OthersInJob(job, ::GetProcessId(child.process));
      ::TerminateJobObject(job, 1);
    } else if (run.timedOut) {
      ::TerminateProcess(child.process, 1);
    }
    if (run.timedOut) {
      ::WaitForSingleObject(child.process, 5000);
      Drain(recordsRead, run.records);
    }
    ::GetExitCodeProcess(child.process, &run.exitCode);
    ::CloseHandle(child.process);
    FILE* in = std::fopen(scratch, "rb");
    if (in) {
      char buffer[4096];
      size_t got = 0;
      while (run.output.size() < kOutputBytes && (got = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        run.output.append(buffer, got);
      }
      std::fclose(in);
    }
  }
  if (job) ::CloseHandle(job);
  ::CloseHandle(recordsRead);
  ::DeleteFileA(scratch);
  return started;
}

// How the child ended when that was not after its last record.
std::string Ending(DWORD exitCode) {
  struct Named {
    DWORD code;
    const char* name;
  };
  const Named names[] = {{0xC0000005u, "access violation"},        {0x80000003u, "breakpoint"},
                         {0x80000004u, "single step"},             {0x80000002u, "misaligned data"},
                         {0xC0000094u, "integer division by zero"}, {0xC00000FDu, "stack overflow"},
                         {0xC000001Du, "illegal instruction"},      {0xC0000409u, "fail-fast or stack buffer overrun"},
                         {0xC0000374u, "heap corruption"},          {0xE06D7363u, "a C++ exception (MSVC)"},
                         {0x20474343u, "a C++ exception (g++)"}};
  if (exitCode >= 0x80000000u || exitCode == 0x20474343u) {
    std::string text = "the library crashed (exception " + Hex(exitCode);
    for (const Named& named : names) {
      if (named.code == exitCode) text += std::string(", ") + named.name;
    }
    return text + ")";
  }
  if (exitCode == 3) return "the library ended the process through abort (exit code 3), as an escaping C++ exception does";
  return "the check process ended (exit code " + std::to_string(exitCode) + ")";
}

bool Known(const std::string& value, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (value == name) return true;
  }
  return false;
}

// A record as the child writes it: a known status and check, and text as RecordText encodes it
// (decoded in place).
bool ValidRecord(Finding& record) {
  if (!Known(record.status, {"ok", "fail", "info", "call", "end"})) return false;
  if (!Known(record.check, {"file", "file-name", "load", "announce", "name", "version", "interface", "export",
                            "catalogue", "create", "driver", "firmware", "destroy", "unload", "check"})) {
    return false;
  }
  std::string text;
  if (!DecodeRecordText(record.text, text)) return false;
  record.text = text;
  return true;
}

// The child's records; a call without its answer becomes a failure that says how the child
// ended. A record that is not one the child writes counts as a failure.
std::vector<Finding> ReadFindings(const ChildRun& run, const Options& options) {
  std::vector<Finding> findings;
  std::string pendingCheck;
  std::string pendingCall;
  bool ended = false;
  unsigned count = 0;
  size_t start = 0;
  while (start < run.records.size()) {
    size_t end = run.records.find('\n', start);
    const bool complete = end != std::string::npos;
    if (!complete) end = run.records.size();
    const std::string line = run.records.substr(start, end - start);
    start = end + 1;
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    Finding record;
    if (tab2 != std::string::npos) {
      record = {line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)};
    }
    if (!complete || ended || tab2 == std::string::npos || !ValidRecord(record)) {
      findings.push_back({"fail", "check", "a record the check process does not write: " + line});
      continue;
    }
    if (record.status != "end") ++count;
    if (record.status == "end") {
      ended = true;
      // Well-formed records the child did not write (its channel reached from the driver's code).
      if (record.text != std::to_string(count)) {
        findings.push_back({"fail", "check", std::to_string(count) + " records arrived, the check process wrote " +
                                                 record.text + ": something else wrote to its channel"});
      }
    } else if (record.status == "call") {
      pendingCheck = record.check;
      pendingCall = record.text;
    } else {
      pendingCall.clear();
      findings.push_back(record);
    }
  }
  std::string ending;
  if (run.timedOut) {
    ending = pendingCall.empty() ? "the check process gave no sign within " +
                                       std::to_string(StepLimitSeconds(options)) + " s"
                                 : "no answer within " + std::to_string(options.timeoutSeconds) + " s";
  } else if (run.exitCode != kExitOk || !ended) {
    ending = Ending(run.exitCode);
  }
  if (!pendingCall.empty() || !ending.empty()) {
    if (ending.empty()) ending = "the check stopped here";
    findings.push_back({"fail", pendingCall.empty() ? "check" : pendingCheck,
                        pendingCall.empty() ? ending : pendingCall + ": " + ending});
  }
  // What the driver or the run-time wrote: shown, never read as findings.
  int lines = 0;
  start = 0;
  while (start < run.output.size()) {
    size_t end = run.output.find('\n', start);
    if (end == std::string::npos) end = run.output.size();
    std::string line = run.output.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (++lines > kOutputLines) {
      findings.push_back({"info", "output", "(more output left out)"});
      break;
    }
    findings.push_back({"info", "output", line});
  }
  if (!run.jobFailure.empty()) {
    findings.push_back({"info", "check", "processes the driver starts are not ended with the check: " + run.jobFailure});
  }
  if (run.leftRunning > 0) {
    findings.push_back({"info", "check", std::to_string(run.leftRunning) +
                                             " process(es) the driver started still ran when the check ended: ended"});
  }
  return findings;
}

const Finding* Find(const std::vector<Finding>& findings, const char* check) {
  for (const Finding& finding : findings) {
    if (finding.check == check) return &finding;
  }
  return nullptr;
}

void PrintJson(const std::string& path, const std::vector<Finding>& findings, bool passed) {
  const Finding* name = Find(findings, "name");
  const Finding* version = Find(findings, "version");
  const Finding* interfaceVersion = Find(findings, "interface");
  const Finding* catalogue = Find(findings, "catalogue");
  // Numbers only as the child wrote them: digits (then, for versions, a space and the hex form),
  // else null.
  auto number = [](const Finding* finding) {
    const std::string digits = finding ? finding->text.substr(0, finding->text.find(' ')) : std::string();
    const bool valid = finding && finding->status == "info" && !digits.empty() && digits.size() <= 10 &&
                       digits.find_first_not_of("0123456789") == std::string::npos;
    return valid ? digits : std::string("null");
  };
  // A library that lacks an entry point its interface version requires is still catalogued.
  const bool catalogued = catalogue && (catalogue->status == "ok" || catalogue->text.rfind(kUnusableAsInterface, 0) == 0);
  std::printf("{\"file\": %s, \"passed\": %s, \"name\": %s, \"version\": %s, \"interfaceVersion\": %s, "
              "\"catalogued\": %s,\n \"checks\": [",
              JsonText(path).c_str(), passed ? "true" : "false",
              name && name->status == "info" ? JsonText(name->text).c_str() : "null",
              number(version).c_str(), number(interfaceVersion).c_str(),
              catalogue ? (catalogued ? "true" : "false") : "null");
  for (size_t i = 0; i < findings.size(); ++i) {
    std::printf("%s\n  {\"status\": %s, \"check\": %s, \"text\": %s}", i ? "," : "",
                JsonText(findings[i].status).c_str(), JsonText(findings[i].check).c_str(),
                JsonText(findings[i].text).c_str());
  }
  std::printf("\n]}\n");
}

}  // namespace

int RunDriverCheck(const Options& options) {
  const std::string path = FullPath(options.driver);
  ChildRun run;
  if (!RunChild(options, path, run)) {
    std::fprintf(stderr, "orinhost: cannot start the check process: %s\n", run.failure.c_str());
    return kExitCheckFailed;
  }
  const std::vector<Finding> findings = ReadFindings(run, options);
  int failed = 0;
  for (const Finding& finding : findings) failed += finding.status == "fail" ? 1 : 0;
  const bool passed = failed == 0 && Find(findings, "unload") != nullptr;
  if (options.json) {
    PrintJson(path, findings, passed);
  } else {
    std::printf("check %s\n", VisibleText(path).c_str());
    for (const Finding& finding : findings) {
      std::printf("  %-4s  %-10s %s\n", finding.status == "fail" ? "FAIL" : finding.status.c_str(),
                  finding.check.c_str(), VisibleText(finding.text).c_str());
    }
    std::printf("%s: %d finding(s), %d failed\n", passed ? "passed" : "FAILED", static_cast<int>(findings.size()),
                failed);
  }
  return passed ? kExitOk : kExitCheckFailed;
}
