// Atoms: 16-bit names interned by the host. Equal names give equal atoms.
#pragma once

#include <cstdint>

namespace sorvane {

enum class Atom : uint16_t { Null = 0xFFFF };

} // namespace sorvane
