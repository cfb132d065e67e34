#pragma once
// A drive in memory for the fill run's tests and benchmarks: it counts the bytes written
// without keeping them (only each fill file's first block), and can be told to fail.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/fill_volume.h"

namespace qvx::engine {

class SimulatedVolume : public FillVolume {
public:
    explicit SimulatedVolume(std::int64_t freeBytes = 0) : free_(freeBytes) {}

    // --- What to simulate --------------------------------------------------------------
    // Create calls (1-based, over the whole life of the volume) that fail; failAllCreates
    // makes every one fail.
    std::vector<std::int64_t> failCreateCalls;
    bool failAllCreates = false;
    // Write calls (1-based) that fail (0 bytes) or come back short with `shortWriteBytes`
    // although the drive has room.
    std::vector<std::int64_t> failWriteCalls;
    std::vector<std::int64_t> shortWriteCalls;
    std::uint32_t shortWriteBytes = 1000;
    // Called at the start of every write with the write call's number (1-based): tests tick
    // Abort or move the clock from here.
    std::function<void(std::int64_t writeCall)> onWrite;
    // Compare every block with the first block of its file (costs a 64 KiB compare).
    bool verifyBlocks = true;

    // A file left by someone else in the drive's root (a leftover of an earlier run, or a
    // file another process holds open, which can then be neither replaced nor deleted).
    void plantFile(const std::string& name, std::int64_t size, bool heldOpen = false,
                   bool readOnly = false);
    void setFreeBytes(std::int64_t bytes) { free_ = bytes; }

    // --- What happened -----------------------------------------------------------------
    struct Created {
        std::string name;
        std::int64_t bytes = 0;                 // written into it
        std::vector<std::uint8_t> firstBlock;  // a copy of its first written block
    };
    std::vector<Created> created;            // every successful create, in order
    std::vector<std::string> failedCreates;  // names whose creation failed
    std::vector<std::string> deletions;      // deleteFile calls that removed a file, in order
    std::vector<std::string> leftoverDeletions;
    std::int64_t createCalls = 0;
    std::int64_t writeCalls = 0;
    std::int64_t bytesWritten = 0;
    std::int64_t blocksDifferingFromFirst = 0;
    // Misuse by the caller: a create while a file is open, a write without an open file.
    std::int64_t protocolErrors = 0;
    std::uint8_t lastDriveNumber = 0;
    int maxFilesPresent = 0;

    std::int64_t freeBytes() const { return free_; }
    bool has(const std::string& name) const { return files_.count(name) != 0; }
    // Names of all files now on the drive.
    std::vector<std::string> fileNames() const;

    // --- FillVolume ----------------------------------------------------------------------
    bool createFillFile(const std::string& fileName) override;
    std::uint32_t writeBlock(const BlockBuffer& block) override;
    void closeFillFile() override;
    std::int64_t FillFileSize(const std::string& fileName) override;
    bool fileExists(const std::string& fileName) override;
    bool deleteFile(const std::string& fileName) override;
    std::int64_t DriveFreeBytes(std::uint8_t driveNumber) override;
    std::vector<std::string> listLeftoverFillFiles(char driveLetter) override;
    bool deleteLeftoverFillFile(const std::string& fileName) override;

private:
    struct File {
        std::int64_t size = 0;
        bool heldOpen = false;  // by another process
        bool readOnly = false;
    };
    std::int64_t free_;
    std::map<std::string, File> files_;
    std::string open_;          // the fill file being written, empty when none
    std::size_t openRecord_ = 0;  // its index in `created`
};

} // namespace qvx::engine
