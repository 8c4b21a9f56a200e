#include "ChildStart.h"

#include <vector>

std::string ChildStart::Failure() const {
  return std::string(failedStep ? failedStep : "start") + " failed (error " + std::to_string(error) + ")";
}

ChildStart StartChild(const std::string& commandLine, HANDLE output, HANDLE extra, HANDLE job) {
  ChildStart start;
  auto fail = [&start](const char* step, DWORD error) {
    start.failedStep = step;
    start.error = error;
    return start;
  };
  // The child reads nothing; our own standard input may be anything a caller left us (a closed
  // descriptor becomes whatever file took its number), so it is not handed on.
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  const HANDLE input = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                     OPEN_EXISTING, 0, nullptr);
  if (input == INVALID_HANDLE_VALUE) return fail("CreateFile(NUL)", ::GetLastError());
  SIZE_T size = 0;
  ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> attributes(size);
  STARTUPINFOEXA startup = {};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input;
  startup.StartupInfo.hStdOutput = output;
  startup.StartupInfo.hStdError = output;
  startup.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
  if (!::InitializeProcThreadAttributeList(startup.lpAttributeList, 1, 0, &size)) {
    const DWORD error = ::GetLastError();
    ::CloseHandle(input);
    return fail("InitializeProcThreadAttributeList", error);
  }
  HANDLE passed[3] = {input, output, extra};
  const DWORD passedCount = extra ? 3 : 2;
  DWORD error = 0;
  BOOL started = FALSE;
  PROCESS_INFORMATION process = {};
  if (!::UpdateProcThreadAttribute(startup.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, passed,
                                   passedCount * sizeof(HANDLE), nullptr, nullptr)) {
    error = ::GetLastError();
    start.failedStep = "UpdateProcThreadAttribute";
  } else {
    std::string command = commandLine;
    // No console of its own: its output goes to the handles above, and a console would bring a
    // host process of its own into the job.
    const DWORD flags = EXTENDED_STARTUPINFO_PRESENT | DETACHED_PROCESS | (job ? CREATE_SUSPENDED : 0);
    started = ::CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                               &startup.StartupInfo, &process);
    if (!started) {
      error = ::GetLastError();
      start.failedStep = "CreateProcess";
    }
  }
  ::DeleteProcThreadAttributeList(startup.lpAttributeList);
  ::CloseHandle(input);
  if (!started) return fail(start.failedStep, error);
  if (job != nullptr) {
    start.inJob = ::AssignProcessToJobObject(job, process.hProcess) != FALSE;
    if (!start.inJob) start.jobError = ::GetLastError();
    ::ResumeThread(process.hThread);
  }
  ::CloseHandle(process.hThread);
  start.process = process.hProcess;
  return start;
}
