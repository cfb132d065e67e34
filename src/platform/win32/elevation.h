#pragma once
// Whether this process runs with administrator rights. On Windows an administrator's programs
// run as a standard user (UAC) unless started elevated.
#include <optional>

namespace qvx {

bool ProcessIsElevated();

// Makes ProcessIsElevated answer this (tests); nothing asks the system again.
void SetElevationForTests(std::optional<bool> elevated);

} // namespace qvx
