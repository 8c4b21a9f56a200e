// What each orinhost command does with a loaded plug-in; each returns an exit code.
#ifndef TOOLS_ORINHOST_COMMANDS_H
#define TOOLS_ORINHOST_COMMANDS_H

#include "Options.h"
#include "PluginHost.h"

int RunInfo(PluginHost& host, IRoboManager2* manager, const Options& options);
int RunList(PluginHost& host, IRoboManager2* manager, const Options& options);
int RunCreate(IRoboManager2* manager, IRoboDriverInfo* entry, const Options& options);
int RunConfigure(IRoboManager2* manager, IRoboDriverInfo* entry, const Options& options);
int RunFirmwareCheck(IRoboManager2* manager, IRoboDriverInfo* entry, const Options& options);

#endif  // TOOLS_ORINHOST_COMMANDS_H
