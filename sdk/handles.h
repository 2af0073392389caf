// Opaque handles to host objects. A handle is a small value; the host maps it to its object.
// A default-constructed handle is null and names nothing.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>

namespace sorvane {

template <class Tag> class Handle {
public:
  constexpr Handle() = default;
  constexpr explicit Handle(uint64_t value) : m_value(value) {}

  constexpr uint64_t value() const { return m_value; }
  constexpr bool isNull() const { return m_value == 0; }
  constexpr explicit operator bool() const { return m_value != 0; }
  constexpr auto operator<=>(const Handle &) const = default;

private:
  uint64_t m_value = 0;
};

using CabinetHandle = Handle<struct CabinetTag>;
using TextHandle = Handle<struct TextTag>;
using PathHandle = Handle<struct PathTag>;
using FileHandle = Handle<struct FileTag>;
using StreamHandle = Handle<struct StreamTag>;
using DocHandle = Handle<struct DocTag>;
using ViewDocHandle = Handle<struct ViewDocTag>;
using PageHandle = Handle<struct PageTag>;
using BookmarkHandle = Handle<struct BookmarkTag>;
using ActionHandle = Handle<struct ActionTag>;
using ViewDestHandle = Handle<struct ViewDestTag>;
using FileSpecHandle = Handle<struct FileSpecTag>;
using CosObjHandle = Handle<struct CosObjTag>;
using CosDocHandle = Handle<struct CosDocTag>;
using ContentHandle = Handle<struct ContentTag>;
using ElementHandle = Handle<struct ElementTag>;
using CommandHandle = Handle<struct CommandTag>;
using MenubarHandle = Handle<struct MenubarTag>;
using MenuHandle = Handle<struct MenuTag>;
using MenuItemHandle = Handle<struct MenuItemTag>;

} // namespace sorvane

template <class Tag> struct std::hash<sorvane::Handle<Tag>> {
  size_t operator()(const sorvane::Handle<Tag> &h) const noexcept {
    return std::hash<uint64_t>{}(h.value());
  }
};
