// One driver library asked what the plug-in's catalogue asks it (name, version, interface
// version), after the same interface-version announcement, and released again.
#ifndef TOOLS_ORINHOST_LIBRARYPROBE_H
#define TOOLS_ORINHOST_LIBRARYPROBE_H

#include <stdint.h>

#include <string>

struct LibraryFacts {
  bool loaded = false;
  bool hasNameEntry = false;
  bool hasName = false;  // the name entry point answered a text, not null
  std::string name;
  bool hasVersion = false;
  uint32_t version = 0;
  bool hasInterfaceVersion = false;
  uint32_t interfaceVersion = 0;

  // What the plug-in's catalogue requires of a library before it compares names.
  bool Catalogued() const;
};

// skipModule: a module that is no driver (the plug-in itself, which the folder may hold) is
// never called; its facts come back as not loaded.
LibraryFacts ProbeLibrary(const char* path, unsigned hostVersion, const void* skipModule);

#endif  // TOOLS_ORINHOST_LIBRARYPROBE_H
