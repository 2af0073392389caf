#include "plugin/shell/plugin_state.h"

namespace sorvane {

PlugInState &plugInState() {
  static PlugInState state;
  return state;
}

ImportedTables &hostTables() {
  static ImportedTables tables;
  return tables;
}

} // namespace sorvane
