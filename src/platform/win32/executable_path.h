#pragma once
#include <string>

namespace qvx {

// The full path of the running executable as the process reports it (UTF-8), however long.
std::string ExecutablePath();

} // namespace qvx
