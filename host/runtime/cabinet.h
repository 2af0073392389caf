// The host's Cabinet and text objects, as the host holds them behind their handles.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "sdk/atom.h"

namespace sorvane::host {

// Unicode text, held as well-formed UTF-8.
class TextObject {
public:
  TextObject() = default;
  explicit TextObject(std::string_view utf8) { setUtf8(utf8); }
  ~TextObject();
  TextObject(const TextObject &) = delete;
  TextObject &operator=(const TextObject &) = delete;

  const std::string &utf8() const { return m_utf8; }
  // Ill-formed sequences become U+FFFD.
  void setUtf8(std::string_view utf8);

  uint64_t handle = 0;    // the handle that reaches this object, 0 when none was given out
  bool inCabinet = false; // owned by a Cabinet rather than by whoever holds the handle

private:
  std::string m_utf8;
};

class CabinetNode;

using CabinetValue = std::variant<bool, int32_t, double, Atom, void *, std::unique_ptr<TextObject>,
                                  std::unique_ptr<CabinetNode>>;

// An ordered dictionary of typed values. Text objects and nested Cabinets in it are owned by it.
class CabinetNode {
public:
  struct Entry {
    std::string key;
    CabinetValue value;
  };

  CabinetNode() = default;
  ~CabinetNode();
  CabinetNode(const CabinetNode &) = delete;
  CabinetNode &operator=(const CabinetNode &) = delete;

  const std::vector<Entry> &entries() const { return m_entries; }
  size_t size() const { return m_entries.size(); }
  const CabinetValue *find(std::string_view key) const;
  CabinetValue *find(std::string_view key);

  // Replaces the value of an existing key in place, or appends a new entry. Owned objects in
  // `value` are marked as belonging to this Cabinet.
  void put(std::string_view key, CabinetValue value);
  void remove(std::string_view key);
  void clear();

  // A deep copy: new text objects and Cabinets, no handles.
  std::unique_ptr<CabinetNode> clone() const;

  // True when `other` is this Cabinet or one nested inside it.
  bool holds(const CabinetNode &other) const;

  // Number of Cabinets from here to the innermost nested one (1 for a flat Cabinet).
  size_t depth() const;

  CabinetNode *parent = nullptr; // the Cabinet that owns this one, or null
  uint64_t handle = 0;           // the handle that reaches this Cabinet, 0 when none was given

private:
  static constexpr size_t kIndexFrom = 16;
  // The position of `key` in m_entries, or -1.
  long position(std::string_view key) const;

  std::vector<Entry> m_entries;
  mutable std::unordered_map<std::string, size_t> m_index; // key to position, for large ones
};

CabinetValue cloneValue(const CabinetValue &value);

} // namespace sorvane::host
