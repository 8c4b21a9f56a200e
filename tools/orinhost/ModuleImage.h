// What a loaded driver library's image shows orinhost check: the names it exports and where its
// code lies, read from the PE headers in memory with every offset checked against the image.
#ifndef TOOLS_ORINHOST_MODULEIMAGE_H
#define TOOLS_ORINHOST_MODULEIMAGE_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

// Every name in the export table; empty when the image has none or its table is malformed.
std::vector<std::string> ExportNames(HMODULE module);

// How many of the first `wanted` entries of the object's function table point into the module's
// executable sections; -1 when the table does not lie inside the module's image, so there is
// nothing to compare it with.
int EntriesIntoCode(HMODULE module, const void* object, int wanted);

#endif  // TOOLS_ORINHOST_MODULEIMAGE_H
