#include "host/base/view_kinds.h"

#include <array>
#include <utility>

namespace sorvane::host {
namespace {

constexpr std::array<std::pair<FitType, std::string_view>, 8> kFitNames{{
    {FitType::XYZ, "XYZ"},
    {FitType::Fit, "Fit"},
    {FitType::FitH, "FitH"},
    {FitType::FitV, "FitV"},
    {FitType::FitR, "FitR"},
    {FitType::FitB, "FitB"},
    {FitType::FitBH, "FitBH"},
    {FitType::FitBV, "FitBV"},
}};

} // namespace

std::optional<FitType> fitTypeNamed(std::string_view name) {
  for (const auto &[fit, text] : kFitNames)
    if (text == name)
      return fit;
  return std::nullopt;
}

std::string_view nameOf(FitType fit) {
  for (const auto &[each, text] : kFitNames)
    if (each == fit)
      return text;
  return "Fit";
}

int numbersAfter(FitType fit) {
  switch (fit) {
  case FitType::XYZ: return 3;
  case FitType::FitH:
  case FitType::FitBH:
  case FitType::FitV:
  case FitType::FitBV: return 1;
  case FitType::FitR: return 4;
  case FitType::Fit:
  case FitType::FitB: return 0;
  }
  return 0;
}

ActionKind actionKindNamed(std::string_view subtype) {
  if (subtype.empty())
    return ActionKind::None;
  constexpr std::pair<std::string_view, ActionKind> kKinds[] = {
      {"GoTo", ActionKind::GoTo},     {"GoToR", ActionKind::GoToR}, {"URI", ActionKind::URI},
      {"Launch", ActionKind::Launch}, {"Named", ActionKind::Named},
  };
  for (const auto &[name, kind] : kKinds)
    if (name == subtype)
      return kind;
  return ActionKind::Other;
}

std::string_view nameOf(SelectionType type) { return type == SelectionType::Text ? "Text" : ""; }

PageMode pageModeOf(int32_t value) {
  return value >= 1 && value <= 4 ? PageMode(value) : PageMode::Unknown;
}

} // namespace sorvane::host
