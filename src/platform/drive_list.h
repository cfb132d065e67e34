#pragma once
// The system's drive letters as the drive list reports them: what kind of drive each is and which
// volume is mounted there. Portable, so that what a command line makes of the list is tested
// natively; the Win32 query is platform/win32/volume.h's ListDrives.
#include <string>
#include <vector>

namespace qvx {

enum class DriveKind { Unknown, Removable, Fixed, Network, Optical, RamDisk };

struct ListedDrive {
    char letter = 0;  // lower case
    DriveKind kind = DriveKind::Unknown;
    // The volume mounted at the letter ("\\?\Volume{...}\"); empty when none is (a SUBST or a
    // letter without a file system the system knows).
    std::string volume;
};

using DriveList = std::vector<ListedDrive>;

} // namespace qvx
