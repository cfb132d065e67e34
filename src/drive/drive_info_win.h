#pragma once
// The questions the program asks about a drive, by drive number (1 = A:).
#include "platform/format_settings.h"

#include <cstdint>
#include <string>

namespace qvx {

// The volume's total free bytes (not the caller's quota-limited share); 0 when the query fails.
std::int64_t DriveFreeBytes(std::uint8_t driveNumber);
// The volume's size as reported to the caller; 0 when the query fails.
std::int64_t DriveTotalBytes(std::uint8_t driveNumber);
// Free and total space, e.g. "12.34 GB / 100.00 GB"; no dialog for a drive that is not ready.
std::string DiskSpaceText(std::uint8_t driveNumber, const FormatSettings& fs);
// Volume label, serial number (8 hex digits), file system name, or "Unknown".
std::string VolumeNameText(std::uint8_t driveNumber);
std::string VolumeSerialText(std::uint8_t driveNumber);
std::string FileSystemNameText(std::uint8_t driveNumber);

} // namespace qvx
