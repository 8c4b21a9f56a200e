#include "OrinRobo/ModuleList.h"

#include <new>

ModuleList::~ModuleList() {
  for (Node* node = first_; node; node = node->next) {
    if (node->module) ::FreeLibrary(node->module);
  }
  while (first_) {
    Node* next = first_->next;
    delete first_;
    first_ = next;
  }
  last_ = nullptr;
  count_ = 0;
}

void ModuleList::Append(HMODULE module) {
  Node* node = new (std::nothrow) Node{last_, nullptr, module};
  if (node == nullptr) return;
  if (last_) {
    last_->next = node;
  } else {
    first_ = node;
  }
  last_ = node;
  ++count_;
}

HMODULE ModuleList::At(int index) const {
  int i = 0;
  for (Node* node = first_; node; node = node->next, ++i) {
    if (i == index) return node->module;
  }
  return nullptr;
}
