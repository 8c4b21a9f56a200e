#include "StationRun.h"

#include <gtest/gtest.h>

#include <functional>

#include "ProcessStart.h"
#include "StationProtocol.h"
#include "StatusRegistry.h"

namespace {

bool Poll(unsigned timeoutMs, const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(10);
  }
}

}  // namespace

StationRun::StationRun(const std::string& ini) : folder_("station"), ini_(ini + "\r\n[Log]\r\nFile=sim.log\r\n") {
  const std::string bin = testsupport::ExeDirectory();
  CopyFileA((bin + "Pickwell.exe").c_str(), folder_.Join("Pickwell.exe").c_str(), FALSE);
  CopyFileA((bin + "vtrobots-sim\\VTROBOTS20.DLL").c_str(), folder_.Join("VTROBOTS20.DLL").c_str(), FALSE);
  folder_.WriteFile("VTROBOTS20.INI", ini_);
}

void StationRun::Hold(const std::string& calls) {
  // A name of its own per run: a station of an earlier run may still hold the last one open.
  static int runs = 0;
  const std::string name =
      "pickwell-e2e-release-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs);
  release_.reset(CreateSemaphoreA(nullptr, 0, 1000, name.c_str()));
  if (!release_) ADD_FAILURE() << "no semaphore for held calls (error " << GetLastError() << ")";
  ini_ += "[Hold]\r\nCalls=" + calls + "\r\nSemaphore=" + name + "\r\n";
  folder_.WriteFile("VTROBOTS20.INI", ini_);
}

void StationRun::Release() {
  if (!release_ || !ReleaseSemaphore(release_.get(), 1, nullptr)) ADD_FAILURE() << "no held call can be released";
}

StationRun::~StationRun() {
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    ADD_FAILURE() << "the station was still running at the end of the test";
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), 5000);
  }
}

bool StationRun::Start(const std::string& readyLine) {
  if (FindWindowA(nullptr, station::kWindowTitle)) {
    ADD_FAILURE() << "another station is running";
    return false;
  }
  // Nothing a test reads may be left over from the one before.
  SetStatus(kStatusBeforeStart);
  testsupport::StartedProcess station =
      testsupport::StartProcess("\"" + folder_.Join("Pickwell.exe") + "\"", {folder_.Path(), ""});
  if (!station) {
    ADD_FAILURE() << "Pickwell.exe not started: " << station.Failure();
    return false;
  }
  process_.reset(station.Release());
  if (!Poll(kPatienceMs, [&] { return (window_ = FindWindowA(nullptr, station::kWindowTitle)) != nullptr; })) {
    ADD_FAILURE() << "no station window within " << kPatienceMs / 1000 << " s";
    return false;
  }
  return readyLine.empty() || WaitForLog(readyLine, kPatienceMs);
}

long StationRun::StartAnotherAndWait(unsigned timeoutMs) {
  testsupport::StartedProcess another =
      testsupport::StartProcess("\"" + folder_.Join("Pickwell.exe") + "\"", {folder_.Path(), ""});
  if (!another) {
    ADD_FAILURE() << "the second Pickwell.exe not started: " << another.Failure();
    return -2000;
  }
  DWORD code = 0;
  return another.Wait(timeoutMs, &code) ? static_cast<long>(code) : -1000;
}

bool StationRun::Running() const {
  return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool StationRun::Send(uint32_t code, LRESULT* answer) {
  DWORD_PTR result = 0;
  const bool answered =
      SendMessageTimeoutA(window_, station::kWmRobotCommand, code, 0, SMTO_ABORTIFHUNG, kPatienceMs, &result) != 0;
  if (answer) *answer = static_cast<LRESULT>(result);
  return answered;
}

bool StationRun::WaitForOutcome(uint32_t* status, unsigned timeoutMs) {
  return Poll(timeoutMs, [&] {
    return ReadStatus(status) && (*status == station::kStatusDone || *status == station::kStatusFailed);
  });
}

bool StationRun::Close(unsigned timeoutMs) {
  if (!PostMessageA(window_, WM_CLOSE, 0, 0)) return false;
  DWORD code = 1;
  return WaitForExit(timeoutMs, &code) && code == 0;
}

bool StationRun::WaitForExit(unsigned timeoutMs, DWORD* exitCode) {
  if (!process_ || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(process_.get(), &code);
  if (exitCode) *exitCode = code;
  return true;
}

std::string StationRun::Log() const { return testsupport::ReadWholeFile(folder_.Join("sim.log")); }

bool StationRun::WaitForLog(const std::string& text, unsigned timeoutMs) const {
  return Poll(timeoutMs, [&] { return Log().find(text) != std::string::npos; });
}

std::vector<std::string> StationRun::Calls() const {
  std::vector<std::string> calls;
  const std::string log = Log();
  size_t start = 0;
  while (start < log.size()) {
    size_t end = log.find('\n', start);
    if (end == std::string::npos) end = log.size();
    std::string line = log.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t mark = line.find(" > ");
    if (mark != std::string::npos) calls.push_back(line.substr(mark + 3));
    start = end + 1;
  }
  return calls;
}

bool StationRun::ReadStatus(uint32_t* status) { return station::ReadStatus(station::StationStatusKey(), status); }

void StationRun::SetStatus(uint32_t status) {
  station::CreateStatusKey(station::StationStatusKey());
  station::WriteStatus(station::StationStatusKey(), status);
}

bool StationRun::WaitUntilText(HWND window, int childId, const std::string& text, unsigned timeoutMs) {
  return Poll(timeoutMs, [&] {
    char shown[300] = {};
    GetWindowTextA(GetDlgItem(window, childId), shown, sizeof shown);
    return text == shown;
  });
}

bool StationRun::WaitUntilVisible(const char* className, HWND* found, unsigned timeoutMs) {
  return Poll(timeoutMs, [&] {
    *found = FindWindowA(className, nullptr);
    return *found && IsWindowVisible(*found);
  });
}

bool StationRun::WaitUntilHidden(HWND window, unsigned timeoutMs) {
  return Poll(timeoutMs, [&] { return !IsWindowVisible(window); });
}

bool StationRun::WaitUntilEnabled(HWND window, unsigned timeoutMs) {
  return Poll(timeoutMs, [&] { return IsWindowEnabled(window) != 0; });
}

bool StationRun::WaitUntilDisabled(HWND window, unsigned timeoutMs) {
  return Poll(timeoutMs, [&] { return IsWindowEnabled(window) == 0; });
}
