#pragma once
#include <string>

namespace qvx {

// The current user's roaming application-data folder (what %APPDATA% names), without a
// trailing backslash; empty when the system has none for this user.
std::string RoamingAppDataFolder();

} // namespace qvx
