#include "Options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
bool ParseNumber(const char* text, uint32_t& value) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text, &end, 0);
  if (*end != '\0' || parsed > 0xFFFFFFFFull || text[0] == '-') return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}
}  // namespace

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  int i = 1;
  if (i < argc && argv[i][0] != '-') options.command = argv[i++];
  const char* const commands[] = {"info", "list", "create", "configure", "firmware", "check", "help"};
  bool known = false;
  for (const char* command : commands) known |= options.command == command;
  if (!known) {
    error = "unknown command '" + options.command + "'";
    return false;
  }
  const bool needsDriver = options.command == "create" || options.command == "configure" ||
                           options.command == "firmware" || options.command == "check";
  if (needsDriver && i < argc && argv[i][0] != '-') options.driver = argv[i++];

  for (; i < argc; ++i) {
    const std::string option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    uint32_t number = 0;
    auto takeNumber = [&](uint32_t& target) {
      if (!ParseNumber(value, number)) {
        error = option + " needs a number";
        return false;
      }
      target = number;
      ++i;
      return true;
    };
    if (option == "--json") {
      options.json = true;
    } else if (option == "--child") {
      options.checkChild = true;
    } else if (option == "--records") {
      if (!takeNumber(options.recordChannel)) return false;
    } else if (option == "--no-calls") {
      options.noCalls = true;
    } else if (option == "--timeout") {
      if (!takeNumber(options.timeoutSeconds)) return false;
      if (options.timeoutSeconds == 0 || options.timeoutSeconds > 86400) {
        error = "--timeout takes 1 to 86400 seconds";
        return false;
      }
    } else if (option == "--v2") {
      options.secondGeneration = true;
    } else if (option == "--dir" || option == "--plugin") {
      if (value == nullptr) {
        error = option + " needs a path";
        return false;
      }
      (option == "--dir" ? options.directory : options.plugin) = value;
      if (option == "--dir") options.directoryGiven = true;
      ++i;
    } else if (option == "--index" || option == "--host-version") {
      uint32_t parsed = 0;
      if (!takeNumber(parsed)) return false;
      if (parsed > 0x7FFFFFFFu) {
        error = option + " is out of range";
        return false;
      }
      (option == "--index" ? options.index : options.hostVersion) = static_cast<long>(parsed);
    } else if (option == "--arg") {
      if (!takeNumber(options.arg)) return false;
    } else if (option == "--arg2") {
      if (!takeNumber(options.arg2)) return false;
    } else if (option == "--drive") {
      if (!takeNumber(options.drive)) return false;
    } else if (option == "--firmware") {
      if (!takeNumber(options.firmware)) return false;
    } else {
      error = "unknown option '" + option + "'";
      return false;
    }
  }
  if (options.checkChild && options.recordChannel == 0) {
    error = "--child needs --records";
    return false;
  }
  if (options.command == "check" && options.driver.empty()) {
    error = "check needs a library file";
    return false;
  }
  if (needsDriver && options.driver.empty() && options.index < 0) {
    error = options.command + " needs a driver name or --index";
    return false;
  }
  return true;
}

void PrintUsage() {
  std::printf(
      "orinhost - loads OrinRobo.dll as a host application does and drives its robot drivers\n"
      "\n"
      "usage: orinhost [command] [driver name] [options]\n"
      "  info                     plug-in version, type, name and interface version, and the\n"
      "                           catalogue (the default command)\n"
      "  list [--json]            the catalogue: name, version, interface version, configure\n"
      "                           flag and path of each driver, and the files passed over\n"
      "                           because they repeat a listed name and version\n"
      "  create NAME [--v2]       create a driver (CreateDriver, or CreateDriverV2 with --v2),\n"
      "                           call each of its operations, destroy it\n"
      "  configure NAME [--v2]    run ConfigureDriver (or ConfigureDriverV2)\n"
      "  firmware NAME            create a firmware check and call its operations\n"
      "  check FILE [--json] [--no-calls] [--timeout S]\n"
      "                           conformance check of one driver library: its exports, name,\n"
      "                           versions, whether the plug-in would catalogue it; creates,\n"
      "                           calls and destroys each object it offers, in a child process.\n"
      "                           It calls every driver operation (LoadDisc, Park, ...): with a\n"
      "                           real robot connected, these MOVE THE ROBOT. --no-calls loads\n"
      "                           the library, reads its exports, creates and destroys objects\n"
      "                           and calls no operation; --timeout S limits each call (120 s)\n"
      "  help                     this text\n"
      "\n"
      "options:\n"
      "  --dir FOLDER             driver folder (default: drivers beside orinhost.exe)\n"
      "  --plugin FILE            the plug-in (default: OrinRobo.dll beside orinhost.exe)\n"
      "  --index N                pick the driver by catalogue position instead of name\n"
      "  --host-version N         announce host interface version N first (0..4)\n"
      "  --arg N, --arg2 N        the 32-bit arguments passed to the driver\n"
      "  --drive N, --firmware N  what the firmware check is asked about\n"
      "\n"
      "exit codes: 0 done, 1 bad command line, 2 plug-in not usable, 3 no manager,\n"
      "            4 no such driver, 5 the manager answered null or 0, 6 check failed,\n"
      "            7 the driver folder is missing, not a folder, or unreadable\n");
}
