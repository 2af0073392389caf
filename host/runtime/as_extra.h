// The host's "ASExtra" table: Cabinets and text objects over the process's object store.
#pragma once

#include "host/base/atom_table.h"
#include "host/runtime/acro_support.h"
#include "host/runtime/object_store.h"
#include "sdk/as_extra_table.h"

namespace sorvane::host {

class ASExtra final : public ASExtraTable {
public:
  ASExtra(AcroSupport &support, AtomTable &atoms, ObjectStore &store)
      : m_support(support), m_atoms(atoms), m_store(store) {}

  CabinetHandle cabinetNew() override;
  void cabinetDestroy(CabinetHandle cab) override;
  void cabinetMakeEmpty(CabinetHandle cab) override;
  CabinetHandle cabinetDup(CabinetHandle cab) override;
  void cabinetMerge(CabinetHandle dst, CabinetHandle src, CabinetMergeMode mode) override;
  CabinetValueType cabinetGetType(CabinetHandle cab, std::string_view key) override;
  int32_t cabinetNumKeys(CabinetHandle cab) override;
  std::vector<std::string> cabinetKeys(CabinetHandle cab) override;
  void cabinetRemove(CabinetHandle cab, std::string_view key) override;

  void cabinetPutBool(CabinetHandle cab, std::string_view key, bool value) override;
  void cabinetPutInt(CabinetHandle cab, std::string_view key, int32_t value) override;
  void cabinetPutDouble(CabinetHandle cab, std::string_view key, double value) override;
  void cabinetPutAtom(CabinetHandle cab, std::string_view key, Atom value) override;
  void cabinetPutPointer(CabinetHandle cab, std::string_view key, void *value) override;
  void cabinetPutText(CabinetHandle cab, std::string_view key, TextHandle text) override;
  void cabinetPutCabinet(CabinetHandle cab, std::string_view key, CabinetHandle child) override;

  bool cabinetGetBool(CabinetHandle cab, std::string_view key, bool defaultValue) override;
  int32_t cabinetGetInt(CabinetHandle cab, std::string_view key, int32_t defaultValue) override;
  double cabinetGetDouble(CabinetHandle cab, std::string_view key, double defaultValue) override;
  Atom cabinetGetAtom(CabinetHandle cab, std::string_view key, Atom defaultValue) override;
  void *cabinetGetPointer(CabinetHandle cab, std::string_view key) override;
  TextHandle cabinetGetText(CabinetHandle cab, std::string_view key) override;
  CabinetHandle cabinetGetCabinet(CabinetHandle cab, std::string_view key) override;

  void cabinetWriteToStream(CabinetHandle cab, StreamHandle stream) override;
  CabinetHandle cabinetReadFromStream(StreamHandle stream) override;

  TextHandle textNew() override;
  TextHandle textFromEncoded(std::string_view bytes, HostEncoding encoding) override;
  void textDestroy(TextHandle text) override;
  void textSetEncoded(TextHandle text, std::string_view bytes, HostEncoding encoding) override;
  std::string textGetEncoded(TextHandle text, HostEncoding encoding) override;
  void textSetUnicode(TextHandle text, std::u16string_view unicode) override;
  std::u16string textGetUnicode(TextHandle text) override;

private:
  void put(CabinetHandle cab, std::string_view key, CabinetValue value);
  template <class T> const T *get(CabinetHandle cab, std::string_view key);

  AcroSupport &m_support;
  AtomTable &m_atoms;
  ObjectStore &m_store;
};

} // namespace sorvane::host
