#pragma once
// A drive in memory for the fill run's tests and benchmarks: it counts the bytes written
// without keeping them (only each fill file's first block), and can be told to fail. By
// default it behaves like a Linux file system (a write that does not fit writes the part
// that fits); switches make it behave like NTFS on Windows.
#include <cstdint>
#include <functional>
#include <limits>
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
    // makes every one fail. `createFailure` is what they report.
    std::vector<std::int64_t> failCreateCalls;
    bool failAllCreates = false;
    CreateResult createFailure = CreateResult::Failed;
    // Write calls (1-based) that fail with an I/O error, or come back short (status Full)
    // with `shortWriteBytes` although the drive has room.
    std::vector<std::int64_t> failWriteCalls;
    std::vector<std::int64_t> shortWriteCalls;
    std::uint32_t shortWriteBytes = 1000;
    // Called at the start of every write with the write call's number (1-based): tests tick
    // Abort or move the clock from here.
    std::function<void(std::int64_t writeCall)> onWrite;
    // Compare every block with the first block of its file (costs a 64 KiB compare).
    bool verifyBlocks = true;

    // Windows: a write that does not fit fails whole, with nothing written.
    bool allOrNothingWrites = false;
    // A compressed folder and a constant pattern: writes succeed and take no room.
    bool writesTakeNoRoom = false;
    // A disk quota: the user may write this many more bytes (-1: no quota). freeSpace()
    // reports the smaller of the two as the user's share.
    std::int64_t quotaBytes = -1;
    // Free space that Windows keeps from normal programs (reserved storage): counted in the
    // volume's free bytes, never in the user's share.
    std::int64_t reservedBytes = 0;
    // Free-space queries (1-based) that fail, as on a drive whose medium went away; with
    // failAllQueries every one does.
    std::vector<std::int64_t> failQueryCalls;
    bool failAllQueries = false;
    // Names taken for now: a file of that name waits for its deletion while someone else
    // holds it. Creating one is refused (Busy).
    std::vector<std::string> busyNames;

    // NTFS's file records (off while smallFileRecordBytes is 0): a file of at most that many
    // bytes lives in its record and takes no room on the volume. Each file takes a record;
    // free records come first, then the record table grows by fileRecordSize of the volume's
    // free space per record.
    std::int64_t fileRecordSize = 1024;
    std::uint32_t smallFileRecordBytes = 0;
    std::int64_t freeRecords = 0;
    // As on ntfs-3g: no file at all can be created once the volume is full.
    bool createNeedsRoom = false;
    // Deletion calls (1-based) that the volume refuses (ntfs-3g does so on a full volume).
    std::vector<std::int64_t> refuseDeleteCalls;
    // A file system that only says it is NTFS (Wine on a Linux one): small files take a
    // cluster of room like any other.
    bool smallFilesTakeRoom = false;

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
    std::vector<std::string> deletions;      // deleteFillFile calls that removed a file, in order
    std::vector<std::string> leftoverDeletions;
    // "create <name>", "write <name> <bytes>", "finish <name>", "delete <name>", in order.
    std::vector<std::string> calls;
    bool logCalls = false;
    std::int64_t createCalls = 0;
    std::int64_t queryCalls = 0;
    std::int64_t writeCalls = 0;
    std::int64_t bytesWritten = 0;
    std::int64_t blocksDifferingFromFirst = 0;
    std::int64_t deleteCalls = 0;
    // Files deleted with written data that was never flushed: on Windows that data would
    // never have reached the disk.
    int releasedUnflushed = 0;
    // Misuse by the caller: a create while a file is open, a write without an open file.
    std::int64_t protocolErrors = 0;
    std::uint8_t lastDriveNumber = 0;
    int maxFilesPresent = 0;
    // Records the record table grew by (NTFS mode), and the fewest free records seen.
    std::int64_t recordsAdded = 0;
    std::int64_t fewestFreeRecords = std::numeric_limits<std::int64_t>::max();

    std::int64_t volumeFreeBytes() const { return free_; }
    bool has(const std::string& name) const { return files_.count(name) != 0; }
    // Names of all files now on the drive.
    std::vector<std::string> fileNames() const;

    // --- FillVolume ----------------------------------------------------------------------
    CreateResult createFillFile(const std::string& fileName) override;
    WriteResult write(const BlockBuffer& block, std::uint32_t size) override;
    bool finishFillFile() override;
    bool deleteFillFile(const std::string& fileName) override;
    std::optional<FreeSpace> freeSpace(std::uint8_t driveNumber) override;
    std::uint32_t smallFileBytes(std::uint8_t driveNumber) override;
    std::vector<std::string> listLeftoverFillFiles(char driveLetter) override;
    bool deleteLeftoverFillFile(const std::string& fileName) override;

private:
    struct File {
        std::int64_t size = 0;
        std::int64_t room = 0;  // of the volume's free space it takes
        bool heldOpen = false;  // by another process
        bool readOnly = false;
        bool unflushed = false;
        bool hasRecord = false;
    };
    std::int64_t roomFor(std::int64_t size) const;
    std::int64_t forUser() const;
    bool takeRecord();
    void log(std::string text);
    void release(std::map<std::string, File>::iterator it);

    std::int64_t free_;
    std::map<std::string, File> files_;
    std::string open_;          // the fill file being written, empty when none
    std::size_t openRecord_ = 0;  // its index in `created`
};

} // namespace qvx::engine
