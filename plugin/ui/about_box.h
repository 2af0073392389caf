// The About box: the plug-in's name, what it does, and its version.
#pragma once

#include <string>

#include "sdk/platform_ui.h"

namespace sorvane {

class AboutBox final : public ui::Dialog {
public:
  enum : int { kIdLogo = 100, kIdFrame, kIdPurpose, kIdGroup, kIdName, kIdVersion };

  // `hostName` is the program the plug-in runs in.
  explicit AboutBox(const std::string &hostName);
  void onInit() override;
};

// "Version %d.%d, Build date: %s" for this plug-in.
std::string aboutVersionLine();

} // namespace sorvane
