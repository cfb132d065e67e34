#pragma once
// What the fill run needs of the drive it wipes. No call raises or shows anything: failures
// come back as results. The Win32 implementation goes beside this file (fill_volume_win.cpp);
// tests use SimulatedVolume.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/levels.h"

namespace qvx::engine {

enum class CreateResult {
    Created,
    Full,    // the volume has no room for one more file (or the user's quota is used up)
    Denied,  // nothing of that name exists, and the user may not create files there
    // The name is taken for now: a file of that name still waits for its deletion while
    // someone else (an antivirus or backup filter) holds it, or another process has it open.
    // Another name will do.
    Busy,
    Failed,  // any other reason: a folder or a read-only file of that name, a bad drive
};

enum class WriteStatus {
    Written,  // every byte asked for
    Full,     // the drive or the user's quota ran out: `bytes` may still hold a part
    Failed,   // an I/O error, a drive that went away
};

struct FreeSpace {
    std::int64_t forUser = 0;   // what this user may still write: a disk quota may leave less
    // The volume's own free bytes, whoever may use them: also what Windows keeps from normal
    // programs (reserved storage) where the system tells.
    std::int64_t onVolume = 0;
};

struct WriteResult {
    std::uint32_t bytes = 0;
    WriteStatus status = WriteStatus::Failed;
};

class FillVolume {
public:
    virtual ~FillVolume() = default;

    // Creates a fill file for writing, replacing a file of that name, and makes it
    // uncompressed (a compressed folder would pass its compression on, and a pattern of
    // zeros would then take no room at all).
    virtual CreateResult createFillFile(const std::string& fileName) = 0;

    // Appends the first `size` bytes (at most kBlockSize) of the block to the fill file
    // created last, in one call.
    virtual WriteResult write(const BlockBuffer& block, std::uint32_t size) = 0;

    // Ends the writing of the fill file created last: its data is flushed to the disk, since
    // deleting a file throws away cached data that has not been written yet. An implementation
    // may keep the file open (so that it vanishes when the process dies) until deleteFillFile
    // releases it. false when the flush failed.
    virtual bool finishFillFile() = 0;

    // Deletes one of the run's own fill files; true when no file of that name is left.
    virtual bool deleteFillFile(const std::string& fileName) = 0;

    // None when the query fails: the drive has no medium, is locked or cannot be reached.
    // driveNumber: 1 for A: .. 26 for Z:.
    virtual std::optional<FreeSpace> freeSpace(std::uint8_t driveNumber) = 0;

    // How many data bytes a small file can hold inside its file record on this volume (NTFS
    // keeps such files in the MFT, where a fill of large files never reaches). 0 when the
    // file system keeps no file data in its records. Also tells the volume which drive its
    // fill files will be on.
    virtual std::uint32_t smallFileBytes(std::uint8_t driveNumber) = 0;

    // Called on another thread when the run must stop, and again and again while the stop
    // is pending: cuts short a write or flush that is blocked in the drive, where the system
    // allows it, and no new one begins. The call then fails. A call that was about to begin
    // when the first request came is caught by a later one.
    virtual void interrupt() {}

    // Full names ("d:\$$$TEMP$$$QUARVEX$$$0000000007.tmp") of the fill files of our naming
    // (IsFillFileName) in the drive's root, left there by an earlier run that could not
    // clean up (a power cut).
    virtual std::vector<std::string> listLeftoverFillFiles(char driveLetter) = 0;

    // Deletes a leftover carefully: only when no one holds it open, with its attributes
    // cleared first (it may be read-only). true only when this call removed it.
    virtual bool deleteLeftoverFillFile(const std::string& fileName) = 0;
};

} // namespace qvx::engine
