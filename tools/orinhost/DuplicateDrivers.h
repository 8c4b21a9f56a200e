// Files in a driver folder that give a catalogue entry's plug-in name and version again: the
// plug-in lists the first one its folder search returns and passes over the others in silence,
// so which file a host gets depends on the folder's listing order.
#ifndef TOOLS_ORINHOST_DUPLICATEDRIVERS_H
#define TOOLS_ORINHOST_DUPLICATEDRIVERS_H

#include <orinrobo/OrinRoboSdk.h>

#include <string>
#include <vector>

// Per catalogue entry, the full paths of the other files with its name and version.
std::vector<std::vector<std::string>> SameNameAndVersion(IRoboManager2* manager, const std::string& folder,
                                                         unsigned hostVersion, const void* pluginModule);

#endif  // TOOLS_ORINHOST_DUPLICATEDRIVERS_H
