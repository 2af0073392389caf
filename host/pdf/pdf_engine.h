// The PDF engine behind the host.
#pragma once

#include <string>

namespace sorvane::host {

// The engine's version, after checking that the engine library starts and matches the headers
// it was built with. Throws HostError(Generic) when it does not.
std::string pdfEngineVersion();

} // namespace sorvane::host
