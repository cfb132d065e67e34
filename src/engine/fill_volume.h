#pragma once
// What the fill run needs of the drive it wipes. No call raises or shows anything: failures
// come back as results. The Win32 implementation goes beside this file (fill_volume_win.cpp);
// tests use SimulatedVolume.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/levels.h"

namespace qvx::engine {

class FillVolume {
public:
    virtual ~FillVolume() = default;

    // Creates the fill file for writing, replacing a file of that name. false when it could
    // not be created; the run then writes nothing to it and does not close it.
    virtual bool createFillFile(const std::string& fileName) = 0;

    // Writes the whole 65,536-byte block to the fill file created last, in one call. Returns
    // the bytes written: fewer when the drive ran full, 0 when the write failed or no file is
    // open.
    virtual std::uint32_t writeBlock(const BlockBuffer& block) = 0;

    // Ends the writing of the fill file created last. An implementation may keep the file
    // open (so that it vanishes when the process dies) until deleteFile releases it; the
    // file must still be found by FillFileSize, fileExists and the free-space query.
    virtual void closeFillFile() = 0;

    // Size of the first directory entry matching the name (any attributes); -1 when none.
    virtual std::int64_t FillFileSize(const std::string& fileName) = 0;

    virtual bool fileExists(const std::string& fileName) = 0;

    // Deletes one of the run's own fill files; false when it could not.
    virtual bool deleteFile(const std::string& fileName) = 0;

    // Total free bytes of the volume (not the caller's quota share); 0 when the query fails.
    // driveNumber: 1 for A: .. 26 for Z:.
    virtual std::int64_t DriveFreeBytes(std::uint8_t driveNumber) = 0;

    // Full names ("d:\$$$TEMP$$$QUARVEX$$$0000000007.tmp") of the fill files of our naming
    // (IsFillFileName) in the drive's root, left there by an earlier run that could not
    // clean up (a power cut).
    virtual std::vector<std::string> listLeftoverFillFiles(char driveLetter) = 0;

    // Deletes a leftover carefully: only when no one holds it open, with its attributes
    // cleared first (it may be read-only). true only when this call removed it.
    virtual bool deleteLeftoverFillFile(const std::string& fileName) = 0;
};

} // namespace qvx::engine
