// "ASExtra": Cabinets and text objects.
//
// A Cabinet is an ordered key/value dictionary. Keys are printable ASCII (1 to 255 bytes, never
// the word "atom"); putting a key that exists replaces its value in place, so keys keep the
// order of their first put. Ownership: a Cabinet from cabinetNew, cabinetDup or
// cabinetReadFromStream belongs to the caller, who destroys it. A Cabinet or text object put
// into a Cabinet belongs to that Cabinet from then on: its handle still reaches it, but only
// until its owner replaces, removes or destroys it. Handles returned by the getters are owned
// by the Cabinet too. Every operation on a dead handle throws HostError(InvalidHandle).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/atom.h"
#include "sdk/handles.h"
#include "sdk/host_table.h"

namespace sorvane {

enum class CabinetValueType : int32_t {
  None = 0, // no entry under the key
  Bool = 1,
  Int = 2,
  Double = 3,
  Atom = 4,
  Text = 5,
  Pointer = 6,
  Cabinet = 7,
};

enum class CabinetMergeMode : int32_t {
  ReplaceAll = 4, // the target is emptied, then receives a copy of every entry of the source
  AddMissing = 6, // the target receives a copy of each source entry whose key it lacks
};

// The host's encodings for plug-in byte strings. The host code page is UTF-8.
enum class HostEncoding : int32_t { Utf8 = 0 };

class ASExtraTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kASExtra;

  virtual CabinetHandle cabinetNew() = 0;
  // Destroys a Cabinet the caller owns, with everything in it.
  // Throws HostError(NotOwner) for a Cabinet that belongs to another Cabinet.
  virtual void cabinetDestroy(CabinetHandle cab) = 0;
  virtual void cabinetMakeEmpty(CabinetHandle cab) = 0;
  // A deep copy, owned by the caller.
  virtual CabinetHandle cabinetDup(CabinetHandle cab) = 0;
  // Deep-copies entries of `src` into `dst` as `mode` says; `src` is not changed. Throws
  // HostError(BadParameter) for any other mode.
  virtual void cabinetMerge(CabinetHandle dst, CabinetHandle src, CabinetMergeMode mode) = 0;

  virtual CabinetValueType cabinetGetType(CabinetHandle cab, std::string_view key) = 0;
  bool cabinetKnown(CabinetHandle cab, std::string_view key) {
    return cabinetGetType(cab, key) != CabinetValueType::None;
  }
  virtual int32_t cabinetNumKeys(CabinetHandle cab) = 0;
  // Keys in order.
  virtual std::vector<std::string> cabinetKeys(CabinetHandle cab) = 0;
  // Removes the entry, destroying what it held; no effect when the key is absent.
  virtual void cabinetRemove(CabinetHandle cab, std::string_view key) = 0;

  // Puts. A bad key throws HostError(BadParameter).
  virtual void cabinetPutBool(CabinetHandle cab, std::string_view key, bool value) = 0;
  virtual void cabinetPutInt(CabinetHandle cab, std::string_view key, int32_t value) = 0;
  virtual void cabinetPutDouble(CabinetHandle cab, std::string_view key, double value) = 0;
  virtual void cabinetPutAtom(CabinetHandle cab, std::string_view key, Atom value) = 0;
  virtual void cabinetPutPointer(CabinetHandle cab, std::string_view key, void *value) = 0;
  // Takes ownership of `text`, which must not belong to a Cabinet already.
  virtual void cabinetPutText(CabinetHandle cab, std::string_view key, TextHandle text) = 0;
  // Takes ownership of `child`, which must be a Cabinet the caller owns and not `cab` itself
  // nor one that holds `cab`.
  virtual void cabinetPutCabinet(CabinetHandle cab, std::string_view key, CabinetHandle child) = 0;

  // Gets. A missing key or a value of another type gives `defaultValue`; an integer is
  // accepted where a double is asked for.
  virtual bool cabinetGetBool(CabinetHandle cab, std::string_view key, bool defaultValue) = 0;
  virtual int32_t cabinetGetInt(CabinetHandle cab, std::string_view key, int32_t defaultValue) = 0;
  virtual double cabinetGetDouble(CabinetHandle cab, std::string_view key, double defaultValue) = 0;
  virtual Atom cabinetGetAtom(CabinetHandle cab, std::string_view key, Atom defaultValue) = 0;
  virtual void *cabinetGetPointer(CabinetHandle cab, std::string_view key) = 0;
  // The text object under the key (owned by the Cabinet), or null.
  virtual TextHandle cabinetGetText(CabinetHandle cab, std::string_view key) = 0;
  // The Cabinet under the key (owned by `cab`), or null.
  virtual CabinetHandle cabinetGetCabinet(CabinetHandle cab, std::string_view key) = 0;

  // Stream form. Writing fails (HostError) for a Cabinet that cannot be stored; nothing is
  // written then. Reading gives a new Cabinet owned by the caller, or throws HostError with
  // the reason (FileFormat, FileTooLarge, FileAccess) and creates nothing.
  virtual void cabinetWriteToStream(CabinetHandle cab, StreamHandle stream) = 0;
  virtual CabinetHandle cabinetReadFromStream(StreamHandle stream) = 0;

  // Text objects hold Unicode text. Ill-formed input bytes read as U+FFFD.
  virtual TextHandle textNew() = 0;
  virtual TextHandle textFromEncoded(std::string_view bytes, HostEncoding encoding) = 0;
  // Throws HostError(NotOwner) for a text object that belongs to a Cabinet.
  virtual void textDestroy(TextHandle text) = 0;
  virtual void textSetEncoded(TextHandle text, std::string_view bytes, HostEncoding encoding) = 0;
  virtual std::string textGetEncoded(TextHandle text, HostEncoding encoding) = 0;
  virtual void textSetUnicode(TextHandle text, std::u16string_view unicode) = 0;
  virtual std::u16string textGetUnicode(TextHandle text) = 0;
};

} // namespace sorvane
