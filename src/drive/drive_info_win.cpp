#include "drive/drive_info_win.h"

#include "drive/drive_texts.h"

namespace qvx {

namespace {
const char kUnknown[] = "Unknown";
} // namespace

DriveAnswers AskDrive(std::uint8_t driveNumber) {
    const ThreadFailCriticalErrorsScope quiet;
    const FreeSpace space = QueryFreeSpace(driveNumber);
    return {space.totalFree, space.totalToCaller, QueryVolumeInformation(driveNumber)};
}

std::string DiskSpaceText(const DriveAnswers& answers, const FormatSettings& fs) {
    return DiskSpaceText(answers.freeBytes, answers.totalBytes, fs);
}

std::string VolumeNameText(const DriveAnswers& answers) { return answers.volume.ok ? answers.volume.name : kUnknown; }

std::string VolumeSerialText(const DriveAnswers& answers) {
    return answers.volume.ok ? VolumeSerialText(answers.volume.serial) : kUnknown;
}

std::string FileSystemNameText(const DriveAnswers& answers) {
    return answers.volume.ok ? answers.volume.fileSystem : kUnknown;
}

} // namespace qvx
