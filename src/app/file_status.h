#pragma once
// Texts of the open-status check that guards the careful delete of the settings file.
#include <cstdint>

namespace qvx {

inline constexpr char kFileClosed[] = "CLOSED";
inline constexpr char kFileNotFound[] = "NOT FOUND";
inline constexpr char kFileOpen[] = "OPEN";
inline constexpr char kFileError[] = "ERROR";

// The legacy exclusive open holds at most this many characters of path; longer paths are not
// checked and count as closed.
inline constexpr int kLegacyOpenPathLimit = 128;

// The status of a failed exclusive open, from the system's error code: missing file or path
// ("NOT FOUND"), sharing or lock violation ("OPEN"), anything else ("ERROR").
const char* OpenStatusForError(std::uint32_t errorCode);

} // namespace qvx
