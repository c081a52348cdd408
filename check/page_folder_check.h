// The checker's walk over the page folders: every language folder of a page-data folder,
// every page in the order the viewer shows it, loaded as the viewer loads it.
#pragma once

#include <string>

#include "check/tree_check.h"

namespace check {

// Checks `base` (a "PageData" or "PageData_<model>" folder ending in "/") and the folders of
// the ten languages below it, as start-up forms them from `root` and `model_part` ("" or
// "_" + the model name). A missing `base` is a failure when `required`. With the
// `language_dialog` on, a folder of a language the dialog does not offer is a warning.
void CheckPageDataFolder(const std::string& root, const std::string& model_part, bool required,
                         bool language_dialog, Report& report);

// The "PageData" or "PageData_<model>" folder start-up forms below `root`.
std::string PageDataFolder(const std::string& root, const std::string& model_part);

}  // namespace check
