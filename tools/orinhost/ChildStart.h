// Starting a child orinhost with its output in a file. Only the output handle, a NUL input and
// the handles named are passed on, never our own standard input or whatever else is inheritable;
// a start that fails names its step and the system's code. Given a job, the child is in it before
// it runs a single instruction, so every process it starts is in the job too.
#ifndef TOOLS_ORINHOST_CHILDSTART_H
#define TOOLS_ORINHOST_CHILDSTART_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

struct ChildStart {
  HANDLE process = nullptr;          // the caller closes it; null when the start failed
  const char* failedStep = nullptr;  // e.g. "CreateProcess"
  DWORD error = 0;                   // GetLastError of that step
  bool inJob = false;                // the job given took the child
  DWORD jobError = 0;                // else AssignProcessToJobObject's error

  // "CreateProcess failed (error 2)"
  std::string Failure() const;
};

// Starts commandLine with standard output and error on output and standard input on NUL; extra,
// when given, is passed on too. Both handles must be inheritable. A job, when given, takes the
// child; when it cannot (a job of our own that allows no other), the child runs all the same.
ChildStart StartChild(const std::string& commandLine, HANDLE output, HANDLE extra = nullptr, HANDLE job = nullptr);

#endif  // TOOLS_ORINHOST_CHILDSTART_H
