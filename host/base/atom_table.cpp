#include "host/base/atom_table.h"

#include <algorithm>

#include "sdk/host_error.h"

namespace sorvane::host {

AtomTable::AtomTable(size_t capacity) : m_capacity(std::min(capacity, kMaxAtoms)) {}

AtomTable &AtomTable::instance() {
  // Never destroyed: atoms must stay valid for anything that runs during process exit.
  static auto *table = new AtomTable();
  return *table;
}

Atom AtomTable::intern(std::string_view name) {
  if (auto it = m_index.find(name); it != m_index.end())
    return it->second;
  if (m_names.size() >= m_capacity)
    throw HostError(ErrorCode::LimitReached,
                    "The atom table is full (" + std::to_string(m_capacity) + " names).");
  const auto atom = static_cast<Atom>(m_names.size());
  const std::string &stored = m_names.emplace_back(name);
  m_index.emplace(stored, atom);
  return atom;
}

bool AtomTable::find(std::string_view name, Atom *atom) const {
  auto it = m_index.find(name);
  if (it == m_index.end())
    return false;
  if (atom)
    *atom = it->second;
  return true;
}

std::string_view AtomTable::name(Atom atom) const {
  const auto index = static_cast<size_t>(atom);
  if (atom == Atom::Null || index >= m_names.size())
    throw HostError(ErrorCode::BadParameter, "Unknown atom " + std::to_string(index) + ".");
  return m_names[index];
}

} // namespace sorvane::host
