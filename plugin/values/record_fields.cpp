#include "plugin/values/record_fields.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace sorvane {
namespace {

const char *typeWords(FieldType type) {
  switch (type) {
  case FieldType::Bool: return "true or false";
  case FieldType::Int: return "a whole number";
  case FieldType::Double:
  case FieldType::Length: return "a number";
  case FieldType::Text: return "a text";
  case FieldType::Atom: return "a name ({\"atom\": ...})";
  case FieldType::TextList: return "a list of texts";
  case FieldType::Record: return "a group of settings ({...})";
  }
  return "?";
}

const char *valueWords(CabinetValueType type) {
  switch (type) {
  case CabinetValueType::Bool: return "true or false";
  case CabinetValueType::Int: return "a whole number";
  case CabinetValueType::Double: return "a number with a fraction";
  case CabinetValueType::Atom: return "a name";
  case CabinetValueType::Text: return "a text";
  case CabinetValueType::Cabinet: return "a group of settings";
  case CabinetValueType::Pointer:
  case CabinetValueType::None: break;
  }
  return "something else";
}

bool fits(FieldType field, CabinetValueType value) {
  switch (field) {
  case FieldType::Bool: return value == CabinetValueType::Bool;
  case FieldType::Int: return value == CabinetValueType::Int;
  case FieldType::Double:
  case FieldType::Length:
    return value == CabinetValueType::Double || value == CabinetValueType::Int;
  case FieldType::Text: return value == CabinetValueType::Text;
  case FieldType::Atom: return value == CabinetValueType::Atom;
  case FieldType::TextList:
  case FieldType::Record: return value == CabinetValueType::Cabinet;
  }
  return false;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char &c : out)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Edits that turn `a` into `b` (insertions, deletions, substitutions), case ignored.
size_t editDistance(std::string_view a, std::string_view b) {
  const std::string la = lower(a), lb = lower(b);
  std::vector<size_t> row(lb.size() + 1);
  for (size_t j = 0; j <= lb.size(); ++j)
    row[j] = j;
  for (size_t i = 1; i <= la.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= lb.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (la[i - 1] != lb[j - 1] ? 1 : 0)});
      diagonal = above;
    }
  }
  return row[lb.size()];
}

std::string numberText(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

bool isItemKey(std::string_view key) {
  return !key.empty() && key.size() <= 10 && (key.size() == 1 || key[0] != '0') &&
         std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void checkTextList(CabinetHandle list, const std::string &path, SettingsProblems &out) {
  ASExtraTable &x = cabinets();
  for (const std::string &key : x.cabinetKeys(list)) {
    const CabinetValueType type = x.cabinetGetType(list, key);
    if (key == "NumItems") {
      if (type != CabinetValueType::Int)
        out.push_back({keyPath(path, key), "should be a whole number; the list reads as empty"});
    } else if (!isItemKey(key)) {
      out.push_back({keyPath(path, key), "is not an item of the list (items are \"0\", \"1\", "
                                         "...); it is ignored"});
    } else if (type != CabinetValueType::Text) {
      out.push_back({keyPath(path, key),
                     std::string("should be a text, not ") + valueWords(type) + "; it is ignored"});
    } else if (std::stoll(key) >= x.cabinetGetInt(list, "NumItems", 0)) {
      out.push_back({keyPath(path, key), "lies beyond NumItems; it is ignored"});
    }
  }
}

} // namespace

void checkCabinet(const std::vector<FieldCheck> &table, CabinetHandle cab, const std::string &path,
                  SettingsProblems &out,
                  const std::function<bool(std::string_view key)> &isExtraKey) {
  ASExtraTable &x = cabinets();
  for (const std::string &key : x.cabinetKeys(cab)) {
    const auto field =
        std::find_if(table.begin(), table.end(), [&](const FieldCheck &f) { return f.key == key; });
    if (field == table.end()) {
      if (isExtraKey && isExtraKey(key))
        continue;
      std::string message = "is not a setting";
      const FieldCheck *closest = nullptr;
      size_t best = 3; // at most two edits away
      for (const FieldCheck &f : table)
        if (const size_t d = editDistance(key, f.key); d < best)
          best = d, closest = &f;
      if (closest)
        message += " (did you mean \"" + std::string(closest->key) + "\"?)";
      out.push_back({keyPath(path, key), message + "; it is ignored"});
      continue;
    }
    const CabinetValueType type = x.cabinetGetType(cab, key);
    const std::string here = keyPath(path, key);
    if (!fits(field->type, type)) {
      out.push_back({here, std::string("should be ") + typeWords(field->type) + ", not " +
                               valueWords(type) + "; it is ignored" +
                               (field->fallback.empty()
                                    ? std::string()
                                    : " and " + std::string(field->fallback) + " is used")});
      continue;
    }
    if (field->type == FieldType::Record && field->checkRecord) {
      (*field->checkRecord)(x.cabinetGetCabinet(cab, key), here, out);
    } else if (field->type == FieldType::TextList) {
      checkTextList(x.cabinetGetCabinet(cab, key), here, out);
    } else if (field->type == FieldType::Int || field->type == FieldType::Double ||
               field->type == FieldType::Length) {
      const double v = x.cabinetGetDouble(cab, key, 0);
      if (!(v >= field->min && v <= field->max)) {
        std::string range;
        if (field->names && !field->names->empty())
          range = valuesText(*field->names);
        else if (std::isinf(field->max))
          range = "at least " + numberText(field->min);
        else if (std::isinf(field->min))
          range = "at most " + numberText(field->max);
        else
          range = "from " + numberText(field->min) + " to " + numberText(field->max);
        out.push_back(
            {here, "is " + numberText(v) + ", outside the values it can take (" + range + ")"});
      }
    }
  }
}

std::string_view nameOf(const NamedValues &names, int32_t value) {
  for (const NamedValue &n : names)
    if (n.value == value)
      return n.name;
  return {};
}

std::string valuesText(const NamedValues &names) {
  NamedValues sorted = names;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const NamedValue &a, const NamedValue &b) { return a.value < b.value; });
  std::string out;
  for (const NamedValue &n : sorted) {
    if (!out.empty())
      out += ", ";
    out += std::to_string(n.value) + " " + std::string(n.name);
  }
  return out;
}

std::string fallbackText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

} // namespace sorvane
