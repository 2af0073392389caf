// The core table: atoms and the import of the other tables. Host failures travel as HostError
// (sdk/host_error.h); an exception frame is a try/catch of that type.
#pragma once

#include <cstdint>
#include <string_view>

#include "sdk/atom.h"
#include "sdk/host_table.h"

namespace sorvane {

class CoreTable : public HostTable {
public:
  // The core table comes with the host data at setup, not by import; the name is for messages.
  static constexpr std::string_view kName = "Core";

  // The atom of `name`; equal names give equal atoms for the life of the process.
  // Throws HostError(LimitReached) when the host's atom table is full.
  virtual Atom atomFromString(std::string_view name) = 0;
  // Looks a name up without interning it; false (and `atom` untouched) when it has no atom.
  virtual bool atomExistsForString(std::string_view name, Atom *atom) = 0;
  // The name of an atom. Throws HostError(BadParameter) for Atom::Null or an unknown atom.
  // The view stays valid for the life of the process.
  virtual std::string_view atomGetString(Atom atom) = 0;

  // The table `name` at exactly `version`, or null when the host does not grant it at that
  // version. The host owns the table; the pointer stays valid until the plug-in is unloaded.
  virtual HostTable *getTable(std::string_view name, uint32_t version) = 0;

  // Typed import: `T` names its table in `T::kName`.
  template <class T> T *importTable(uint32_t version) {
    return static_cast<T *>(getTable(T::kName, version));
  }
};

} // namespace sorvane
