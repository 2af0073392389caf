// The host's progress monitor: optional operations, each skipped when absent, and the client
// data passed with every call.
#pragma once

#include <cstdint>

#include "sdk/handles.h"

namespace sorvane {

struct ProgressMonitor {
  void (*beginOperation)(void *clientData) = nullptr;
  void (*endOperation)(void *clientData) = nullptr;
  void (*setDuration)(int32_t total, void *clientData) = nullptr;
  void (*setCurrValue)(int32_t value, void *clientData) = nullptr;
  // The text object stays the caller's; the monitor copies what it needs.
  void (*setText)(TextHandle text, void *clientData) = nullptr;
  // True once the user asked to stop the operation: long work asks between its steps (pages,
  // bookmark trees) and ends as cancelled. Absent: the operation is not stopped.
  bool (*cancelRequested)(void *clientData) = nullptr;
};

} // namespace sorvane
