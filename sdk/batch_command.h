// Batch-sequence commands: the record of procedures through which a host drives a plug-in's
// command over the documents of a sequence, and the statuses they answer.
#pragma once

#include <cstdint>

#include "sdk/handles.h"

namespace sorvane {

enum class CommandStatus : int32_t {
  Ready = 0,
  Working = 1,
  Done = 2,
  Cancelled = 3,
  InError = 4,
};

inline constexpr uint32_t kCommandHandlerRecordSize = 68;

// The procedures of a command handler, in record order. Slots left null are not called.
struct CommandHandlerRecord {
  uint32_t size = kCommandHandlerRecordSize;
  bool (*initialize)() = nullptr;
  bool (*terminate)() = nullptr;
  void (*registerCommands)() = nullptr;
  void (*createCommand)(CommandHandle command) = nullptr;
  void (*destroyCommand)(CommandHandle command) = nullptr;
  CommandStatus (*setParams)(CommandHandle command, CabinetHandle params) = nullptr;
  void (*getParams)(CommandHandle command, CabinetHandle params) = nullptr;
  void (*getProps)(CommandHandle command, CabinetHandle props) = nullptr;
  CommandStatus (*showDialog)(CommandHandle command) = nullptr;
  CommandStatus (*work)(CommandHandle command) = nullptr;
  CommandStatus (*cancel)(CommandHandle command) = nullptr;
  CommandStatus (*reset)(CommandHandle command) = nullptr;
  void *spare[3] = {nullptr, nullptr, nullptr};
};

} // namespace sorvane
