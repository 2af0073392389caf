// Fuzz driver: the stream form of Cabinets (settings and defaults files). Whatever it reads must
// write back out and read again the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/base/atom_table.h"
#include "host/runtime/cabinet_stream.h"
#include "sdk/host_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using namespace sorvane;
  host::AtomTable atoms; // a fresh table: atoms of earlier inputs do not fill it
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  std::unique_ptr<host::CabinetNode> cabinet;
  try {
    cabinet = host::readCabinetStream(bytes, atoms);
  } catch (const HostError &) {
    return 0; // refused with a reason: what it should do
  }
  const std::string written = host::writeCabinetStream(*cabinet, atoms);
  const auto again = host::readCabinetStream(written, atoms);
  if (host::writeCabinetStream(*again, atoms) != written)
    std::abort(); // a Cabinet that does not come back as it was written
  return 0;
}
