// Starting a program from a test: which step failed and the system's code, so a test that cannot
// start its program says why instead of failing with a bare false.
#ifndef TESTS_SUPPORT_PROCESSSTART_H
#define TESTS_SUPPORT_PROCESSSTART_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace testsupport {

struct StartOptions {
  std::string directory;   // the program's working folder; empty: ours
  std::string outputFile;  // standard output and error go to this file, made afresh; empty: none
  bool keepThread = false; // keep the main thread's handle for ReleaseThread
};

// A started program, or the step that failed. Owns the process handle.
class StartedProcess {
 public:
  StartedProcess() = default;
  ~StartedProcess();
  StartedProcess(StartedProcess&& other) noexcept;
  StartedProcess& operator=(StartedProcess&& other) noexcept;
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;

  explicit operator bool() const { return process_ != nullptr; }
  HANDLE Handle() const { return process_; }
  // "CreateProcessA failed (error 2)"; empty when the program started.
  std::string Failure() const;

  // Hand the process handle, or the main thread's when it was kept, to the caller.
  HANDLE Release() { return Take(process_); }
  HANDLE ReleaseThread() { return Take(thread_); }

  // Waits up to timeoutMs for the program to end; a program still running is ended with exit
  // code 99. The exit code, or nothing (false) when it had to be ended or never started.
  bool Wait(unsigned timeoutMs, DWORD* exitCode = nullptr);

 private:
  friend StartedProcess StartProcess(const std::string&, const StartOptions&);
  static HANDLE Take(HANDLE& handle) {
    HANDLE taken = handle;
    handle = nullptr;
    return taken;
  }

  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  const char* failedStep_ = nullptr;
  DWORD error_ = 0;
};

// Starts commandLine. Standard input is NUL and only the output file's handle is passed on, so
// the program never holds a handle of ours it was not meant to have.
StartedProcess StartProcess(const std::string& commandLine, const StartOptions& options = {});

}  // namespace testsupport

#endif  // TESTS_SUPPORT_PROCESSSTART_H
