#include "plugin/shell/table_import.h"

#include <iterator>

namespace sorvane {
namespace {

template <class T>
bool importOne(CoreTable &core, ImportedTable<T> &slot, uint32_t minVersion, bool required) {
  slot = {};
  for (auto it = std::rbegin(kTableVersions); it != std::rend(kTableVersions); ++it) {
    if (*it < minVersion)
      break;
    if (T *table = core.importTable<T>(*it)) {
      slot.table = table;
      slot.version = *it;
      return true;
    }
  }
  return !required;
}

} // namespace

bool importHostTables(CoreTable &core, ImportedTables &t) {
  constexpr uint32_t v5 = 0x50000;
  constexpr uint32_t v4 = 0x40000;
  return importOne(core, t.acroSupport, v5, true) && importOne(core, t.cos, v5, true) &&
         importOne(core, t.pdModel, v5, true) && importOne(core, t.pdfEditWrite, v5, true) &&
         importOne(core, t.pdfEditRead, v5, true) && importOne(core, t.pdSysFont, v4, true) &&
         importOne(core, t.pagePDEContent, v4, true) && importOne(core, t.acroView, v5, true) &&
         importOne(core, t.pdsWrite, v5, true) && importOne(core, t.pdsRead, v5, true) &&
         importOne(core, t.win, v5, true) && importOne(core, t.asExtra, v5, false) &&
         importOne(core, t.acroViewSweetPea, v5, false) && importOne(core, t.pdMetadata, v5, false);
}

} // namespace sorvane
