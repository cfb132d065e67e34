#include "engine/simulated_volume.h"

#include <algorithm>
#include <cstring>

#include "engine/fill_files.h"

namespace qvx::engine {

namespace {
bool Contains(const std::vector<std::int64_t>& list, std::int64_t v) {
    return std::find(list.begin(), list.end(), v) != list.end();
}
constexpr std::int64_t kCluster = 4096;
} // namespace

void SimulatedVolume::plantFile(const std::string& name, std::int64_t size, bool heldOpen,
                                bool readOnly) {
    files_[name] = File{size, size, heldOpen, readOnly, false, false};
}

std::vector<std::string> SimulatedVolume::fileNames() const {
    std::vector<std::string> names;
    for (const auto& [name, file] : files_) names.push_back(name);
    return names;
}

void SimulatedVolume::log(std::string text) {
    if (logCalls) calls.push_back(std::move(text));
}

std::int64_t SimulatedVolume::roomFor(std::int64_t size) const {
    if (writesTakeNoRoom) return 0;
    if (smallFileRecordBytes > 0 && size <= smallFileRecordBytes)
        return smallFilesTakeRoom ? kCluster : 0;
    return size;
}

bool SimulatedVolume::takeRecord() {
    if (smallFileRecordBytes == 0) return true;
    if (createNeedsRoom && free_ < kCluster) return false;
    if (freeRecords > 0) {
        --freeRecords;
    } else {
        if (free_ < fileRecordSize) return false;
        free_ -= fileRecordSize;  // the record table grows, and never shrinks again
        ++recordsAdded;
    }
    fewestFreeRecords = std::min(fewestFreeRecords, freeRecords);
    return true;
}

void SimulatedVolume::release(std::map<std::string, File>::iterator it) {
    free_ += it->second.room;
    if (quotaBytes >= 0) quotaBytes += it->second.room;
    if (it->second.hasRecord) ++freeRecords;
    files_.erase(it);
}

CreateResult SimulatedVolume::createFillFile(const std::string& fileName) {
    ++createCalls;
    if (!open_.empty()) ++protocolErrors;
    const auto existing = files_.find(fileName);
    const bool blocked = existing != files_.end() &&
                         (existing->second.heldOpen || existing->second.readOnly);
    CreateResult failure = CreateResult::Created;
    if (failAllCreates || Contains(failCreateCalls, createCalls)) failure = createFailure;
    else if (std::find(busyNames.begin(), busyNames.end(), fileName) != busyNames.end()) failure = CreateResult::Busy;
    else if (blocked) failure = CreateResult::Failed;
    if (failure == CreateResult::Created) {
        if (existing != files_.end()) release(existing);
        if (!takeRecord()) failure = CreateResult::Full;
    }
    if (failure != CreateResult::Created) {
        failedCreates.push_back(fileName);
        return failure;
    }
    File file;
    file.hasRecord = smallFileRecordBytes > 0;
    files_[fileName] = file;
    open_ = fileName;
    created.push_back(Created{fileName, 0, {}});
    openRecord_ = created.size() - 1;
    maxFilesPresent = std::max(maxFilesPresent, static_cast<int>(files_.size()));
    log("create " + fileName);
    return CreateResult::Created;
}

WriteResult SimulatedVolume::write(const BlockBuffer& block, std::uint32_t size) {
    ++writeCalls;
    if (onWrite) onWrite(writeCalls);
    if (open_.empty() || size == 0 || size > kBlockSize) {
        ++protocolErrors;
        return {0, WriteStatus::Failed};
    }
    if (Contains(failWriteCalls, writeCalls)) return {0, WriteStatus::Failed};

    File& file = files_[open_];
    WriteStatus status = WriteStatus::Written;
    std::int64_t n = size;
    if (Contains(shortWriteCalls, writeCalls) && n > shortWriteBytes) {
        n = shortWriteBytes;
        status = WriteStatus::Full;
    }
    const std::int64_t available = forUser();
    if (roomFor(file.size + n) - file.room > available) {
        status = WriteStatus::Full;
        // Windows stores nothing of a write that does not fit; Linux the part that fits.
        n = allOrNothingWrites ? 0 : std::max<std::int64_t>(0, file.room + available - file.size);
        while (n > 0 && roomFor(file.size + n) - file.room > available) --n;
    }
    if (n == 0) return {0, status};

    Created& record = created[openRecord_];
    if (record.firstBlock.empty()) {
        record.firstBlock.assign(block.bytes.begin(), block.bytes.end());
    } else if (verifyBlocks && n == static_cast<std::int64_t>(kBlockSize) &&
               std::memcmp(record.firstBlock.data(), block.bytes.data(), kBlockSize) != 0) {
        ++blocksDifferingFromFirst;
    }
    const std::int64_t room = roomFor(file.size + n);
    free_ -= room - file.room;
    if (quotaBytes >= 0) quotaBytes -= room - file.room;
    file.room = room;
    file.size += n;
    file.unflushed = true;
    record.bytes += n;
    bytesWritten += n;
    log("write " + open_ + " " + std::to_string(n));
    return {static_cast<std::uint32_t>(n), status};
}

bool SimulatedVolume::finishFillFile() {
    if (open_.empty()) {
        ++protocolErrors;
        return false;
    }
    files_[open_].unflushed = false;
    log("finish " + open_);
    open_.clear();
    return true;
}

bool SimulatedVolume::deleteFillFile(const std::string& fileName) {
    ++deleteCalls;
    const auto it = files_.find(fileName);
    if (it == files_.end()) return true;
    if (it->second.heldOpen || it->second.readOnly || Contains(refuseDeleteCalls, deleteCalls)) return false;
    if (open_ == fileName) ++protocolErrors;
    if (it->second.unflushed) ++releasedUnflushed;
    release(it);
    deletions.push_back(fileName);
    log("delete " + fileName);
    return true;
}

std::int64_t SimulatedVolume::forUser() const {
    const std::int64_t unreserved = std::max<std::int64_t>(free_ - reservedBytes, 0);
    return quotaBytes >= 0 ? std::min(unreserved, quotaBytes) : unreserved;
}

std::optional<FreeSpace> SimulatedVolume::freeSpace(std::uint8_t driveNumber) {
    lastDriveNumber = driveNumber;
    ++queryCalls;
    if (failAllQueries || Contains(failQueryCalls, queryCalls)) return std::nullopt;
    return FreeSpace{forUser(), free_};
}

std::uint32_t SimulatedVolume::smallFileBytes(std::uint8_t) { return smallFileRecordBytes; }

std::vector<std::string> SimulatedVolume::listLeftoverFillFiles(char driveLetter) {
    std::vector<std::string> names;
    const char lower = LowerDriveLetter(driveLetter);
    for (const auto& [name, file] : files_) {
        if (name.size() < 3 || LowerDriveLetter(name[0]) != lower || name.compare(1, 2, ":\\") != 0)
            continue;
        if (IsFillFileName(std::string_view(name).substr(3))) names.push_back(name);
    }
    return names;
}

bool SimulatedVolume::deleteLeftoverFillFile(const std::string& fileName) {
    const auto it = files_.find(fileName);
    if (it == files_.end() || it->second.heldOpen) return false;
    // Read-only is cleared first, as the careful delete does.
    release(it);
    leftoverDeletions.push_back(fileName);
    return true;
}

} // namespace qvx::engine
