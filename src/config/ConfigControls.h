#pragma once
// The controls of the configuration dialog with their captions, pages and initial state.
#include "config/DialogControls.h"

namespace config {

// The pages in the order of the page menu.
inline constexpr const char* kPages[] = {"OptPan",    "PopPan",  "AdvPan",
                                         "FiltrePan", "SkinPan", "InfoPan"};

// Adds every control of the dialog, page by page, in tab order.
DialogControls BuildConfigControls();

}  // namespace config
