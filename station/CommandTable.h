// CommandTable.h - what each WM_ROBOT_COMMAND code asks of the main window.
#ifndef STATION_COMMANDTABLE_H
#define STATION_COMMANDTABLE_H

#include <stdint.h>

namespace station {

struct CommandAction {
  bool known;           // false: the code only starts the busy animation
  bool startsWatchdog;  // code 104
  bool robotCommand;    // stops the watchdog, writes "Status" 2 and sets newState
  int32_t newState;     // RobotState for a robot command
};

// The whole message parameter: a 64-bit WParam above 0xFFFFFFFF is an unknown code.
CommandAction ActionForCode(uint64_t code);

}  // namespace station

#endif  // STATION_COMMANDTABLE_H
