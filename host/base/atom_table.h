// The host's atom table: one per process, 16-bit atoms, equal names give equal atoms.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

#include "sdk/atom.h"

namespace sorvane::host {

class AtomTable {
public:
  // Atoms run from 0 up to, not including, Atom::Null.
  static constexpr size_t kMaxAtoms = static_cast<size_t>(Atom::Null);

  explicit AtomTable(size_t capacity = kMaxAtoms);

  // The process's table, used by every host table.
  static AtomTable &instance();

  // Throws HostError(LimitReached) when the table is full.
  Atom intern(std::string_view name);
  bool find(std::string_view name, Atom *atom) const;
  // Throws HostError(BadParameter) for an atom this table did not give.
  std::string_view name(Atom atom) const;
  size_t size() const { return m_names.size(); }

private:
  size_t m_capacity;
  std::deque<std::string> m_names; // a deque keeps the strings (and the views below) in place
  std::unordered_map<std::string_view, Atom> m_index;
};

} // namespace sorvane::host
