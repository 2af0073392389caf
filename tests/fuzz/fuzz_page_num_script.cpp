// Fuzz driver: reading the page a bookmark's script assigns ("this.pageNum = N").
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "plugin/outline/bookmark_action.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view script(reinterpret_cast<const char *>(data), size);
  (void)sorvane::parsePageNumScript(script);
  return 0;
}
