#pragma once
// The fill run's volume on Windows. Every fill file is created delete-on-close and its handle
// is kept until the end of its pass, so that the system removes it when the handle goes: at the
// pass's deletion step, and also when the process is killed or crashes mid-run. The files are
// opened without delete sharing, so no other process can delete them during their pass.
#include "engine/fill_volume.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qvx::engine {

class Win32FillVolume final : public FillVolume {
public:
    Win32FillVolume() = default;
    ~Win32FillVolume() override;
    Win32FillVolume(const Win32FillVolume&) = delete;
    Win32FillVolume& operator=(const Win32FillVolume&) = delete;

    bool createFillFile(const std::string& fileName) override;
    std::uint32_t writeBlock(const BlockBuffer& block) override;
    void closeFillFile() override;
    std::int64_t FillFileSize(const std::string& fileName) override;
    bool fileExists(const std::string& fileName) override;
    bool deleteFile(const std::string& fileName) override;
    std::int64_t DriveFreeBytes(std::uint8_t driveNumber) override;
    std::vector<std::string> listLeftoverFillFiles(char driveLetter) override;
    bool deleteLeftoverFillFile(const std::string& fileName) override;

    // Fill files whose handles this volume holds (for tests).
    std::size_t openFileCount() const { return open_.size(); }

private:
    struct OpenFile {
        std::string name;
        HANDLE handle;
    };
    std::vector<OpenFile> open_;
    HANDLE writing_ = INVALID_HANDLE_VALUE;
};

} // namespace qvx::engine
