#include "platform/win32/volume.h"

#include "platform/win32/system_hooks.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

namespace qvx {

std::wstring DriveRootPath(std::uint8_t driveNumber) {
    std::wstring root = L"A:\\";
    root[0] = static_cast<wchar_t>(64 + driveNumber);
    return root;
}

FreeSpace QueryFreeSpace(std::uint8_t driveNumber) {
    ULARGE_INTEGER available{}, total{}, totalFree{};
    GetDiskFreeSpaceExW(DriveRootPath(driveNumber).c_str(), &available, &total, &totalFree);
    FreeSpace out;
    out.availableToCaller = static_cast<std::int64_t>(available.QuadPart);
    out.totalToCaller = static_cast<std::int64_t>(total.QuadPart);
    out.totalFree = static_cast<std::int64_t>(totalFree.QuadPart);
    return out;
}

VolumeInformation QueryVolumeInformation(std::uint8_t driveNumber) {
    wchar_t name[256] = {};
    wchar_t fileSystem[256] = {};
    DWORD serial = 0, maxComponent = 0, flags = 0;
    VolumeInformation info;
    info.ok = GetVolumeInformationW(DriveRootPath(driveNumber).c_str(), name, 255, &serial, &maxComponent, &flags,
                                    fileSystem, 255) != FALSE;
    if (info.ok) {
        info.flags = flags;
        info.name = Narrow(name);
        info.serial = serial;
        info.fileSystem = Narrow(fileSystem);
    }
    return info;
}

namespace {
DriveKind KindOfDrive(UINT type) {
    switch (type) {
    case DRIVE_REMOVABLE: return DriveKind::Removable;
    case DRIVE_FIXED: return DriveKind::Fixed;
    case DRIVE_REMOTE: return DriveKind::Network;
    case DRIVE_CDROM: return DriveKind::Optical;
    case DRIVE_RAMDISK: return DriveKind::RamDisk;
    default: return DriveKind::Unknown;
    }
}
} // namespace

DriveList ListDrives() {
    if (const SystemHooks* hooks = InstalledSystemHooks(); hooks && hooks->driveList) return hooks->driveList();
    const FailCriticalErrorsScope quiet;
    DriveList drives;
    const DWORD assigned = GetLogicalDrives();
    for (std::uint8_t number = 1; number <= 26; ++number) {
        if (!(assigned & (1u << (number - 1)))) continue;
        const std::wstring root = DriveRootPath(number);
        ListedDrive drive{static_cast<char>('a' + number - 1), KindOfDrive(GetDriveTypeW(root.c_str())), {}};
        // A SUBST letter is no mount point and has no volume of its own.
        wchar_t volume[MAX_PATH] = {};
        if (drive.kind == DriveKind::Fixed && GetVolumeNameForVolumeMountPointW(root.c_str(), volume, MAX_PATH))
            drive.volume = Narrow(volume);
        drives.push_back(std::move(drive));
    }
    return drives;
}

void SuppressSystemErrorBoxes() { SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

FailCriticalErrorsScope::FailCriticalErrorsScope() : previous_(GetErrorMode()) { SetErrorMode(previous_ | SEM_FAILCRITICALERRORS); }
FailCriticalErrorsScope::~FailCriticalErrorsScope() { SetErrorMode(previous_); }

ThreadFailCriticalErrorsScope::ThreadFailCriticalErrorsScope() {
    SetThreadErrorMode(GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &previous_);
}
ThreadFailCriticalErrorsScope::~ThreadFailCriticalErrorsScope() { SetThreadErrorMode(previous_, nullptr); }

} // namespace qvx
