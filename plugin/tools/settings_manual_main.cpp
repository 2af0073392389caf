// sorvane_settings_manual [VERSION]: prints the manual page sorvane-settings(5), the reference of
// every key of a settings file, made from the plug-in's record field tables.
#include <iostream>

#include "plugin/engine/settings_reference.h"

int main(int argc, char **argv) {
  sorvane::writeSettingsManual(std::cout, argc > 1 ? argv[1] : "");
  return std::cout ? 0 : 1;
}
