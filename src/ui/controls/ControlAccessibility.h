#pragma once
// Assistive technology sees the skinned check box, radio button and drop-down list as what
// they are: their role, their name (the caption without its accelerator marker, or the
// buddy label) and their state, with the actions that press, toggle or open them.

namespace uicontrols {

// Installs the accessibility factory of the skinned controls once per process.
void InstallControlAccessibility();

}  // namespace uicontrols
