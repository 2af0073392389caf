// Importing the host's function tables at setup.
#pragma once

#include <cstdint>
#include <span>

#include "sdk/imported_tables.h"

namespace sorvane {

// The versions tried for every table, highest first.
inline constexpr uint32_t kTableVersions[] = {0x20001, 0x20002, 0x20003, 0x40000, 0x40005, 0x50000};

// Imports every table in order into `tables`, each at the highest version the host grants that
// is not below the table's minimum. Stops at the first required table the host refuses and
// returns false; an optional table that is refused stays empty.
bool importHostTables(CoreTable &core, ImportedTables &tables);

} // namespace sorvane
