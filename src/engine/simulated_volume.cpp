#include "engine/simulated_volume.h"

#include <algorithm>
#include <cstring>

#include "engine/fill_files.h"

namespace qvx::engine {

namespace {
bool Contains(const std::vector<std::int64_t>& list, std::int64_t v) {
    return std::find(list.begin(), list.end(), v) != list.end();
}
} // namespace

void SimulatedVolume::plantFile(const std::string& name, std::int64_t size, bool heldOpen,
                                bool readOnly) {
    files_[name] = File{size, heldOpen, readOnly};
}

std::vector<std::string> SimulatedVolume::fileNames() const {
    std::vector<std::string> names;
    for (const auto& [name, file] : files_) names.push_back(name);
    return names;
}

bool SimulatedVolume::createFillFile(const std::string& fileName) {
    ++createCalls;
    if (!open_.empty()) ++protocolErrors;
    const auto existing = files_.find(fileName);
    const bool blocked = existing != files_.end() &&
                         (existing->second.heldOpen || existing->second.readOnly);
    if (failAllCreates || Contains(failCreateCalls, createCalls) || blocked) {
        failedCreates.push_back(fileName);
        return false;
    }
    if (existing != files_.end()) free_ += existing->second.size;
    files_[fileName] = File{};
    open_ = fileName;
    created.push_back(Created{fileName, 0, {}});
    openRecord_ = created.size() - 1;
    maxFilesPresent = std::max(maxFilesPresent, static_cast<int>(files_.size()));
    return true;
}

std::uint32_t SimulatedVolume::writeBlock(const BlockBuffer& block) {
    ++writeCalls;
    if (onWrite) onWrite(writeCalls);
    if (open_.empty()) {
        ++protocolErrors;
        return 0;
    }
    if (Contains(failWriteCalls, writeCalls)) return 0;
    std::int64_t n = std::min<std::int64_t>(static_cast<std::int64_t>(kBlockSize), free_);
    if (Contains(shortWriteCalls, writeCalls)) n = std::min<std::int64_t>(n, shortWriteBytes);
    if (n <= 0) return 0;

    Created& record = created[openRecord_];
    if (record.firstBlock.empty()) {
        record.firstBlock.assign(block.bytes.begin(), block.bytes.end());
    } else if (verifyBlocks &&
               std::memcmp(record.firstBlock.data(), block.bytes.data(), kBlockSize) != 0) {
        ++blocksDifferingFromFirst;
    }
    record.bytes += n;
    files_[open_].size += n;
    free_ -= n;
    bytesWritten += n;
    return static_cast<std::uint32_t>(n);
}

void SimulatedVolume::closeFillFile() {
    if (open_.empty()) ++protocolErrors;
    open_.clear();
}

std::int64_t SimulatedVolume::FillFileSize(const std::string& fileName) {
    const auto it = files_.find(fileName);
    return it == files_.end() ? -1 : it->second.size;
}

bool SimulatedVolume::fileExists(const std::string& fileName) { return has(fileName); }

bool SimulatedVolume::deleteFile(const std::string& fileName) {
    const auto it = files_.find(fileName);
    if (it == files_.end() || it->second.heldOpen || it->second.readOnly) return false;
    if (open_ == fileName) ++protocolErrors;
    free_ += it->second.size;
    files_.erase(it);
    deletions.push_back(fileName);
    return true;
}

std::int64_t SimulatedVolume::DriveFreeBytes(std::uint8_t driveNumber) {
    lastDriveNumber = driveNumber;
    return free_;
}

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
    free_ += it->second.size;
    files_.erase(it);
    leftoverDeletions.push_back(fileName);
    return true;
}

} // namespace qvx::engine
