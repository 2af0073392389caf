#include "host/runtime/cabinet_stream.h"

#include <cmath>
#include <limits>
#include <set>
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
  for (const auto &entry : cabinet.entries()) {
    const std::string where = childPath(path, entry.key);
    std::visit(
        [&](const auto &v) {
          using T = std::decay_t<decltype(v)>;
          if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, int32_t>) {
            obj[entry.key] = v;
          } else if constexpr (std::is_same_v<T, double>) {
            if (!std::isfinite(v))
              throw HostError(ErrorCode::BadParameter,
                              "\"" + where + "\" holds a number that is not finite.");
            obj[entry.key] = v;
          } else if constexpr (std::is_same_v<T, Atom>) {
            obj[entry.key] = Json{{kAtomKey, std::string(atoms.name(v))}};
          } else if constexpr (std::is_same_v<T, std::unique_ptr<TextObject>>) {
            obj[entry.key] = v->utf8();
          } else if constexpr (std::is_same_v<T, std::unique_ptr<CabinetNode>>) {
            obj[entry.key] = toJson(*v, atoms, where);
          }
          // Pointers mean nothing outside this process: they are not written.
        },
        entry.value);
  }
  return obj;
}

// ---- reading

// Refuses, while parsing, nesting that no Cabinet may have and keys given twice in one object
// (the JSON library would silently keep only one of them).
class ParseGuard {
public:
  bool operator()(int, Json::parse_event_t event, Json &parsed) {
    using E = Json::parse_event_t;
    switch (event) {
    case E::object_start:
    case E::array_start:
      // The envelope and an atom's object add one level each to the Cabinets' own.
      if (m_keys.size() >= kMaxCabinetDepth + 2)
        formatError("Cabinets are nested deeper than " + std::to_string(kMaxCabinetDepth) +
                    " levels.");
      m_keys.emplace_back();
      break;
    case E::object_end:
    case E::array_end: m_keys.pop_back(); break;
    case E::key:
      if (!m_keys.back().insert(parsed.get<std::string>()).second)
        formatError("the key \"" + parsed.get<std::string>() + "\" appears twice in one object.");
      break;
    case E::value: break;
    }
    return true;
  }

private:
  std::vector<std::set<std::string>> m_keys;
};

std::unique_ptr<CabinetNode> fromJson(const Json &obj, AtomTable &atoms, const std::string &path,
                                      size_t depth);

CabinetValue valueFromJson(const Json &v, AtomTable &atoms, const std::string &where,
                           size_t depth) {
  const std::string quoted = "\"" + where + "\"";
  switch (v.type()) {
  case Json::value_t::boolean: return v.get<bool>();
  case Json::value_t::number_integer:
  case Json::value_t::number_unsigned: {
    const bool fits = v.is_number_unsigned()
                          ? v.get<uint64_t>() <= uint64_t(std::numeric_limits<int32_t>::max())
                          : v.get<int64_t>() >= std::numeric_limits<int32_t>::min() &&
                                v.get<int64_t>() <= std::numeric_limits<int32_t>::max();
    if (!fits)
      formatError(quoted + ": the integer " + v.dump() +
                  " is outside the 32-bit range (write a fraction, as in 1.0, for a real number).");
    return static_cast<int32_t>(v.get<int64_t>());
  }
  case Json::value_t::number_float: return v.get<double>();
  case Json::value_t::string: return std::make_unique<TextObject>(v.get<std::string>());
  case Json::value_t::object:
    if (v.contains(kAtomKey)) {
      if (v.size() != 1 || !v[std::string(kAtomKey)].is_string())
        formatError(quoted + ": an atom is written as { \"atom\": \"Name\" } and nothing else.");
      return atoms.intern(v[std::string(kAtomKey)].get<std::string>());
    }
    return fromJson(v, atoms, where, depth + 1);
  case Json::value_t::array:
    formatError(quoted + ": a list is not a Cabinet value (lists are Cabinets with keys \"0\", "
                         "\"1\", ...).");
  case Json::value_t::null: formatError(quoted + ": null is not a Cabinet value.");
  default: formatError(quoted + ": a value of a type Cabinets do not hold.");
  }
}

std::unique_ptr<CabinetNode> fromJson(const Json &obj, AtomTable &atoms, const std::string &path,
                                      size_t depth) {
  if (depth > kMaxCabinetDepth)
    formatError("Cabinets are nested deeper than " + std::to_string(kMaxCabinetDepth) + " levels.");
  auto cabinet = std::make_unique<CabinetNode>();
  for (const auto &[key, value] : obj.items()) {
    const std::string where = childPath(path, key);
    if (!isValidCabinetKey(key))
      formatError("\"" + where +
                  "\": a Cabinet key is 1 to 255 printable ASCII characters, "
                  "and never \"atom\".");
    cabinet->put(key, valueFromJson(value, atoms, where, depth));
  }
  return cabinet;
}

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
  Json doc;
  try {
    doc = Json::parse(bytes.begin(), bytes.end(), ParseGuard());
  } catch (const nlohmann::json::parse_error &e) {
    std::string detail = e.what();
    // Keep the library's position and reason, not its internal tag.
    if (auto pos = detail.find("] "); pos != std::string::npos)
      detail = detail.substr(pos + 2);
    formatError("not a Sorvane Cabinet file: it is not valid JSON (" + detail + ").");
  }
  if (!doc.is_object() || !doc.contains("format") || doc["format"] != kCabinetFormatName)
    formatError("not a Sorvane Cabinet file (it has no \"format\": \"sorvane-cabinet\").");
  if (!doc.contains("version") || !doc["version"].is_number_integer())
    formatError("the Cabinet file has no format version.");
  if (doc["version"] != kCabinetFormatVersion)
    formatError("the Cabinet file has format version " + doc["version"].dump() +
                "; this Sorvane reads version " + std::to_string(kCabinetFormatVersion) + ".");
  if (!doc.contains("cabinet") || !doc["cabinet"].is_object())
    formatError("the Cabinet file has no \"cabinet\" object.");
  for (const auto &[key, value] : doc.items())
    if (key != "format" && key != "version" && key != "cabinet")
      formatError("the Cabinet file has an unknown entry \"" + key + "\".");
  return fromJson(doc["cabinet"], atoms, "", 1);
}

} // namespace sorvane::host
