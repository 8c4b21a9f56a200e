// Starting a child orinhost with its output in a file. Only the output handle and a NUL input are
// passed on, never our own standard input or whatever else is inheritable; a start that fails
// names its step and the system's code.
#ifndef TOOLS_ORINHOST_CHILDSTART_H
#define TOOLS_ORINHOST_CHILDSTART_H

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

struct ChildStart {
  HANDLE process = nullptr;          // the caller closes it; null when the start failed
  const char* failedStep = nullptr;  // e.g. "CreateProcess"
  DWORD error = 0;                   // GetLastError of that step

  // "CreateProcess failed (error 2)"
  std::string Failure() const;
};

// Starts commandLine with standard output and error on output (an inheritable handle) and
// standard input on NUL.
ChildStart StartChild(const std::string& commandLine, HANDLE output);

#endif  // TOOLS_ORINHOST_CHILDSTART_H
