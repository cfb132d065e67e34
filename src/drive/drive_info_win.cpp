#include "drive/drive_info_win.h"

#include "drive/drive_texts.h"

#include <windows.h>

namespace qvx {

namespace {
const char kUnknown[] = "Unknown";

// No "drive not ready" box for this thread's queries; other threads keep their own mode.
class ThreadFailsCriticalErrors {
public:
    ThreadFailsCriticalErrors() { SetThreadErrorMode(GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &previous_); }
    ~ThreadFailsCriticalErrors() { SetThreadErrorMode(previous_, nullptr); }
    ThreadFailsCriticalErrors(const ThreadFailsCriticalErrors&) = delete;
    ThreadFailsCriticalErrors& operator=(const ThreadFailsCriticalErrors&) = delete;

private:
    DWORD previous_ = 0;
};
} // namespace

DriveAnswers AskDrive(std::uint8_t driveNumber) {
    const ThreadFailsCriticalErrors quiet;
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
