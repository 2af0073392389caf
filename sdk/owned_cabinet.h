// A Cabinet its holder owns (one from cabinetNew, cabinetDup or a reader): destroyed when the
// holder goes, also when an error leaves the scope, unless released first (put into another
// Cabinet, or handed to an owner that takes a handle). Moves, never copies.
#pragma once

#include <utility>

#include "sdk/as_extra_table.h"
#include "sdk/host_error.h"

namespace sorvane {

class OwnedCabinet {
public:
  OwnedCabinet() = default;
  OwnedCabinet(ASExtraTable &table, CabinetHandle cab) : m_table(&table), m_cab(cab) {}
  ~OwnedCabinet() { reset(); }
  OwnedCabinet(OwnedCabinet &&other) noexcept
      : m_table(other.m_table), m_cab(std::exchange(other.m_cab, CabinetHandle())) {}
  OwnedCabinet &operator=(OwnedCabinet &&other) noexcept {
    if (this != &other) {
      reset();
      m_table = other.m_table;
      m_cab = std::exchange(other.m_cab, CabinetHandle());
    }
    return *this;
  }
  OwnedCabinet(const OwnedCabinet &) = delete;
  OwnedCabinet &operator=(const OwnedCabinet &) = delete;

  CabinetHandle get() const { return m_cab; }
  explicit operator bool() const { return bool(m_cab); }
  // Gives up ownership: the caller (or the Cabinet it is put into) destroys it.
  CabinetHandle release() { return std::exchange(m_cab, CabinetHandle()); }
  void reset() noexcept {
    if (m_cab && m_table) {
      try {
        m_table->cabinetDestroy(m_cab);
      } catch (const HostError &) {
        // Already gone with the host's objects: nothing left to free.
      }
    }
    m_cab = CabinetHandle();
  }

private:
  ASExtraTable *m_table = nullptr;
  CabinetHandle m_cab;
};

} // namespace sorvane
