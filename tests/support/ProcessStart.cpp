#include "ProcessStart.h"

#include <utility>
#include <vector>

namespace testsupport {

namespace {

// Closes a handle that is still ours when the start gives up.
struct OwnedHandle {
  HANDLE handle = INVALID_HANDLE_VALUE;
  ~OwnedHandle() {
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr) ::CloseHandle(handle);
  }
};

}  // namespace

StartedProcess::~StartedProcess() {
  if (process_) ::CloseHandle(process_);
  if (thread_) ::CloseHandle(thread_);
}

StartedProcess::StartedProcess(StartedProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      thread_(std::exchange(other.thread_, nullptr)),
      failedStep_(other.failedStep_),
      error_(other.error_) {}

StartedProcess& StartedProcess::operator=(StartedProcess&& other) noexcept {
  if (this != &other) {
    if (process_) ::CloseHandle(process_);
    if (thread_) ::CloseHandle(thread_);
    process_ = std::exchange(other.process_, nullptr);
    thread_ = std::exchange(other.thread_, nullptr);
    failedStep_ = other.failedStep_;
    error_ = other.error_;
  }
  return *this;
}

std::string StartedProcess::Failure() const {
  if (process_) return std::string();
  if (!failedStep_) return "not started";
  return std::string(failedStep_) + " failed (error " + std::to_string(error_) + ")";
}

bool StartedProcess::Wait(unsigned timeoutMs, DWORD* exitCode) {
  if (!process_) return false;
  if (::WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(process_, 99);
    ::WaitForSingleObject(process_, 5000);
    return false;
  }
  DWORD code = 0;
  if (!::GetExitCodeProcess(process_, &code)) return false;
  if (exitCode) *exitCode = code;
  return true;
}

StartedProcess StartProcess(const std::string& commandLine, const StartOptions& options) {
  StartedProcess started;
  auto fail = [&](const char* step) {
    started.failedStep_ = step;
    started.error_ = ::GetLastError();
    return std::move(started);
  };
  STARTUPINFOEXA startup = {};
  startup.StartupInfo.cb = sizeof startup;
  OwnedHandle output, input;
  std::vector<char> attributeBuffer;
  HANDLE passed[2] = {};
  if (!options.outputFile.empty()) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    output.handle = ::CreateFileA(options.outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output.handle == INVALID_HANDLE_VALUE) return fail("CreateFileA(output)");
    input.handle = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                 0, nullptr);
    if (input.handle == INVALID_HANDLE_VALUE) return fail("CreateFileA(NUL)");
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input.handle;
    startup.StartupInfo.hStdOutput = output.handle;
    startup.StartupInfo.hStdError = output.handle;
    // Only these two are inherited, whatever other threads of the test have open.
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    attributeBuffer.resize(size);
    startup.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBuffer.data());
    if (!::InitializeProcThreadAttributeList(startup.lpAttributeList, 1, 0, &size))
      return fail("InitializeProcThreadAttributeList");
    passed[0] = input.handle;
    passed[1] = output.handle;
    if (!::UpdateProcThreadAttribute(startup.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, passed,
                                     sizeof passed, nullptr, nullptr)) {
      const DWORD error = ::GetLastError();
      ::DeleteProcThreadAttributeList(startup.lpAttributeList);
      ::SetLastError(error);
      return fail("UpdateProcThreadAttribute");
    }
  }
  const bool withHandles = startup.lpAttributeList != nullptr;
  std::string command = commandLine;
  PROCESS_INFORMATION info = {};
  const BOOL ok = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, withHandles ? TRUE : FALSE,
                                   withHandles ? EXTENDED_STARTUPINFO_PRESENT : 0, nullptr,
                                   options.directory.empty() ? nullptr : options.directory.c_str(),
                                   &startup.StartupInfo, &info);
  const DWORD error = ::GetLastError();
  if (withHandles) ::DeleteProcThreadAttributeList(startup.lpAttributeList);
  if (!ok) {
    ::SetLastError(error);
    return fail("CreateProcessA");
  }
  if (options.keepThread)
    started.thread_ = info.hThread;
  else
    ::CloseHandle(info.hThread);
  started.process_ = info.hProcess;
  return started;
}

}  // namespace testsupport
