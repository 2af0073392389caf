// A number with its noun, for the hosts' English texts: "1 file", "3 files".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sorvane::host {

inline std::string counted(int64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

} // namespace sorvane::host
