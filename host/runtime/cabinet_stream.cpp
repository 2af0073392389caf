#include "host/runtime/cabinet_stream.h"

#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "sdk/host_error.h"

namespace sorvane::host {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kAtomKey = "atom";

[[noreturn]] void formatError(const std::string &reason) {
  throw HostError(ErrorCode::FileFormat, reason);
}

std::string childPath(const std::string &path, std::string_view key) {
  return path.empty() ? std::string(key) : path + "." + std::string(key);
}

// ---- writing

Json toJson(const CabinetNode &cabinet, const AtomTable &atoms, const std::string &path) {
  Json obj = Json::object();
  // Keys are unique in a Cabinet: they are appended as they are, without the search that
  // assigning by key would make for each one.
  auto &entries = static_cast<Json::object_t::Container &>(obj.get_ref<Json::object_t &>());
  entries.reserve(cabinet.size());
  for (const auto &entry : cabinet.entries()) {
    const std::string where = childPath(path, entry.key);
    std::visit(
        [&](const auto &v) {
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, int32_t>) {
            entries.emplace_back(entry.key, v);
          } else if constexpr (std::is_same_v<T, double>) {
            if (!std::isfinite(v))
              throw HostError(ErrorCode::BadParameter,
                              "\"" + where + "\" holds a number that is not finite.");
            entries.emplace_back(entry.key, v);
          } else if constexpr (std::is_same_v<T, Atom>) {
            entries.emplace_back(entry.key, Json{{kAtomKey, std::string(atoms.name(v))}});
          } else if constexpr (std::is_same_v<T, std::unique_ptr<TextObject>>) {
            entries.emplace_back(entry.key, v->utf8());
          } else if constexpr (std::is_same_v<T, std::unique_ptr<CabinetNode>>) {
            entries.emplace_back(entry.key, toJson(*v, atoms, where));
          }
          // Pointers mean nothing outside this process: they are not written.
        },
        entry.value);
  }
  return obj;
}

// ---- reading

// Builds the Cabinet while the JSON is parsed, event by event: each key is looked up once and
// each value placed once, so reading takes time in proportion to the file, and nesting is
// refused before it goes deeper than any Cabinet may.
class CabinetReader {
public:
  using Exception = nlohmann::detail::exception;
  explicit CabinetReader(AtomTable &atoms) : m_atoms(atoms) {}

  std::unique_ptr<CabinetNode> take() {
    if (!m_envelope.done)
      formatError("not a Sorvane Cabinet file (it has no \"format\": \"sorvane-cabinet\").");
    return std::move(m_root);
  }

  // The parser's events. Each returns true to go on; a refusal throws.
  bool null() { return value(std::monostate{}, "null"); }
  bool boolean(bool v) { return value(v, v ? "true" : "false"); }
  bool number_integer(int64_t v) { return integer(v, std::to_string(v)); }
  bool number_unsigned(uint64_t v) {
    return integer(v > uint64_t(std::numeric_limits<int64_t>::max())
                       ? std::numeric_limits<int64_t>::max()
                       : int64_t(v),
                   std::to_string(v));
  }
  bool number_float(double v, const std::string &text) {
    if (!std::isfinite(v) && !m_frames.empty())
      refuseValue(": the number " + text + " is beyond the range of real numbers.");
    return value(v, text);
  }
  bool string(std::string &v) { return value(std::move(v), "a text"); }
  bool binary(nlohmann::json::binary_t &) { return value(std::monostate{}, "binary data"); }
  bool start_object(size_t) {
    if (m_frames.empty()) {
      m_frames.push_back(Frame{Frame::InEnvelope, nullptr, {}, {}});
      return true;
    }
    Frame &top = m_frames.back();
    if (top.kind == Frame::InEnvelope) {
      if (top.key != "cabinet")
        envelopeValue();
      m_frames.push_back(Frame{Frame::InCabinet, std::make_unique<CabinetNode>(), {}, ""});
      return true;
    }
    if (top.kind == Frame::InAtom)
      refuseValue(": an atom is written as { \"atom\": \"Name\" } and nothing else.");
    if (cabinetDepth() >= kMaxCabinetDepth)
      formatError("Cabinets are nested deeper than " + std::to_string(kMaxCabinetDepth) +
                  " levels.");
    m_frames.push_back(
        Frame{Frame::InCabinet, std::make_unique<CabinetNode>(), {}, childPath(top.path, top.key)});
    return true;
  }
  bool key(std::string &k) {
    Frame &top = m_frames.back();
    if (top.kind == Frame::InCabinet && k == kAtomKey && top.node->size() == 0 &&
        m_frames.size() > 2) {
      top.kind = Frame::InAtom; // { "atom": "Name" } stands for an atom, not a Cabinet
    } else if (top.kind == Frame::InAtom) {
      refuse(top.path, ": an atom is written as { \"atom\": \"Name\" } and nothing else.");
    } else if (top.kind == Frame::InCabinet) {
      const std::string where = childPath(top.path, k);
      if (!isValidCabinetKey(k))
        formatError("\"" + where +
                    "\": a Cabinet key is 1 to 255 printable ASCII characters, and never "
                    "\"atom\".");
      if (top.node->find(k))
        formatError("the key \"" + k + "\" appears twice in one object.");
    } else if (!m_envelope.seen.insert(k).second) {
      formatError("the key \"" + k + "\" appears twice in one object.");
    }
    top.key = std::move(k);
    return true;
  }
  bool end_object() {
    Frame done = std::move(m_frames.back());
    m_frames.pop_back();
    switch (done.kind) {
    case Frame::InEnvelope: checkEnvelope(); break;
    case Frame::InAtom:
      if (!done.atom)
        refuse(done.path, ": an atom is written as { \"atom\": \"Name\" } and nothing else.");
      place(*done.atom);
      break;
    case Frame::InCabinet:
      if (m_frames.back().kind == Frame::InEnvelope)
        m_root = std::move(done.node);
      else
        place(std::move(done.node));
      break;
    }
    return true;
  }
  bool start_array(size_t) {
    if (m_frames.empty())
      formatError("not a Sorvane Cabinet file (it has no \"format\": \"sorvane-cabinet\").");
    if (m_frames.back().kind == Frame::InEnvelope)
      envelopeValue();
    refuseValue(": a list is not a Cabinet value (lists are Cabinets with keys \"0\", \"1\", "
                "...).");
  }
  bool end_array() { return true; }
  bool parse_error(size_t, const std::string &, const Exception &e) {
    std::string detail = e.what();
    // Keep the library's position and reason, not its internal tag.
    if (auto pos = detail.find("] "); pos != std::string::npos)
      detail = detail.substr(pos + 2);
    // Where it happened, when the parser got as far as a Cabinet's key.
    if (!m_frames.empty() && m_frames.back().kind != Frame::InEnvelope &&
        !m_frames.back().key.empty())
      detail += ", at \"" + childPath(m_frames.back().path, m_frames.back().key) + "\"";
    formatError("not a Sorvane Cabinet file: it is not valid JSON (" + detail + ").");
  }

private:
  struct Frame {
    enum Kind { InEnvelope, InCabinet, InAtom } kind;
    std::unique_ptr<CabinetNode> node; // Cabinet
    std::string key;                   // the key whose value comes next
    std::string path;                  // where this object stands, for messages
    std::optional<Atom> atom = {};
  };
  struct Envelope {
    std::set<std::string> seen;
    std::optional<std::string> format;
    std::optional<int64_t> version;
    bool versionIsInteger = false;
    bool done = false;
  };
  using Scalar = std::variant<std::monostate, bool, int64_t, double, std::string>;

  size_t cabinetDepth() const {
    return m_frames.size() - 1; // the envelope is no Cabinet
  }

  [[noreturn]] void refuse(const std::string &where, const std::string &why) {
    formatError("\"" + where + "\"" + why);
  }
  [[noreturn]] void refuseValue(const std::string &why) {
    const Frame &top = m_frames.back();
    refuse(top.kind == Frame::InAtom ? top.path : childPath(top.path, top.key), why);
  }

  bool integer(int64_t v, const std::string &text) {
    if (m_frames.empty() || m_frames.back().kind == Frame::InEnvelope)
      return value(v, text); // (which refuses a number that is the whole file)
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
      refuseValue(": the integer " + text +
                  " is outside the 32-bit range (write a fraction, as in 1.0, for a real number).");
    return value(v, text);
  }

  bool value(Scalar v, const std::string &text) {
    if (m_frames.empty())
      formatError("not a Sorvane Cabinet file (it has no \"format\": \"sorvane-cabinet\").");
    Frame &top = m_frames.back();
    if (top.kind == Frame::InEnvelope) {
      if (top.key == "format" && std::holds_alternative<std::string>(v))
        m_envelope.format = std::get<std::string>(v);
      else if (top.key == "version" && std::holds_alternative<int64_t>(v))
        m_envelope.version = std::get<int64_t>(v);
      else
        envelopeValue(text);
      return true;
    }
    if (top.kind == Frame::InAtom) {
      if (!std::holds_alternative<std::string>(v) || top.atom)
        refuse(top.path, ": an atom is written as { \"atom\": \"Name\" } and nothing else.");
      top.atom = m_atoms.intern(std::get<std::string>(v));
      return true;
    }
    switch (v.index()) {
    case 0:
      refuseValue(text == "null" ? ": null is not a Cabinet value."
                                 : ": a value of a type Cabinets do not hold.");
    case 1: place(std::get<bool>(v)); break;
    case 2: place(static_cast<int32_t>(std::get<int64_t>(v))); break;
    case 3: place(std::get<double>(v)); break;
    case 4: place(std::make_unique<TextObject>(std::get<std::string>(v))); break;
    }
    return true;
  }

  void place(CabinetValue v) {
    Frame &top = m_frames.back();
    top.node->put(top.key, std::move(v));
  }

  // A value in the envelope that does not belong there: the refusal the whole file deserves.
  [[noreturn]] void envelopeValue(const std::string & = {}) {
    const std::string &key = m_frames.back().key;
    if (key == "format")
      formatError("not a Sorvane Cabinet file (it has no \"format\": \"sorvane-cabinet\").");
    if (key == "version")
      formatError("the Cabinet file has no format version.");
    if (key == "cabinet")
      formatError("the Cabinet file has no \"cabinet\" object.");
    formatError("the Cabinet file has an unknown entry \"" + key + "\".");
  }

  void checkEnvelope() {
    if (m_envelope.format != kCabinetFormatName)
      formatError("not a Sorvane Cabinet file (it has no \"format\": \"sorvane-cabinet\").");
    if (!m_envelope.version)
      formatError("the Cabinet file has no format version.");
    if (*m_envelope.version != kCabinetFormatVersion)
      formatError("the Cabinet file has format version " + std::to_string(*m_envelope.version) +
                  "; this Sorvane reads version " + std::to_string(kCabinetFormatVersion) + ".");
    if (!m_root)
      formatError("the Cabinet file has no \"cabinet\" object.");
    for (const std::string &key : m_envelope.seen)
      if (key != "format" && key != "version" && key != "cabinet")
        formatError("the Cabinet file has an unknown entry \"" + key + "\".");
    m_envelope.done = true;
  }

  AtomTable &m_atoms;
  std::vector<Frame> m_frames;
  Envelope m_envelope;
  std::unique_ptr<CabinetNode> m_root;
};

} // namespace

bool isValidCabinetKey(std::string_view key) {
  if (key.empty() || key.size() > 255 || key == kAtomKey)
    return false;
  for (char c : key)
    if (c < 0x20 || c > 0x7E)
      return false;
  return true;
}

std::string writeCabinetStream(const CabinetNode &cabinet, const AtomTable &atoms) {
  if (cabinet.depth() > kMaxCabinetDepth)
    throw HostError(ErrorCode::BadParameter, "Cabinets are nested deeper than " +
                                                 std::to_string(kMaxCabinetDepth) + " levels.");
  Json doc = Json::object();
  doc["format"] = kCabinetFormatName;
  doc["version"] = kCabinetFormatVersion;
  doc["cabinet"] = toJson(cabinet, atoms, "");
  return doc.dump(2) + "\n";
}

std::unique_ptr<CabinetNode> readCabinetStream(std::string_view bytes, AtomTable &atoms) {
  if (bytes.size() > kMaxCabinetStreamBytes)
    throw HostError(ErrorCode::FileTooLarge, "the file is larger than " +
                                                 std::to_string(kMaxCabinetStreamBytes >> 20) +
                                                 " MiB, too large for a settings file.");
  CabinetReader reader(atoms);
  nlohmann::json::sax_parse(bytes.begin(), bytes.end(), &reader);
  return reader.take();
}

} // namespace sorvane::host
