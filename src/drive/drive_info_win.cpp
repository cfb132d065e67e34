#include "drive/drive_info_win.h"

#include "drive/drive_texts.h"
#include "platform/win32/volume.h"

namespace qvx {

namespace {
const char kUnknown[] = "Unknown";
}

std::int64_t DriveFreeBytes(std::uint8_t driveNumber) { return QueryFreeSpace(driveNumber).totalFree; }

std::int64_t DriveTotalBytes(std::uint8_t driveNumber) { return QueryFreeSpace(driveNumber).totalToCaller; }

std::string DiskSpaceText(std::uint8_t driveNumber, const FormatSettings& fs) {
    std::int64_t freeBytes;
    {
        FailCriticalErrorsScope quiet;
        freeBytes = DriveFreeBytes(driveNumber);
    }
    std::int64_t totalBytes;
    {
        FailCriticalErrorsScope quiet;
        totalBytes = DriveTotalBytes(driveNumber);
    }
    return DiskSpaceText(freeBytes, totalBytes, fs);
}

std::string VolumeNameText(std::uint8_t driveNumber) {
    const VolumeInformation info = QueryVolumeInformation(driveNumber);
    return info.ok ? info.name : kUnknown;
}

std::string VolumeSerialText(std::uint8_t driveNumber) {
    const VolumeInformation info = QueryVolumeInformation(driveNumber);
    return info.ok ? VolumeSerialText(info.serial) : kUnknown;
}

std::string FileSystemNameText(std::uint8_t driveNumber) {
    const VolumeInformation info = QueryVolumeInformation(driveNumber);
    return info.ok ? info.fileSystem : kUnknown;
}

} // namespace qvx
