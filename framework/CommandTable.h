// Per-class command tables: plain constant arrays mapping a control id (or a
// private window message) to a member function without arguments. Each class
// looks in its own table and hands what it does not know to its base class;
// the window base finally hands commands to the application.
#pragma once

#include <cstddef>

#include "platform/WinTypes.h"

namespace raylet {

enum class EntryKind { Command, Message };

template <class T>
struct CommandEntry {
  EntryKind kind;
  UINT id;
  void (T::*handler)();
};

// Runs the handler `self` has for (kind, id) in `table`; false when the table
// holds no such entry.
template <class T, std::size_t N>
bool DispatchEntry(T& self, const CommandEntry<T> (&table)[N], EntryKind kind, UINT id) {
  for (const CommandEntry<T>& entry : table) {
    if (entry.kind == kind && entry.id == id) {
      (self.*entry.handler)();
      return true;
    }
  }
  return false;
}

}  // namespace raylet
