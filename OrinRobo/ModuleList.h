// ModuleList: the driver libraries a manager keeps loaded because an object from them was handed
// out; a doubly linked list in the order of loading. The same library may stand several times.
#ifndef ORINROBO_MODULELIST_H
#define ORINROBO_MODULELIST_H

#include "ORINAPI_PORTABLE/Windows/WindowsSupport.h"

class ModuleList {
 public:
  ModuleList() = default;
  ModuleList(const ModuleList&) = delete;
  ModuleList& operator=(const ModuleList&) = delete;
  ~ModuleList();  // releases every handle, first-added first, then frees the nodes

  // Takes over one load of a library. When no node can be had, the library is kept loaded for
  // the life of the process rather than freed under an object that still runs in it.
  void Append(HMODULE module);
  int Count() const { return count_; }
  HMODULE At(int index) const;  // for diagnostics and tests; null when out of range

 private:
  struct Node {
    Node* previous;
    Node* next;
    HMODULE module;
  };
  Node* first_ = nullptr;
  Node* last_ = nullptr;
  int count_ = 0;
};

#endif  // ORINROBO_MODULELIST_H
