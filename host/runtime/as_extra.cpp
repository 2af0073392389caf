#include "host/runtime/as_extra.h"

#include "host/runtime/cabinet_stream.h"
#include "sdk/host_error.h"
#include "sdk/text_codec.h"

namespace sorvane::host {
namespace {

void checkKey(std::string_view key) {
  if (!isValidCabinetKey(key))
    throw HostError(ErrorCode::BadParameter,
                    "Invalid Cabinet key \"" + std::string(key) +
                        "\": a key is 1 to 255 printable ASCII characters, never \"atom\".");
}

void checkEncoding(HostEncoding encoding) {
  if (encoding != HostEncoding::Utf8)
    throw HostError(ErrorCode::BadParameter, "Unknown host encoding.");
}

} // namespace

CabinetHandle ASExtra::cabinetNew() { return m_store.adopt(std::make_unique<CabinetNode>()); }

void ASExtra::cabinetDestroy(CabinetHandle cab) { m_store.destroy(cab); }

void ASExtra::cabinetMakeEmpty(CabinetHandle cab) { m_store.cabinet(cab).clear(); }

CabinetHandle ASExtra::cabinetDup(CabinetHandle cab) {
  return m_store.adopt(m_store.cabinet(cab).clone());
}

void ASExtra::cabinetMerge(CabinetHandle dst, CabinetHandle src, CabinetMergeMode mode) {
  CabinetNode &target = m_store.cabinet(dst);
  // Copy first: the source may be the target or lie inside it.
  auto copy = m_store.cabinet(src).clone();
  switch (mode) {
  case CabinetMergeMode::ReplaceAll:
    target.clear();
    for (const auto &e : copy->entries())
      target.put(e.key, cloneValue(e.value));
    return;
  case CabinetMergeMode::AddMissing:
    for (const auto &e : copy->entries())
      if (!target.find(e.key))
        target.put(e.key, cloneValue(e.value));
    return;
  }
  throw HostError(ErrorCode::BadParameter,
                  "Unknown Cabinet merge mode " + std::to_string(int32_t(mode)) + ".");
}

CabinetValueType ASExtra::cabinetGetType(CabinetHandle cab, std::string_view key) {
  const CabinetValue *v = m_store.cabinet(cab).find(key);
  if (!v)
    return CabinetValueType::None;
  switch (v->index()) {
  case 0: return CabinetValueType::Bool;
  case 1: return CabinetValueType::Int;
  case 2: return CabinetValueType::Double;
  case 3: return CabinetValueType::Atom;
  case 4: return CabinetValueType::Pointer;
  case 5: return CabinetValueType::Text;
  default: return CabinetValueType::Cabinet;
  }
}

int32_t ASExtra::cabinetNumKeys(CabinetHandle cab) {
  return static_cast<int32_t>(m_store.cabinet(cab).size());
}

std::vector<std::string> ASExtra::cabinetKeys(CabinetHandle cab) {
  std::vector<std::string> keys;
  for (const auto &e : m_store.cabinet(cab).entries())
    keys.push_back(e.key);
  return keys;
}

void ASExtra::cabinetRemove(CabinetHandle cab, std::string_view key) {
  m_store.cabinet(cab).remove(key);
}

void ASExtra::put(CabinetHandle cab, std::string_view key, CabinetValue value) {
  checkKey(key);
  m_store.cabinet(cab).put(key, std::move(value));
}

void ASExtra::cabinetPutBool(CabinetHandle cab, std::string_view key, bool value) {
  put(cab, key, CabinetValue(std::in_place_type<bool>, value));
}

void ASExtra::cabinetPutInt(CabinetHandle cab, std::string_view key, int32_t value) {
  put(cab, key, CabinetValue(std::in_place_type<int32_t>, value));
}

void ASExtra::cabinetPutDouble(CabinetHandle cab, std::string_view key, double value) {
  put(cab, key, CabinetValue(std::in_place_type<double>, value));
}

void ASExtra::cabinetPutAtom(CabinetHandle cab, std::string_view key, Atom value) {
  m_atoms.name(value); // refuses an atom the host never gave
  put(cab, key, CabinetValue(std::in_place_type<Atom>, value));
}

void ASExtra::cabinetPutPointer(CabinetHandle cab, std::string_view key, void *value) {
  put(cab, key, CabinetValue(std::in_place_type<void *>, value));
}

void ASExtra::cabinetPutText(CabinetHandle cab, std::string_view key, TextHandle text) {
  checkKey(key);
  CabinetNode &target = m_store.cabinet(cab);
  target.put(key, m_store.release(text));
}

void ASExtra::cabinetPutCabinet(CabinetHandle cab, std::string_view key, CabinetHandle child) {
  checkKey(key);
  CabinetNode &target = m_store.cabinet(cab);
  CabinetNode &node = m_store.cabinet(child);
  if (node.holds(target))
    throw HostError(ErrorCode::BadParameter, "A Cabinet cannot be put into itself.");
  target.put(key, m_store.release(child));
}

template <class T> const T *ASExtra::get(CabinetHandle cab, std::string_view key) {
  const CabinetValue *v = m_store.cabinet(cab).find(key);
  return v ? std::get_if<T>(v) : nullptr;
}

bool ASExtra::cabinetGetBool(CabinetHandle cab, std::string_view key, bool defaultValue) {
  const bool *v = get<bool>(cab, key);
  return v ? *v : defaultValue;
}

int32_t ASExtra::cabinetGetInt(CabinetHandle cab, std::string_view key, int32_t defaultValue) {
  const int32_t *v = get<int32_t>(cab, key);
  return v ? *v : defaultValue;
}

double ASExtra::cabinetGetDouble(CabinetHandle cab, std::string_view key, double defaultValue) {
  if (const double *v = get<double>(cab, key))
    return *v;
  // A hand-edited file may write 12 where 12.0 was meant.
  if (const int32_t *i = get<int32_t>(cab, key))
    return *i;
  return defaultValue;
}

Atom ASExtra::cabinetGetAtom(CabinetHandle cab, std::string_view key, Atom defaultValue) {
  const Atom *v = get<Atom>(cab, key);
  return v ? *v : defaultValue;
}

void *ASExtra::cabinetGetPointer(CabinetHandle cab, std::string_view key) {
  void *const *v = get<void *>(cab, key);
  return v ? *v : nullptr;
}

TextHandle ASExtra::cabinetGetText(CabinetHandle cab, std::string_view key) {
  const auto *v = get<std::unique_ptr<TextObject>>(cab, key);
  return v ? m_store.handleOf(**v) : TextHandle();
}

CabinetHandle ASExtra::cabinetGetCabinet(CabinetHandle cab, std::string_view key) {
  const auto *v = get<std::unique_ptr<CabinetNode>>(cab, key);
  return v ? m_store.handleOf(**v) : CabinetHandle();
}

void ASExtra::cabinetWriteToStream(CabinetHandle cab, StreamHandle stream) {
  const AcroSupport::Stream &s = m_support.stream(stream);
  AcroSupport::File &file = m_support.file(s.file);
  if (s.mode != StreamMode::Write)
    throw HostError(ErrorCode::BadParameter, "The stream is not open for writing.");
  try {
    file.written += writeCabinetStream(m_store.cabinet(cab), m_atoms);
  } catch (const HostError &e) {
    file.failed = true;
    throw HostError(e.code(), file.path + ": " + e.text());
  }
}

CabinetHandle ASExtra::cabinetReadFromStream(StreamHandle stream) {
  const AcroSupport::Stream &s = m_support.stream(stream);
  const AcroSupport::File &file = m_support.file(s.file);
  if (s.mode != StreamMode::Read)
    throw HostError(ErrorCode::BadParameter, "The stream is not open for reading.");
  const std::string bytes = readWholeFile(file.path, kMaxCabinetStreamBytes);
  try {
    return m_store.adopt(readCabinetStream(bytes, m_atoms));
  } catch (const HostError &e) {
    throw HostError(e.code(), file.path + ": " + e.text());
  }
}

TextHandle ASExtra::textNew() { return m_store.adopt(std::make_unique<TextObject>()); }

TextHandle ASExtra::textFromEncoded(std::string_view bytes, HostEncoding encoding) {
  checkEncoding(encoding);
  return m_store.adopt(std::make_unique<TextObject>(bytes));
}

void ASExtra::textDestroy(TextHandle text) { m_store.destroy(text); }

void ASExtra::textSetEncoded(TextHandle text, std::string_view bytes, HostEncoding encoding) {
  checkEncoding(encoding);
  m_store.text(text).setUtf8(bytes);
}

std::string ASExtra::textGetEncoded(TextHandle text, HostEncoding encoding) {
  checkEncoding(encoding);
  return m_store.text(text).utf8();
}

void ASExtra::textSetUnicode(TextHandle text, std::u16string_view unicode) {
  m_store.text(text).setUtf8(utf16ToUtf8(unicode));
}

std::u16string ASExtra::textGetUnicode(TextHandle text) {
  return utf8ToUtf16(m_store.text(text).utf8());
}

} // namespace sorvane::host
