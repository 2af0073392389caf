// How the found text of a heading becomes its bookmark title.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/values/record_fields.h"
#include "sdk/handles.h"

namespace sorvane {

enum class CaseStyle : int32_t {
  DoNotChange = 0,
  Uppercase = 1,
  Lowercase = 2,
  TitleCase = 3,
  SentenceCase = 4,
};

enum class LeadingNumbers : int32_t { NoChange = 0, Add = 1, Remove = 2 };

enum class LeadingType : int32_t { Numbers = 0, Letters = 1, RomanNumerals = 2 };

struct ContentFormat {
  int32_t maxTextLength = 128; // bytes
  int32_t caseStyle = int32_t(CaseStyle::DoNotChange);
  std::string prefixText;
  std::string suffixText;
  bool skipDupLabels = true;   // stored only
  bool removeDupSpaces = true; // stored only: blanks are always collapsed
  bool removeLineChangeDefis = true;
  int32_t leadingNumbers = int32_t(LeadingNumbers::NoChange);
  int32_t leadingType = int32_t(LeadingType::Numbers);

  void reset() { *this = ContentFormat(); }
  bool write(std::string_view key, CabinetHandle parent) const;
  // Without a sub-Cabinet: reset and false. In one, a missing "SkipDupLabels" reads as false.
  bool read(std::string_view key, CabinetHandle parent);
  // Adds what is wrong in a content format's Cabinet (under `path`) to `out`.
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  // The fields, for the settings check and the dialogs' bindings.
  static const Fields<ContentFormat> &fields();

  bool operator==(const ContentFormat &) const = default;
};

} // namespace sorvane
