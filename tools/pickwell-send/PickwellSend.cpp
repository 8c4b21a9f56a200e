// pickwell-send: gives the robot station one command and reports the outcome, for people who
// integrate a host and want to try the station by hand.
//   pickwell-send load|unload|unload-alt|watchdog|wait|close|<code> [--timeout <seconds>]
// --timeout bounds the whole command, the sending included.
// Exit code: 0 done, sent or (wait) the station is there; 1 failed (status 99); 2 timed out;
// 3 no station; 4 usage; 5 not taken (the station dropped the command: it is closing, its
// registry key cannot be opened, or another command is pending or running); 6 taken, but its
// outcome cannot be read.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CommandSender.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: pickwell-send load|unload|unload-alt|watchdog|wait|close|<code> [--timeout <seconds>]\n"
               "  load        101  move a disc into the drive\n"
               "  unload      102  take the disc out (mode 2)\n"
               "  unload-alt  103  take the disc out (mode 4)\n"
               "  watchdog    104  close the station once no host process runs\n"
               "  wait             wait until the station's window exists\n"
               "  close            close the station (parks the robot) and wait until it is gone\n"
               "  --timeout   seconds the whole command may take, sending included (default 60)\n"
               "exit code: 0 done/sent/there, 1 failed, 2 timed out, 3 no station, 4 usage, 5 not taken,\n"
               "           6 taken but outcome unknown\n");
  return 4;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command;
  double timeoutSeconds = 60;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
      char* end = nullptr;
      timeoutSeconds = std::strtod(argv[++i], &end);
      if (end == argv[i] || *end != '\0' || !(timeoutSeconds >= 0) || timeoutSeconds > 86400) return Usage();
    } else if (command.empty() && argv[i][0] != '-') {
      command = argv[i];
    } else {
      return Usage();
    }
  }
  const unsigned timeoutMs = static_cast<unsigned>(timeoutSeconds * 1000);
  uint32_t code = 0;
  pickwell_send::SendResult result;
  if (command == "close") {
    result = pickwell_send::CloseStation(timeoutMs);
  } else if (command == "wait") {
    result = pickwell_send::WaitForStation(timeoutMs);
  } else if (pickwell_send::ParseCommand(command, &code)) {
    result = pickwell_send::SendCommand(code, timeoutMs);
  } else {
    return Usage();
  }
  if (code != 0)
    std::printf("%s (%u): %s", command.c_str(), code, pickwell_send::OutcomeText(result.outcome));
  else
    std::printf("%s: %s", command.c_str(), pickwell_send::OutcomeText(result.outcome));
  if (result.status != 0) std::printf(", Status %u", result.status);
  std::printf(", %.0f ms\n", result.elapsedMs);
  switch (result.outcome) {
    case pickwell_send::Outcome::Done:
    case pickwell_send::Outcome::Sent:
      return 0;
    case pickwell_send::Outcome::Failed:
      return 1;
    case pickwell_send::Outcome::TimedOut:
    case pickwell_send::Outcome::SendFailed:
      return 2;
    case pickwell_send::Outcome::NoStation:
      return 3;
    case pickwell_send::Outcome::NotTaken:
      return 5;
    case pickwell_send::Outcome::Unknown:
      return 6;
  }
  return 2;
}
