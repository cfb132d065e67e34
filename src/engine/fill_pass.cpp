#include "engine/fill_pass.h"

#include <algorithm>

#include "engine/fill_files.h"

namespace qvx::engine {

FillPass::FillPass(FillVolume& volume, PassListener& listener, char driveLetter,
                   const BlockBuffer& block)
    : volume_(volume), listener_(listener), block_(block), letter_(LowerDriveLetter(driveLetter)),
      driveNumber_(DriveNumber(driveLetter)) {}

PassResult FillPass::run() {
    limit_ = std::max<std::int64_t>(volume_.freeSpace(driveNumber_).forUser, 0) + kOverfillAllowance;
    const std::uint32_t smallFileBytes = volume_.smallFileBytes(driveNumber_);
    if (smallFileBytes == 0) {
        fillFiles(0);
    } else {
        // Small files go in while the volume still has a little room: the folder index needs
        // some to take their names (on ntfs-3g no file can be created on a full volume at all).
        // They take every free record, so the last one gives its record back to the file that
        // fills the rest.
        if (fillFiles(kSmallFileReserve) && writeSmallFiles(smallFileBytes)) {
            releaseLastSmallFile();
            fillFiles(0);
        }
    }
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

bool FillPass::fillFiles(std::int64_t reserve) {
    for (;;) {
        std::int64_t room = kFillFileCap;
        if (reserve > 0) {
            const std::int64_t free = volume_.freeSpace(driveNumber_).forUser;
            if (free <= reserve) return true;
            room = std::min(room, free - reserve);
        }
        const std::string name = nextFile();
        const CreateResult created = volume_.createFillFile(name);
        if (created == CreateResult::Full) return true;
        if (created != CreateResult::Created) {
            if (volume_.freeSpace(driveNumber_).forUser <= 0) return true;
            // Room left but no file to put it in: going on would loop without end.
            result_.accessDenied = created == CreateResult::Denied;
            return endPass(PassEnd::CreateFailed, name);
        }
        created_.back() = true;

        const FileEnd end = writeFile(room);
        const bool flushed = volume_.finishFillFile();
        listener_.betweenFiles();
        // A stop interrupts a blocked write or flush, which then fails: that is no error.
        if (end == FileEnd::Stopped || listener_.stopRequested()) return endPass(PassEnd::Stopped);
        if (end == FileEnd::Failed || !flushed) return endPass(PassEnd::WriteFailed, name);
        if (end == FileEnd::Overfilled) return endPass(PassEnd::NotFillable);
        if (end == FileEnd::Full || fileBytes_ == 0) return true;
        if (reserve == 0 && volume_.freeSpace(driveNumber_).forUser <= 0) return true;
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
            return FileEnd::Overfilled;
        }
        if (fileBytes_ >= room) return FileEnd::Capped;
        if (listener_.stopRequested()) return FileEnd::Stopped;
    }
}

bool FillPass::writeSmallFiles(std::uint32_t bytes) {
    // The volume's own free space: a quota does not shrink when the record table grows.
    std::int64_t freeAtCheck = volume_.freeSpace(driveNumber_).onVolume;
    for (int sinceCheck = 1;; ++sinceCheck) {
        if (listener_.stopRequested()) return endPass(PassEnd::Stopped);
        const std::string name = nextFile();
        // Refused: no free record is left, and the table has no room to grow.
        if (volume_.createFillFile(name) != CreateResult::Created) return true;
        created_.back() = true;
        const WriteResult w = volume_.write(block_, bytes);
        const std::uint32_t n = std::min(w.bytes, bytes);
        result_.bytes += n;
        listener_.written(n);
        const bool flushed = volume_.finishFillFile();
        listener_.betweenFiles();
        if (w.status == WriteStatus::Failed || !flushed)
            return endPass(listener_.stopRequested() ? PassEnd::Stopped : PassEnd::WriteFailed, name);
        if (n < bytes) return true;
        ++result_.smallFiles;
        lastSmallFile_ = static_cast<int>(created_.size());
        if (result_.bytes > limit_) return endPass(PassEnd::NotFillable);
        if (sinceCheck == kSmallFilesPerCheck) {
            // Files that go into free records take no room. Once they do take some, the free
            // records are used up and the record table is growing, or the file system keeps
            // no data in its records after all: either way there is nothing more to overwrite.
            const std::int64_t free = volume_.freeSpace(driveNumber_).onVolume;
            if (freeAtCheck - free > kMostRoomPerCheck) return true;
            freeAtCheck = free;
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
