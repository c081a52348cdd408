// The checker's reading of Setuvia.ini: the keys start-up, the model dialog and the viewer
// read, with the values those reads give.
#pragma once

#include <string>
#include <vector>

#include "check/tree_check.h"

namespace check {

struct Configuration {
  bool model_dialog = false;
  bool language_dialog = false;
  std::vector<std::string> models;  // Model1, Model2, ... up to the first gap, as read
};

// Reports the configuration file's keys and returns what start-up makes of them.
Configuration CheckConfiguration(const std::string& ini_file, Report& report);

}  // namespace check
