// CommandSender.h - gives the robot station one command the way a host does: find the window
// of class "TForm1" titled "Kelvora 2.2", send WM_ROBOT_COMMAND asking for the command's serial,
// and wait until the command's own record in "Outcomes" leaves 2.
#ifndef TOOLS_PICKWELL_SEND_COMMANDSENDER_H
#define TOOLS_PICKWELL_SEND_COMMANDSENDER_H

#include <stdint.h>

#include <string>

namespace pickwell_send {

enum class Outcome {
  Done,         // the command's status 3
  Failed,       // the command's status 99
  Sent,         // a code that reports nothing (104, 105, unknown codes) reached the window
  TimedOut,     // the command's status still 2 when the time was up
  Unknown,      // taken, but its record cannot be read: the key was deleted meanwhile, eight
                // later commands pushed it out, or the window gave no serial
  NoStation,    // no window of class "TForm1" titled "Kelvora 2.2"
  SendFailed,   // the window did not answer the message within the time
  NotTaken,     // the station answered that it dropped the command; "Status" is not its own
};

struct SendResult {
  Outcome outcome;
  uint32_t status;   // the command's last status read; 0 when none was
  double elapsedMs;  // from sending to the outcome
};

// Maps "load", "unload", "unload-alt", "watchdog" or a decimal code to a code; false if neither.
bool ParseCommand(const std::string& text, uint32_t* code);

// True for the codes whose outcome arrives in "Status" (101, 102, 103).
bool ReportsOutcome(uint32_t code);

// Sends the code and, for 101 to 103, waits for the command's status to leave 2, all within
// timeoutMs (the send included: a busy window may take all of it). The station's
// answer to the message says whether it took the command and which serial it got: "Status" alone
// cannot, as a fast command may already read 3, a dropped one finds the 2 of the command before
// it, and the next sender's command may have overwritten it.
SendResult SendCommand(uint32_t code, unsigned timeoutMs);

// Waits until the station's window exists: Done, or NoStation after timeoutMs.
SendResult WaitForStation(unsigned timeoutMs);

// Asks the station to close, as its close box does (it parks the robot and closes the library
// first), and waits until its window is gone: Done, TimedOut or NoStation.
SendResult CloseStation(unsigned timeoutMs);

const char* OutcomeText(Outcome outcome);

}  // namespace pickwell_send

#endif  // TOOLS_PICKWELL_SEND_COMMANDSENDER_H
