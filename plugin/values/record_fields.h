// Settings records describe their fields once, in a table: the Cabinet key, the member, the
// value a reader takes for a missing key and the allowed range. Writing, reading and checking a
// record's Cabinet are derived from its table (and so are the dialogs' bindings); the reset
// values are the members' own initial values, and copies are plain value copies.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/values/cabinet_io.h"
#include "plugin/values/fixed_point.h"
#include "plugin/values/text_values.h"
#include "sdk/atom.h"
#include "sdk/handles.h"

namespace sorvane {

// Length: a 16.16 length, written as a double in points.
enum class FieldType : int32_t { Bool, Int, Double, Length, Text, Atom, TextList, Record };

// Something a settings check found: where (a key path such as
// "Level0.TextStyle.FontDesc.FontSize") and what, in words for the user.
struct SettingsProblem {
  std::string path;
  std::string message;
};
using SettingsProblems = std::vector<SettingsProblem>;

// Checks the Cabinet of a record that sits under `path`, adding what it finds to `out`.
using RecordCheck =
    std::function<void(CabinetHandle cab, const std::string &path, SettingsProblems &out)>;

// One value of a number that takes a few named ones: the number stored, its name as the dialogs
// show it, and whether the dialogs offer it (a view such as FitR is only kept from older files).
struct NamedValue {
  int32_t value = 0;
  std::string_view name;
  bool offered = true;
};
using NamedValues = std::vector<NamedValue>;

template <class E> NamedValue named(E value, std::string_view name, bool offered = true) {
  return {int32_t(value), name, offered};
}

// The name of `value` among `names`; empty when none has it.
std::string_view nameOf(const NamedValues &names, int32_t value);

// The values with their names, by number: "0 No Change, 1 Add, 2 Remove".
std::string valuesText(const NamedValues &names);

// What a settings key is, for its reference: key, type, range, reader default, the names of its
// values, and the keys inside it when it holds a record.
struct FieldInfo {
  std::string key;
  FieldType type = FieldType::Bool;
  double min = 0, max = 0;
  std::string fallback;
  std::vector<FieldInfo> inner;
  NamedValues names;
};

template <class R> struct Field {
  std::string_view key;
  FieldType type = FieldType::Bool;
  double min = -std::numeric_limits<double>::infinity(); // numbers: the allowed range
  double max = std::numeric_limits<double>::infinity();
  std::function<void(const R &, CabinetHandle)> write;
  std::function<void(R &, CabinetHandle)> read;
  RecordCheck checkRecord; // nested records
  std::string fallback;    // what a reader takes for a missing (or unusable) value, as text
  std::function<std::vector<FieldInfo>()> inner; // the keys of a nested record
  NamedValues names;                             // numbers that take named values
};

// The keys of a record's table, nested records included.
template <class R> std::vector<FieldInfo> describeFields(const std::vector<Field<R>> &table);

// A number as a settings check names it ("0.35", "12").
std::string fallbackText(double value);

template <class R> using Fields = std::vector<Field<R>>;

namespace fields {

inline constexpr double kAny = std::numeric_limits<double>::infinity();

template <class R> Field<R> withFallback(std::string fallback, Field<R> field) {
  field.fallback = std::move(fallback);
  return field;
}

template <class R> Field<R> boolean(std::string_view key, bool R::*m, bool readerDefault) {
  return withFallback<R>(
      readerDefault ? "true" : "false",
      {key,
       FieldType::Bool,
       -kAny,
       kAny,
       [=](const R &r, CabinetHandle c) { cabinets().cabinetPutBool(c, key, r.*m); },
       [=](R &r, CabinetHandle c) { r.*m = cabinets().cabinetGetBool(c, key, readerDefault); },
       {},
       {},
       {},
       {}});
}

template <class R>
Field<R> integer(std::string_view key, int32_t R::*m, int32_t readerDefault, double min = -kAny,
                 double max = kAny) {
  return withFallback<R>(
      std::to_string(readerDefault),
      {key,
       FieldType::Int,
       min,
       max,
       [=](const R &r, CabinetHandle c) { cabinets().cabinetPutInt(c, key, r.*m); },
       [=](R &r, CabinetHandle c) { r.*m = cabinets().cabinetGetInt(c, key, readerDefault); },
       {},
       {},
       {},
       {}});
}

template <class R>
Field<R> number(std::string_view key, double R::*m, double readerDefault, double min = -kAny,
                double max = kAny) {
  return withFallback<R>(
      fallbackText(readerDefault),
      {key,
       FieldType::Double,
       min,
       max,
       [=](const R &r, CabinetHandle c) { cabinets().cabinetPutDouble(c, key, r.*m); },
       [=](R &r, CabinetHandle c) { r.*m = cabinets().cabinetGetDouble(c, key, readerDefault); },
       {},
       {},
       {},
       {}});
}

// A 16.16 length, written as a double in points.
template <class R>
Field<R> fixed(std::string_view key, Fixed R::*m, Fixed readerDefault, double min = -kAny,
               double max = kAny) {
  return withFallback<R>(fallbackText(fixedToDouble(readerDefault)),
                         {key,
                          FieldType::Length,
                          min,
                          max,
                          [=](const R &r, CabinetHandle c) { writeFixed(r.*m, key, c); },
                          [=](R &r, CabinetHandle c) { r.*m = readFixed(key, c, readerDefault); },
                          {},
                          {},
                          {},
                          {}});
}

template <class R> Field<R> text(std::string_view key, std::string R::*m) {
  return {key,
          FieldType::Text,
          -kAny,
          kAny,
          [=](const R &r, CabinetHandle c) { writeTextValue(r.*m, key, c); },
          [=](R &r, CabinetHandle c) { r.*m = readTextValue(key, c); },
          {},
          {},
          {},
          {}};
}

// A number that takes one of `names` (in the order the dialogs list them); the range is theirs.
template <class R>
Field<R> choice(std::string_view key, int32_t R::*m, int32_t readerDefault, NamedValues names) {
  double low = kAny, high = -kAny;
  for (const NamedValue &n : names) {
    low = std::min(low, double(n.value));
    high = std::max(high, double(n.value));
  }
  Field<R> field = integer(key, m, readerDefault, low, high);
  field.names = std::move(names);
  return field;
}

// A list of texts; missing, it reads as empty.
template <class R> Field<R> textList(std::string_view key, StringList R::*m) {
  return {key,
          FieldType::TextList,
          -kAny,
          kAny,
          [=](const R &r, CabinetHandle c) { writeStringList(r.*m, key, c); },
          [=](R &r, CabinetHandle c) { readStringList(r.*m, key, c); },
          {},
          {},
          {},
          {}};
}

// A nested record with its own write (key, parent), read (key, parent) and check; what a
// missing sub-Cabinet does is the nested record's own rule.
template <class R, class Sub> Field<R> record(std::string_view key, Sub R::*m) {
  return {key,
          FieldType::Record,
          -kAny,
          kAny,
          [=](const R &r, CabinetHandle c) { (r.*m).write(key, c); },
          [=](R &r, CabinetHandle c) { (r.*m).read(key, c); },
          [](CabinetHandle cab, const std::string &path, SettingsProblems &out) {
            Sub::check(cab, path, out);
          },
          {},
          [] { return describeFields(Sub::fields()); },
          {}};
}

// A field whose value has its own form: `write` and `read` as given, checked as `type`.
template <class R>
Field<R> custom(std::string_view key, FieldType type,
                std::function<void(const R &, CabinetHandle)> write,
                std::function<void(R &, CabinetHandle)> read, RecordCheck check = {}) {
  return {key, type, -kAny, kAny, std::move(write), std::move(read), std::move(check), {}, {}, {}};
}

} // namespace fields

template <class R> std::vector<FieldInfo> describeFields(const std::vector<Field<R>> &table) {
  std::vector<FieldInfo> out;
  out.reserve(table.size());
  for (const Field<R> &f : table)
    out.push_back({std::string(f.key), f.type, f.min, f.max, f.fallback,
                   f.inner ? f.inner() : std::vector<FieldInfo>{}, f.names});
  return out;
}

// Writes every field into `cab`, in table order.
template <class R> void writeFields(const R &r, const Fields<R> &table, CabinetHandle cab) {
  for (const Field<R> &f : table)
    f.write(r, cab);
}

// Reads every field from `cab`; a missing key gives the field's reader default.
template <class R> void readFields(R &r, const Fields<R> &table, CabinetHandle cab) {
  for (const Field<R> &f : table)
    f.read(r, cab);
}

// Writes the record into a new Cabinet put into `parent` under `key`; false (parent untouched)
// when the host fails.
template <class R>
bool writeRecord(const R &r, const Fields<R> &table, std::string_view key, CabinetHandle parent) {
  return writeChildCabinet(key, parent, [&](CabinetHandle cab) { writeFields(r, table, cab); });
}

// Reads the record from the Cabinet under `key` of `parent`. Without one, `onMissing` runs (each
// record has its own rule for that) and the result is false.
template <class R, class OnMissing>
bool readRecord(R &r, const Fields<R> &table, std::string_view key, CabinetHandle parent,
                OnMissing onMissing) {
  CabinetHandle cab = cabinets().cabinetGetCabinet(parent, key);
  if (!cab) {
    onMissing();
    return false;
  }
  readFields(r, table, cab);
  return true;
}

// What a check knows of one field, without the record type.
struct FieldCheck {
  std::string_view key;
  FieldType type;
  double min;
  double max;
  const RecordCheck *checkRecord;
  std::string_view fallback;
  const NamedValues *names;
};

// Checks the values in `cab` against the fields: values of the wrong type, numbers out of
// range, and keys no field has (unless `isExtraKey` accepts them), each with its path.
void checkCabinet(const std::vector<FieldCheck> &table, CabinetHandle cab, const std::string &path,
                  SettingsProblems &out,
                  const std::function<bool(std::string_view key)> &isExtraKey = {});

template <class R>
void checkFields(const Fields<R> &table, CabinetHandle cab, const std::string &path,
                 SettingsProblems &out,
                 const std::function<bool(std::string_view key)> &isExtraKey = {}) {
  std::vector<FieldCheck> checks;
  checks.reserve(table.size());
  for (const Field<R> &f : table)
    checks.push_back({f.key, f.type, f.min, f.max, f.checkRecord ? &f.checkRecord : nullptr,
                      f.fallback, &f.names});
  checkCabinet(checks, cab, path, out, isExtraKey);
}

// The named values of the field `key` of a table; empty when it has none.
template <class R> const NamedValues &namesOf(const Fields<R> &table, std::string_view key) {
  static const NamedValues none;
  for (const Field<R> &f : table)
    if (f.key == key)
      return f.names;
  return none;
}

// The path of `key` below `path`.
inline std::string keyPath(const std::string &path, std::string_view key) {
  return path.empty() ? std::string(key) : path + "." + std::string(key);
}

} // namespace sorvane
