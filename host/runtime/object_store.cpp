#include "host/runtime/object_store.h"

#include "sdk/host_error.h"

namespace sorvane::host {

ObjectStore &ObjectStore::instance() {
  // Never destroyed, like the atom table: objects may die during process exit.
  static auto *store = new ObjectStore();
  return *store;
}

uint64_t ObjectStore::registerObject(Kind kind, void *object) {
  const uint64_t id = m_next++;
  m_slots.emplace(id, Slot{kind, object});
  return id;
}

void *ObjectStore::lookup(uint64_t handle, Kind kind) const {
  auto it = m_slots.find(handle);
  if (it == m_slots.end() || it->second.kind != kind)
    throw HostError(ErrorCode::InvalidHandle, kind == Kind::Cabinet
                                                  ? "Invalid Cabinet handle."
                                                  : "Invalid text object handle.");
  return it->second.object;
}

CabinetHandle ObjectStore::adopt(std::unique_ptr<CabinetNode> cabinet) {
  CabinetHandle h = handleOf(*cabinet);
  cabinet->parent = nullptr;
  m_cabinets.emplace(h.value(), std::move(cabinet));
  return h;
}

TextHandle ObjectStore::adopt(std::unique_ptr<TextObject> text) {
  TextHandle h = handleOf(*text);
  text->inCabinet = false;
  m_texts.emplace(h.value(), std::move(text));
  return h;
}

CabinetNode &ObjectStore::cabinet(CabinetHandle handle) const {
  return *static_cast<CabinetNode *>(lookup(handle.value(), Kind::Cabinet));
}

TextObject &ObjectStore::text(TextHandle handle) const {
  return *static_cast<TextObject *>(lookup(handle.value(), Kind::Text));
}

CabinetHandle ObjectStore::handleOf(CabinetNode &cabinet) {
  if (!cabinet.handle)
    cabinet.handle = registerObject(Kind::Cabinet, &cabinet);
  return CabinetHandle(cabinet.handle);
}

TextHandle ObjectStore::handleOf(TextObject &text) {
  if (!text.handle)
    text.handle = registerObject(Kind::Text, &text);
  return TextHandle(text.handle);
}

std::unique_ptr<CabinetNode> ObjectStore::release(CabinetHandle handle) {
  cabinet(handle); // validates
  auto it = m_cabinets.find(handle.value());
  if (it == m_cabinets.end())
    throw HostError(ErrorCode::NotOwner, "The Cabinet belongs to another Cabinet.");
  auto node = std::move(it->second);
  m_cabinets.erase(it);
  return node;
}

std::unique_ptr<TextObject> ObjectStore::release(TextHandle handle) {
  text(handle);
  auto it = m_texts.find(handle.value());
  if (it == m_texts.end())
    throw HostError(ErrorCode::NotOwner, "The text object belongs to a Cabinet.");
  auto node = std::move(it->second);
  m_texts.erase(it);
  return node;
}

void ObjectStore::destroy(CabinetHandle handle) { release(handle).reset(); }

void ObjectStore::destroy(TextHandle handle) { release(handle).reset(); }

void ObjectStore::forget(uint64_t handle) { m_slots.erase(handle); }

} // namespace sorvane::host
