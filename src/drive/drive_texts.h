#pragma once
// Texts of the drive details panel, computed from the numbers the volume queries return.
#include "platform/format_settings.h"

#include <cstdint>
#include <string>

namespace qvx {

// Bytes to whole KiB, rounded to nearest; a remainder of exactly 512 bytes goes to the even KiB.
std::int64_t BytesToKiBHalfEven(std::int64_t bytes);

// One KiB count in the unit cascade: TB, GB, MB (strictly greater than the unit), KB, "0".
std::string KiBText(std::int64_t kib, const FormatSettings& fs);

// "<free> / <total>", or "0" when the total is 0.
std::string DiskSpaceText(std::int64_t freeBytes, std::int64_t totalBytes, const FormatSettings& fs);

// The serial number as 8 upper-case hexadecimal digits.
std::string VolumeSerialText(std::uint32_t serial);

// The drive number (1 for A) of a drive letter in either case; 0 for anything else.
std::uint8_t DriveNumberOfLetter(char letter);

} // namespace qvx
