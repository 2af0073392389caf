// The host's table provider: every table this host grants, by name and version.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "sdk/core_table.h"

namespace sorvane::host {

class AcroSupport;
class ASExtra;
class AcroView;
class Win;

class HostTableProvider {
public:
  HostTableProvider();
  ~HostTableProvider();
  HostTableProvider(const HostTableProvider &) = delete;
  HostTableProvider &operator=(const HostTableProvider &) = delete;

  CoreTable &core();

  // The table `name` when this host grants it at `version`, else null.
  HostTable *grant(std::string_view name, uint32_t version);

  // Serves `name` with `table` from now on (the front end plugs in the PDF engine's tables).
  // The table must outlive the provider's use of it.
  void provide(std::string_view name, HostTable *table);

  // Test hooks: grant `name` only up to `maxVersion` (0 refuses it).
  void limitTable(std::string_view name, uint32_t maxVersion);

  AcroSupport &acroSupport();
  ASExtra &asExtra();
  AcroView &acroView();
  Win &win();

private:
  struct Tables;
  std::unique_ptr<Tables> m_tables;
  std::map<std::string, uint32_t, std::less<>> m_maxVersion;
  std::map<std::string, HostTable *, std::less<>> m_provided;
};

} // namespace sorvane::host
