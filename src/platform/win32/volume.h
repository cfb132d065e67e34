#pragma once
// Volume queries by drive number (1 = A:). Failures give 0 or ok = false; nothing raises.
#include "platform/drive_list.h"

#include <cstdint>
#include <string>

namespace qvx {

// "A:\" with the upper-case letter of the drive number.
std::wstring DriveRootPath(std::uint8_t driveNumber);

// The three outputs of the extended free-space query, zeroed first; a failed call leaves 0.
struct FreeSpace {
    std::int64_t availableToCaller = 0;
    std::int64_t totalToCaller = 0;
    std::int64_t totalFree = 0;
};
FreeSpace QueryFreeSpace(std::uint8_t driveNumber);

struct VolumeInformation {
    bool ok = false;
    std::string name;
    std::uint32_t serial = 0;
    std::string fileSystem;
    std::uint32_t flags = 0;  // FILE_FILE_COMPRESSION and the like
};
VolumeInformation QueryVolumeInformation(std::uint8_t driveNumber);

// Every drive letter the system has assigned, with its kind; the volume only of fixed drives,
// from the mount manager, which does not touch the disk. Nothing is asked of a network or
// removable drive, so that none of them can hold the caller up.
DriveList ListDrives();

// Sets the program's error mode once, at its start: no "insert a disk" or "drive not ready"
// box from the system in the middle of a run or a drive refresh (an empty card reader, a pulled
// stick), and no box for a file that cannot be opened. The call that failed reports it instead.
void SuppressSystemErrorBoxes();

// Adds "fail critical errors" to the process error mode for a scope (keeping the flags already
// set), and restores the previous mode on every way out.
class FailCriticalErrorsScope {
public:
    FailCriticalErrorsScope();
    ~FailCriticalErrorsScope();
    FailCriticalErrorsScope(const FailCriticalErrorsScope&) = delete;
    FailCriticalErrorsScope& operator=(const FailCriticalErrorsScope&) = delete;

private:
    unsigned previous_;
};

// The same for the calling thread only (SetThreadErrorMode), for queries that run on threads of
// their own and may overlap: each restores its own thread's mode.
class ThreadFailCriticalErrorsScope {
public:
    ThreadFailCriticalErrorsScope();
    ~ThreadFailCriticalErrorsScope();
    ThreadFailCriticalErrorsScope(const ThreadFailCriticalErrorsScope&) = delete;
    ThreadFailCriticalErrorsScope& operator=(const ThreadFailCriticalErrorsScope&) = delete;

private:
    unsigned long previous_ = 0;
};

} // namespace qvx
