// orinhost check: a conformance check of one driver library for its writer.
//
// The check itself runs in a child process (RunDriverCheckSteps), which loads the library the way
// the plug-in does and writes one record per finding; the parent (RunDriverCheck) starts it, so a
// driver that crashes, hangs or refuses to load ends the child and never the tool, and renders
// the records as lines or as JSON.
#ifndef TOOLS_ORINHOST_DRIVERCHECK_H
#define TOOLS_ORINHOST_DRIVERCHECK_H

#include "Options.h"

// How the catalogue finding starts for a library the plug-in would catalogue but whose interface
// version lacks a required entry point; the JSON still counts it as catalogued.
constexpr char kUnusableAsInterface[] = "would not be usable as interface ";

// Parent: exit code kExitOk when every requirement is met and every call returned.
int RunDriverCheck(const Options& options);

// Child: writes the records to standard output; always returns kExitOk when it got to the end.
int RunDriverCheckSteps(const Options& options);

#endif  // TOOLS_ORINHOST_DRIVERCHECK_H
