#pragma once
// The questions the program asks about a drive, by drive number (1 = A:).
#include "platform/format_settings.h"
#include "platform/win32/volume.h"

#include <cstdint>
#include <string>

namespace qvx {

// What the drive panel and a run's record need of a drive, asked together. A drive that does
// not answer gives 0 bytes and a volume that is not ok; no dialog is ever shown. Safe on any
// thread: the drive panel asks on a thread of its own, since a drive may take long to answer.
struct DriveAnswers {
    std::int64_t freeBytes = 0;   // the volume's total free bytes (not the caller's share)
    std::int64_t totalBytes = 0;  // the volume's size as reported to the caller
    VolumeInformation volume;
};
DriveAnswers AskDrive(std::uint8_t driveNumber);

// The panel's texts: free and total space ("12.34 GB / 100.00 GB"); the volume label, serial
// number (8 hex digits) and file system name, or "Unknown".
std::string DiskSpaceText(const DriveAnswers& answers, const FormatSettings& fs);
std::string VolumeNameText(const DriveAnswers& answers);
std::string VolumeSerialText(const DriveAnswers& answers);
std::string FileSystemNameText(const DriveAnswers& answers);

} // namespace qvx
