#pragma once
// One pass over a drive's free space: fill files written with the pass's block until the
// drive is full, small files in the file system's free file records, and the deletion of all
// of them. It talks to the drive only through FillVolume and to the rest of the run only
// through PassListener.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/fill_volume.h"
#include "engine/levels.h"

namespace qvx::engine {

// On a volume that keeps small files in its file records, the fill stops this far short of
// full, so that the record table and the folder index can grow a little while the small files
// take the free records; the rest is filled afterwards. It also bounds how much the record
// table (which never shrinks) can grow in one pass.
inline constexpr std::int64_t kSmallFileReserve = std::int64_t{1} << 20;
// Windows refuses a write that does not fit as a whole: at the end of a file the writes are
// halved down to this size, so that fewer bytes than this stay unwritten.
inline constexpr std::uint32_t kSmallestWrite = 512;
// The small files are checked in groups: when a group of them took more than this much of the
// volume's room, they no longer go into free file records.
inline constexpr int kSmallFilesPerCheck = 16;
inline constexpr std::int64_t kMostRoomPerCheck = 12 * 1024;
// A pass that has written this much more than the drive had free, and the drive is still not
// full, is writing into something that takes no room (compression): it would never end.
inline constexpr std::int64_t kOverfillAllowance = std::int64_t{1} << 30;
// Names that are taken for now (still waiting for their deletion while someone else holds
// them) are skipped; this many of them in a row, and the pass gives up on the drive. It is more
// than a pass of a 64 TiB drive has files, each of which a filter might still hold.
inline constexpr int kMostBusyNamesInARow = 65'536;

class PassListener {
public:
    virtual ~PassListener() = default;
    // After every write has returned, with the bytes it wrote.
    virtual void written(std::uint32_t bytes) = 0;
    // After every finished file and every deletion.
    virtual void betweenFiles() = 0;
    virtual bool stopRequested() = 0;
};

enum class PassEnd {
    Done,          // the drive was filled
    Stopped,       // Abort, or the window closing
    CreateFailed,  // a fill file could not be created while the drive had room
    WriteFailed,   // a write or a flush failed for another reason than a full drive
    NotFillable,   // far more written than the drive had free, and it never became full
    DriveUnreadable,  // the drive's free space could not be read: no medium, locked, gone
};

struct PassResult {
    PassEnd end = PassEnd::Done;
    std::string failedFile;  // with CreateFailed and WriteFailed
    bool accessDenied = false;  // with CreateFailed: the user may not create files there
    std::int64_t bytes = 0;
    int smallFiles = 0;  // small files written into file records
    // When the drive had become full: the volume's free bytes that this user could not write
    // (reserved storage, a quota).
    std::int64_t unreachableBytes = 0;
};

class FillPass {
public:
    FillPass(FillVolume& volume, PassListener& listener, char driveLetter, const BlockBuffer& block);
    PassResult run();

private:
    enum class FileEnd { Capped, Full, Stopped, Failed, Overfilled, Unreadable };

    // Each returns true when its phase ended with the pass to go on, false when the pass ends.
    bool fillFiles(std::int64_t reserve);
    bool writeSmallFiles(std::uint32_t bytes);
    FileEnd writeFile(std::int64_t room);
    void releaseLastSmallFile();
    void measureUnreachable();
    void deleteFiles();

    // The free space; none (and the pass ends) when the drive cannot tell.
    std::optional<FreeSpace> freeSpace();
    // Far more written than the drive had free: how the file ends, or none when the drive still
    // takes what is written. Windows may free gigabytes during a pass (Storage Sense, update
    // clean-up), which lets a pass write more than the drive had free; then it goes on.
    std::optional<FileEnd> overfilled();
    // Creates the next fill file, skipping names that are taken for now.
    CreateResult createNext(std::string& name);
    std::string nextFile();
    bool endPass(PassEnd end, const std::string& fileName = {});
    // A write or flush of that file failed: the pass ends.
    bool writeFailed(const std::string& fileName);

    FillVolume& volume_;
    PassListener& listener_;
    const BlockBuffer& block_;
    char letter_;
    std::uint8_t driveNumber_;
    // Bytes the pass may write before it asks whether the drive takes them; the free space
    // and the bytes written when it last asked.
    std::int64_t limit_ = 0;
    std::int64_t overfillFree_ = 0;
    std::int64_t overfillBytes_ = 0;
    std::int64_t fileBytes_ = 0;
    // Whether file number k + 1 of this pass was created by us: only those are deleted.
    std::vector<bool> created_;
    int lastSmallFile_ = 0;  // its file number; 0: none
    PassResult result_;
};

} // namespace qvx::engine
