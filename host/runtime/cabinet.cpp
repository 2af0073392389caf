#include "host/runtime/cabinet.h"

#include <algorithm>
#include <utility>

#include "host/runtime/object_store.h"
#include "sdk/text_codec.h"

namespace sorvane::host {

TextObject::~TextObject() {
  if (handle)
    ObjectStore::instance().forget(handle);
}

void TextObject::setUtf8(std::string_view utf8) { m_utf8 = sanitizeUtf8(utf8); }

CabinetNode::~CabinetNode() {
  if (handle)
    ObjectStore::instance().forget(handle);
}

const CabinetValue *CabinetNode::find(std::string_view key) const {
  const long at = position(key);
  return at < 0 ? nullptr : &m_entries[size_t(at)].value;
}

long CabinetNode::position(std::string_view key) const {
  // Small Cabinets are searched; large ones (a file of many levels or items) use an index, so
  // that reading or filling one costs time in proportion to its size.
  if (m_entries.size() <= kIndexFrom) {
    for (size_t i = 0; i < m_entries.size(); ++i)
      if (m_entries[i].key == key)
        return long(i);
    return -1;
  }
  if (m_index.size() != m_entries.size()) {
    m_index.clear();
    for (size_t i = 0; i < m_entries.size(); ++i)
      m_index.emplace(m_entries[i].key, i);
  }
  auto it = m_index.find(std::string(key));
  return it == m_index.end() ? -1 : long(it->second);
}

CabinetValue *CabinetNode::find(std::string_view key) {
  return const_cast<CabinetValue *>(std::as_const(*this).find(key));
}

void CabinetNode::put(std::string_view key, CabinetValue value) {
  if (auto *text = std::get_if<std::unique_ptr<TextObject>>(&value))
    (*text)->inCabinet = true;
  if (auto *child = std::get_if<std::unique_ptr<CabinetNode>>(&value))
    (*child)->parent = this;
  if (auto *existing = find(key)) {
    // Move the old value out first so that destroying it cannot touch the new one.
    CabinetValue old = std::move(*existing);
    *existing = std::move(value);
    return;
  }
  m_entries.push_back(Entry{std::string(key), std::move(value)});
  if (!m_index.empty())
    m_index.emplace(m_entries.back().key, m_entries.size() - 1);
}

void CabinetNode::remove(std::string_view key) {
  const long at = position(key);
  if (at < 0)
    return;
  CabinetValue old = std::move(m_entries[size_t(at)].value);
  m_entries.erase(m_entries.begin() + at);
  m_index.clear(); // positions after it moved; made again when needed
}

void CabinetNode::clear() {
  std::vector<Entry> old;
  old.swap(m_entries);
  m_index.clear();
}

CabinetValue cloneValue(const CabinetValue &value) {
  return std::visit(
      [](const auto &v) -> CabinetValue {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::unique_ptr<TextObject>>)
          return std::make_unique<TextObject>(v->utf8());
        else if constexpr (std::is_same_v<T, std::unique_ptr<CabinetNode>>)
          return v->clone();
        else
          return v;
      },
      value);
}

std::unique_ptr<CabinetNode> CabinetNode::clone() const {
  auto copy = std::make_unique<CabinetNode>();
  copy->m_entries.reserve(m_entries.size());
  for (const auto &e : m_entries)
    copy->put(e.key, cloneValue(e.value));
  return copy;
}

bool CabinetNode::holds(const CabinetNode &other) const {
  for (const CabinetNode *p = &other; p; p = p->parent)
    if (p == this)
      return true;
  return false;
}

size_t CabinetNode::depth() const {
  // Iterative, so that a deeply nested Cabinet cannot exhaust the stack.
  size_t deepest = 0;
  std::vector<std::pair<const CabinetNode *, size_t>> todo{{this, 1}};
  while (!todo.empty()) {
    auto [node, level] = todo.back();
    todo.pop_back();
    deepest = std::max(deepest, level);
    for (const auto &e : node->m_entries)
      if (auto *child = std::get_if<std::unique_ptr<CabinetNode>>(&e.value))
        todo.emplace_back(child->get(), level + 1);
  }
  return deepest;
}

} // namespace sorvane::host
