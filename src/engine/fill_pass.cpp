#include "engine/fill_pass.h"

#include <algorithm>

#include "engine/fill_files.h"

namespace qvx::engine {

FillPass::FillPass(FillVolume& volume, PassListener& listener, char driveLetter,
                   const BlockBuffer& block)
    : volume_(volume), listener_(listener), block_(block), letter_(LowerDriveLetter(driveLetter)),
      driveNumber_(DriveNumber(driveLetter)) {}

PassResult FillPass::run() {
    const std::optional<FreeSpace> start = freeSpace();
    if (!start) return result_;
    overfillFree_ = std::max<std::int64_t>(start->forUser, 0);
    limit_ = overfillFree_ + kOverfillAllowance;
    const std::uint32_t smallFileBytes = volume_.smallFileBytes(driveNumber_);
    bool full = false;
    if (smallFileBytes == 0) {
        full = fillFiles(0);
    } else {
        // Small files go in while the volume still has a little room: the folder index needs
        // some to take their names (on ntfs-3g no file can be created on a full volume at all).
        // They take every free record, so the last one gives its record back to the file that
        // fills the rest.
        if (fillFiles(kSmallFileReserve) && writeSmallFiles(smallFileBytes)) {
            releaseLastSmallFile();
            full = fillFiles(0);
        }
    }
    if (full) measureUnreachable();
    deleteFiles();
    return result_;
}

std::string FillPass::nextFile() {
    created_.push_back(false);
    return FillFileName(letter_, static_cast<int>(created_.size()));
}

bool FillPass::endPass(PassEnd end, const std::string& fileName) {
    result_.end = end;
    result_.failedFile = fileName;
    return false;
}

std::optional<FreeSpace> FillPass::freeSpace() {
    std::optional<FreeSpace> free = volume_.freeSpace(driveNumber_);
    // A drive that cannot say how much room it has cannot be said to be full.
    if (!free) endPass(PassEnd::DriveUnreadable);
    return free;
}

bool FillPass::writeFailed(const std::string& fileName) {
    // A drive that has gone (a pulled stick, a share that dropped) says so instead.
    if (!freeSpace()) return false;
    return endPass(PassEnd::WriteFailed, fileName);
}

CreateResult FillPass::createNext(std::string& name) {
    // Each pass numbers its files from 1; a name still held from the pass before is skipped.
    for (int busy = 1;; ++busy) {
        name = nextFile();
        const CreateResult created = volume_.createFillFile(name);
        if (created == CreateResult::Created) created_.back() = true;
        if (created != CreateResult::Busy || busy >= kMostBusyNamesInARow || listener_.stopRequested())
            return created;
    }
}

bool FillPass::fillFiles(std::int64_t reserve) {
    for (;;) {
        std::int64_t room = kFillFileCap;
        if (reserve > 0) {
            const std::optional<FreeSpace> free = freeSpace();
            if (!free) return false;
            if (free->forUser <= reserve) return true;
            room = std::min(room, free->forUser - reserve);
        }
        std::string name;
        const CreateResult created = createNext(name);
        if (created == CreateResult::Full) return true;
        if (created != CreateResult::Created) {
            if (listener_.stopRequested()) return endPass(PassEnd::Stopped);
            const std::optional<FreeSpace> free = freeSpace();
            if (!free) return false;
            if (free->forUser <= 0) return true;
            // Room left but no file to put it in: going on would loop without end.
            result_.accessDenied = created == CreateResult::Denied;
            return endPass(PassEnd::CreateFailed, name);
        }

        const FileEnd end = writeFile(room);
        const bool flushed = volume_.finishFillFile();
        listener_.betweenFiles();
        // A stop interrupts a blocked write or flush, which then fails: that is no error.
        if (end == FileEnd::Stopped || listener_.stopRequested()) return endPass(PassEnd::Stopped);
        if (end == FileEnd::Unreadable) return false;
        if (end == FileEnd::Failed || !flushed) return writeFailed(name);
        if (end == FileEnd::Overfilled) return endPass(PassEnd::NotFillable);
        if (end == FileEnd::Full || fileBytes_ == 0) return true;
        if (reserve == 0) {
            const std::optional<FreeSpace> free = freeSpace();
            if (!free) return false;
            if (free->forUser <= 0) return true;
        }
        if (listener_.stopRequested()) return endPass(PassEnd::Stopped);
    }
}

FillPass::FileEnd FillPass::writeFile(std::int64_t room) {
    fileBytes_ = 0;
    std::uint32_t chunk = static_cast<std::uint32_t>(kBlockSize);
    for (;;) {
        const auto size = static_cast<std::uint32_t>(std::min<std::int64_t>(chunk, room - fileBytes_));
        const WriteResult w = volume_.write(block_, size);
        const std::uint32_t n = std::min(w.bytes, size);
        fileBytes_ += n;
        result_.bytes += n;
        listener_.written(n);
        if (w.status == WriteStatus::Failed)
            return listener_.stopRequested() ? FileEnd::Stopped : FileEnd::Failed;
        if (w.status == WriteStatus::Full || n < size) {
            // What did not fit may fit in smaller pieces.
            if (chunk <= kSmallestWrite) return FileEnd::Full;
            chunk /= 2;
        } else if (result_.bytes > limit_) {
            if (const std::optional<FileEnd> end = overfilled()) return *end;
        }
        if (fileBytes_ >= room) return FileEnd::Capped;
        if (listener_.stopRequested()) return FileEnd::Stopped;
    }
}

std::optional<FillPass::FileEnd> FillPass::overfilled() {
    const std::optional<FreeSpace> free = freeSpace();
    if (!free) return FileEnd::Unreadable;
    const std::int64_t now = std::max<std::int64_t>(free->forUser, 0);
    const std::int64_t written = result_.bytes - overfillBytes_;
    // Writes that take room make the free space fall, space that Windows frees makes it grow.
    // Only where neither moved it, a gigabyte and more went into something that takes no room.
    const std::int64_t moved = now > overfillFree_ ? now - overfillFree_ : overfillFree_ - now;
    if (moved < written / 16) return FileEnd::Overfilled;
    overfillFree_ = now;
    overfillBytes_ = result_.bytes;
    limit_ = result_.bytes + now + kOverfillAllowance;
    return std::nullopt;
}

bool FillPass::writeSmallFiles(std::uint32_t bytes) {
    // The volume's own free space: a quota does not shrink when the record table grows.
    const std::optional<FreeSpace> start = freeSpace();
    if (!start) return false;
    std::int64_t freeAtCheck = start->onVolume;
    for (int sinceCheck = 1;; ++sinceCheck) {
        if (listener_.stopRequested()) return endPass(PassEnd::Stopped);
        std::string name;
        // Refused: no free record is left, and the table has no room to grow.
        if (createNext(name) != CreateResult::Created) return true;
        const WriteResult w = volume_.write(block_, bytes);
        const std::uint32_t n = std::min(w.bytes, bytes);
        result_.bytes += n;
        listener_.written(n);
        const bool flushed = volume_.finishFillFile();
        listener_.betweenFiles();
        if (w.status == WriteStatus::Failed || !flushed)
            return listener_.stopRequested() ? endPass(PassEnd::Stopped) : writeFailed(name);
        if (n < bytes) return true;
        ++result_.smallFiles;
        lastSmallFile_ = static_cast<int>(created_.size());
        if (result_.bytes > limit_) {
            if (const std::optional<FileEnd> end = overfilled())
                return *end == FileEnd::Unreadable ? false : endPass(PassEnd::NotFillable);
        }
        if (sinceCheck == kSmallFilesPerCheck) {
            // Files that go into free records take no room. Once they do take some, the free
            // records are used up and the record table is growing, or the file system keeps
            // no data in its records after all: either way there is nothing more to overwrite.
            const std::optional<FreeSpace> free = freeSpace();
            if (!free) return false;
            if (freeAtCheck - free->onVolume > kMostRoomPerCheck) return true;
            freeAtCheck = free->onVolume;
            sinceCheck = 0;
        }
    }
}

void FillPass::releaseLastSmallFile() {
    if (lastSmallFile_ == 0) return;
    const auto k = static_cast<std::size_t>(lastSmallFile_ - 1);
    // A volume with no room left at all may refuse even a deletion (ntfs-3g does); the pass's
    // deletion tries again then.
    if (volume_.deleteFillFile(FillFileName(letter_, lastSmallFile_))) created_[k] = false;
    listener_.betweenFiles();
}

void FillPass::measureUnreachable() {
    // The drive is full for this user: what the volume still has free is what Windows keeps
    // from normal programs (reserved storage) or a quota leaves to others.
    if (const std::optional<FreeSpace> free = freeSpace())
        result_.unreachableBytes = std::max<std::int64_t>(free->onVolume - std::max<std::int64_t>(free->forUser, 0), 0);
}

void FillPass::deleteFiles() {
    // Ascending order. Only names this pass created: a name whose creation failed may belong
    // to someone else. What a full volume refused to delete goes once the rest has made room.
    std::vector<int> refused;
    for (std::size_t k = 0; k < created_.size(); ++k) {
        if (!created_[k]) continue;
        const int number = static_cast<int>(k + 1);
        if (!volume_.deleteFillFile(FillFileName(letter_, number))) refused.push_back(number);
        listener_.betweenFiles();
    }
    for (int number : refused) {
        volume_.deleteFillFile(FillFileName(letter_, number));
        listener_.betweenFiles();
    }
    created_.clear();
}

} // namespace qvx::engine
