// The parent's side of orinhost check: runs the steps in a child orinhost, reads its records and
// prints them as lines or as JSON. A child that dies turns its unanswered call into a failed line.
#include "DriverCheck.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ChildStart.h"
#include "JsonText.h"

namespace {

constexpr DWORD kChildTimeoutMs = 60000;

struct Finding {
  std::string status;  // ok, fail, info
  std::string check;
  std::string text;
};

std::string OwnPath() {
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

// Runs the child with its output in a scratch file; false, with the failing step and its code in
// failure, when it could not be started.
bool RunChild(const Options& options, std::string& output, DWORD& exitCode, bool& timedOut, std::string& failure) {
  auto failed = [&failure](const char* step) {
    failure = std::string(step) + " failed (error " + std::to_string(::GetLastError()) + ")";
    return false;
  };
  char folder[MAX_PATH];
  char scratch[MAX_PATH];
  if (::GetTempPathA(MAX_PATH, folder) == 0) return failed("GetTempPath");
  if (::GetTempFileNameA(folder, "orc", 0, scratch) == 0) return failed("GetTempFileName");
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE file = ::CreateFileA(scratch, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    failed("CreateFile(scratch)");
    ::DeleteFileA(scratch);
    return false;
  }
  std::string commandLine = "\"" + OwnPath() + "\" check \"" + options.driver + "\" --child";
  if (options.hostVersion >= 0) commandLine += " --host-version " + std::to_string(options.hostVersion);
  const ChildStart child = StartChild(commandLine, file);
  ::CloseHandle(file);
  if (child.process) {
    timedOut = ::WaitForSingleObject(child.process, kChildTimeoutMs) != WAIT_OBJECT_0;
    if (timedOut) {
      ::TerminateProcess(child.process, 1);
      ::WaitForSingleObject(child.process, 5000);
    }
    ::GetExitCodeProcess(child.process, &exitCode);
    ::CloseHandle(child.process);
    FILE* in = std::fopen(scratch, "rb");
    if (in) {
      char buffer[4096];
      size_t got = 0;
      while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) output.append(buffer, got);
      std::fclose(in);
    }
  } else {
    failure = child.Failure();
  }
  ::DeleteFileA(scratch);
  return child.process != nullptr;
}

// The child's records; a call without its answer becomes a failure that says how the child ended.
std::vector<Finding> ReadFindings(const std::string& output, DWORD exitCode, bool timedOut) {
  std::vector<Finding> findings;
  std::string pendingCheck;
  std::string pendingCall;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string::npos) continue;
    Finding finding{line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)};
    if (finding.status == "call") {
      pendingCheck = finding.check;
      pendingCall = finding.text;
      continue;
    }
    pendingCall.clear();
    findings.push_back(finding);
  }
  std::string ending;
  if (timedOut) ending = "no answer within " + std::to_string(kChildTimeoutMs / 1000) + " s";
  else if (exitCode >= 0xC0000000u) ending = "the library crashed (exception " + Hex(exitCode) + ")";
  else if (exitCode != kExitOk) ending = "the check ended early (exit code " + std::to_string(exitCode) + ")";
  if (!pendingCall.empty() || !ending.empty()) {
    if (ending.empty()) ending = "the check stopped here";
    findings.push_back({"fail", pendingCall.empty() ? "check" : pendingCheck,
                        pendingCall.empty() ? ending : pendingCall + ": " + ending});
  }
  return findings;
}

const Finding* Find(const std::vector<Finding>& findings, const char* check) {
  for (const Finding& finding : findings) {
    if (finding.check == check) return &finding;
  }
  return nullptr;
}

void PrintJson(const Options& options, const std::vector<Finding>& findings, bool passed) {
  const Finding* name = Find(findings, "name");
  const Finding* version = Find(findings, "version");
  const Finding* interfaceVersion = Find(findings, "interface");
  const Finding* catalogue = Find(findings, "catalogue");
  auto number = [](const Finding* finding) { return finding && finding->status == "info" ? finding->text : "null"; };
  std::printf("{\"file\": %s, \"passed\": %s, \"name\": %s, \"version\": %s, \"interfaceVersion\": %s, "
              "\"catalogued\": %s,\n \"checks\": [",
              JsonText(options.driver.c_str()).c_str(), passed ? "true" : "false",
              name && name->status == "info" ? JsonText(name->text.c_str()).c_str() : "null",
              number(version).c_str(), number(interfaceVersion).c_str(),
              catalogue ? (catalogue->status == "ok" ? "true" : "false") : "null");
  for (size_t i = 0; i < findings.size(); ++i) {
    std::printf("%s\n  {\"status\": \"%s\", \"check\": \"%s\", \"text\": %s}", i ? "," : "",
                findings[i].status.c_str(), findings[i].check.c_str(), JsonText(findings[i].text.c_str()).c_str());
  }
  std::printf("\n]}\n");
}

}  // namespace

int RunDriverCheck(const Options& options) {
  std::string output;
  DWORD exitCode = 0;
  bool timedOut = false;
  std::string failure;
  if (!RunChild(options, output, exitCode, timedOut, failure)) {
    std::fprintf(stderr, "orinhost: cannot start the check process: %s\n", failure.c_str());
    return kExitCheckFailed;
  }
  const std::vector<Finding> findings = ReadFindings(output, exitCode, timedOut);
  int failed = 0;
  for (const Finding& finding : findings) failed += finding.status == "fail" ? 1 : 0;
  const bool passed = failed == 0 && !findings.empty();
  if (options.json) {
    PrintJson(options, findings, passed);
  } else {
    std::printf("check %s\n", options.driver.c_str());
    for (const Finding& finding : findings) {
      std::printf("  %-4s  %-10s %s\n", finding.status == "fail" ? "FAIL" : finding.status.c_str(),
                  finding.check.c_str(), finding.text.c_str());
    }
    std::printf("%s: %d finding(s), %d failed\n", passed ? "passed" : "FAILED", static_cast<int>(findings.size()),
                failed);
  }
  return passed ? kExitOk : kExitCheckFailed;
}
