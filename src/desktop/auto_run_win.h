#pragma once
// The Run entry of the running executable under HKEY_LOCAL_MACHINE, or under HKEY_CURRENT_USER
// for a user who may not write the machine's key, with the program's own message boxes.
#include "desktop/auto_run.h"

#include <optional>

namespace qvx::desktop {

// The Run key path, the executable's file name and its full path.
AutoRunTarget CurrentAutoRunTarget();
// Tests point the operations at another key path (under both root keys) or executable path; an
// empty target restores the real one.
void SetAutoRunTargetOverride(std::optional<AutoRunTarget> target);

// An error of the registry layer is shown in the standard error box and gives false.
bool EnableAutoRun();
bool DisableAutoRun();
bool checkAutoRunPath();
// The menu item's click; returns the new check mark.
bool AutoRunOptionClick(bool checked);

} // namespace qvx::desktop
