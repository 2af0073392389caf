#include "plugin/ui/about_box.h"

#include <cstdio>

namespace sorvane {
namespace {

constexpr int kMajorVersion = 1;
constexpr int kMinorVersion = 1;
constexpr const char *kBuildDate = "Oct 10 2005";

} // namespace

std::string aboutVersionLine() {
  char line[96];
  std::snprintf(line, sizeof line, "Version %d.%d, Build date: %s", kMajorVersion, kMinorVersion,
                kBuildDate);
  return line;
}

AboutBox::AboutBox(const std::string &hostName) : ui::Dialog("") {
  using ui::ControlKind;
  add(ControlKind::Picture, kIdLogo, "logo", "").value = "sorvane-logo";
  add(ControlKind::Group, kIdFrame, "", "");
  add(ControlKind::Static, kIdPurpose, "",
      "Automatically create and maintain bookmarks from text style, content and layout.")
      .endsGroup = true;
  add(ControlKind::Group, kIdGroup, "", "About Sorvane Plug-in");
  add(ControlKind::Static, kIdName, "name", "Sorvane Plug-in for " + hostName);
  add(ControlKind::Static, kIdVersion, "version", "").endsGroup = true;
  add(ControlKind::Button, ui::kIdOk, "", "OK").isDefault = true;
}

void AboutBox::onInit() {
  setTitle("Sorvane Plug-in");
  control(kIdVersion).text = aboutVersionLine();
}

} // namespace sorvane
