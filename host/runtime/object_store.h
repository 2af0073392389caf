// The host's handle registry for Cabinets and text objects. Handles are never reused, so a
// stale handle is reported (HostError InvalidHandle) instead of reaching another object.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "host/runtime/cabinet.h"
#include "sdk/handles.h"

namespace sorvane::host {

class ObjectStore {
public:
  static ObjectStore &instance();

  // Gives the object to whoever receives the handle.
  CabinetHandle adopt(std::unique_ptr<CabinetNode> cabinet);
  TextHandle adopt(std::unique_ptr<TextObject> text);

  // The object behind a live handle; throws HostError(InvalidHandle) otherwise.
  CabinetNode &cabinet(CabinetHandle handle) const;
  TextObject &text(TextHandle handle) const;

  // A handle for an object that lives inside a Cabinet (made on first request).
  CabinetHandle handleOf(CabinetNode &cabinet);
  TextHandle handleOf(TextObject &text);

  // Takes a caller-owned object back from its handle, to be put into a Cabinet. The handle
  // keeps reaching the object. Throws HostError(NotOwner) when a Cabinet owns it.
  std::unique_ptr<CabinetNode> release(CabinetHandle handle);
  std::unique_ptr<TextObject> release(TextHandle handle);

  // Destroys a caller-owned object. Throws HostError(NotOwner) when a Cabinet owns it.
  void destroy(CabinetHandle handle);
  void destroy(TextHandle handle);

  // Called by an object that dies.
  void forget(uint64_t handle);

  // Live handles and caller-owned objects, for leak checks in tests.
  size_t liveHandles() const { return m_slots.size(); }
  size_t ownedObjects() const { return m_cabinets.size() + m_texts.size(); }

private:
  enum class Kind : uint8_t { Cabinet, Text };
  struct Slot {
    Kind kind;
    void *object;
  };
  void *lookup(uint64_t handle, Kind kind) const;
  uint64_t registerObject(Kind kind, void *object);

  std::unordered_map<uint64_t, Slot> m_slots;
  std::unordered_map<uint64_t, std::unique_ptr<CabinetNode>> m_cabinets;
  std::unordered_map<uint64_t, std::unique_ptr<TextObject>> m_texts;
  uint64_t m_next = 1;
};

} // namespace sorvane::host
