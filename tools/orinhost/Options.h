// The command line of orinhost.
#ifndef TOOLS_ORINHOST_OPTIONS_H
#define TOOLS_ORINHOST_OPTIONS_H

#include <stdint.h>

#include <string>

// Exit codes, for scripts.
enum ExitCode {
  kExitOk = 0,
  kExitUsage = 1,          // bad command line
  kExitPlugin = 2,         // OrinRobo.dll missing or incomplete
  kExitManager = 3,        // no manager could be made
  kExitNotFound = 4,       // no such driver in the catalogue
  kExitOperationFailed = 5, // the manager answered null or 0
  kExitCheckFailed = 6,     // check: a requirement is missing or a call did not return
  kExitFolder = 7           // the driver folder is missing, not a folder, or unreadable
};

struct Options {
  std::string command = "info";  // info, list, create, configure, firmware, check, help
  std::string plugin;            // OrinRobo.dll; default: beside orinhost.exe
  std::string directory;         // driver folder; default: "drivers" beside orinhost.exe
  bool directoryGiven = false;   // --dir was on the command line (an empty one is an error)
  std::string driver;            // plug-in name of the driver to use; check: the library file
  long index = -1;               // or its catalogue position
  bool json = false;
  bool checkChild = false;       // check: this process runs the steps (set by the parent)
  uint32_t recordChannel = 0;    // check child: the handle its records go to (set by the parent)
  bool noCalls = false;          // check: create and destroy objects, call no operation
  uint32_t timeoutSeconds = 120; // check: how long one call into the driver may take
  bool secondGeneration = false; // CreateDriverV2 / ConfigureDriverV2
  long hostVersion = -1;         // announce before the manager is made
  uint32_t arg = 0;
  uint32_t arg2 = 0;
  uint32_t drive = 0;            // firmware check: drive to ask about
  uint32_t firmware = 0x0110;    // firmware check: firmware to ask about
};

// False with a message in error on a bad command line.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

void PrintUsage();

#endif  // TOOLS_ORINHOST_OPTIONS_H
