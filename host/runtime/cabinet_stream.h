// The stream form of a Cabinet: one JSON object that people can read, edit and diff.
//
//   { "format": "sorvane-cabinet", "version": 1, "cabinet": { ... } }
//
// Booleans are JSON booleans, integers numbers without fraction or exponent, doubles numbers
// that always have one (12.0), text JSON strings, atoms { "atom": "Name" }, nested Cabinets
// objects in key order. Pointers are not written.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "host/base/atom_table.h"
#include "host/runtime/cabinet.h"

namespace sorvane::host {

inline constexpr std::string_view kCabinetFormatName = "sorvane-cabinet";
inline constexpr int kCabinetFormatVersion = 1;
inline constexpr size_t kMaxCabinetStreamBytes = 16u << 20;
inline constexpr size_t kMaxCabinetDepth = 64; // Cabinets nested in one another, the outer one too

// True for a key a Cabinet accepts: 1 to 255 printable ASCII characters, not "atom".
bool isValidCabinetKey(std::string_view key);

// The stream form of `cabinet`. Throws HostError(BadParameter) for what the form cannot hold
// (a double that is not finite, nesting deeper than kMaxCabinetDepth); nothing is produced then.
std::string writeCabinetStream(const CabinetNode &cabinet, const AtomTable &atoms);

// Reads the stream form. Throws HostError: FileTooLarge over kMaxCabinetStreamBytes, FileFormat
// for anything else that is not a well-formed Cabinet, with the reason (and the key path) in
// its text. No Cabinet exists after a failure.
std::unique_ptr<CabinetNode> readCabinetStream(std::string_view bytes, AtomTable &atoms);

} // namespace sorvane::host
