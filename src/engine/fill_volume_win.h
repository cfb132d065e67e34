#pragma once
// The fill run's volume on Windows. Every fill file is created delete-on-close and its handle
// is kept until the end of its pass, so that the system removes it when the handle goes: at the
// pass's deletion step, and also when the process is killed or crashes mid-run. The files are
// opened without delete sharing, so no other process can delete or rename them during their
// pass.
//
// A file is flushed in parts while it is written (FlushPacer), so that a stop never waits long
// for the cache to reach a slow drive.
//
// Holding one handle per GiB is far below what Windows allows a process (a 16 TiB pass holds
// 16,384), but under Wine every handle also holds a Unix file descriptor, and the process's
// descriptor limit can be much lower. When the system refuses a handle, the volume gives back
// two handles it kept in reserve and writes the rest of the pass's fill files the plain way:
// created, written, closed, deleted by name at the pass's end. The run goes on; only those
// files would outlive a killed process (the next run's leftover sweep removes them).
#include "engine/fill_volume.h"
#include "engine/flush_pacer.h"
#include "platform/win32/unique_handle.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace qvx::engine {

// What a refused creation of a fill file means. createError: CreateFile's error;
// attributesError: GetFileAttributesW's for the same name, ERROR_SUCCESS where it found one.
CreateResult CreateFailureOf(DWORD createError, DWORD attributesError);

class Win32FillVolume final : public FillVolume {
public:
    Win32FillVolume() = default;
    ~Win32FillVolume() override;
    Win32FillVolume(const Win32FillVolume&) = delete;
    Win32FillVolume& operator=(const Win32FillVolume&) = delete;

    CreateResult createFillFile(const std::string& fileName) override;
    WriteResult write(const BlockBuffer& block, std::uint32_t size) override;
    bool finishFillFile() override;
    bool deleteFillFile(const std::string& fileName) override;
    std::optional<FreeSpace> freeSpace(std::uint8_t driveNumber) override;
    std::uint32_t smallFileBytes(std::uint8_t driveNumber) override;
    std::vector<std::string> listLeftoverFillFiles(char driveLetter) override;
    bool deleteLeftoverFillFile(const std::string& fileName) override;
    void interrupt() override;

    // Fill files of the current pass whose delete-on-close handles this volume holds.
    std::size_t heldFileCount() const { return heldCount_; }
    // True once the system refused a handle in this pass (the rest is written the plain way).
    bool handleLimitReached() const { return plain_; }
    // How many flushes the volume has made, whole files' and parts'.
    std::size_t flushCount() const { return flushes_; }
    // The file-record size the small files were planned for (0 before smallFileBytes, and on
    // volumes other than NTFS).
    std::uint32_t fileRecordSize() const { return fileRecordSize_; }
    // Treats the creation of a held file beyond `limit` as refused by the system, so that
    // tests reach the fallback without exhausting the machine. 0: no limit of our own.
    void setHeldFileLimitForTests(std::size_t limit) { heldLimit_ = limit; }
    // Takes `size` as the file-record size that NTFS reports (0: ask it), for volumes whose
    // record size the system cannot tell (Wine answers neither the query nor the true sector size).
    void setReportedFileRecordSizeForTests(std::uint32_t size) { reportedRecordSize_ = size; }

private:
    class BlockingCall;
    struct PassFile {
        UniqueFile handle;  // a plain file's handle is closed after writing
        bool held = false;  // delete-on-close, handle kept until deletion
        std::int64_t unflushed = 0;  // bytes written since its last flush
    };
    using FileMap = std::map<std::string, PassFile>;

    void acquireReserve();
    // The system refused a handle: make room and go on the plain way for the rest of the pass.
    // false when that had already happened (nothing more to give back).
    bool fallBackToPlainFiles();
    CreateResult createHeld(const std::string& fileName, const std::wstring& wide);
    CreateResult createPlain(const std::string& fileName, const std::wstring& wide);
    void forget(FileMap::iterator it);
    // Flushes what was written to the file since its last flush; false when that failed or a
    // stop cut it short.
    bool flushPart(PassFile& file);

    // Keyed by name: the 10-digit numbers make name order the files' number order.
    FileMap files_;
    std::size_t heldCount_ = 0;
    // The file being written (valid while it is in files_), or none.
    PassFile* writing_ = nullptr;
    std::array<UniqueFile, 2> reserve_;
    bool plain_ = false;
    std::size_t heldLimit_ = 0;
    std::optional<std::uint32_t> smallFileBytes_;
    std::uint32_t fileRecordSize_ = 0;
    std::uint32_t reportedRecordSize_ = 0;
    FlushPacer pacer_;
    std::size_t flushes_ = 0;
    // The thread in a write or flush, for interrupt() on another thread to cancel that call.
    std::mutex callMutex_;
    UniqueKernelHandle callThread_;
    DWORD callThreadId_ = 0;
    bool inCall_ = false;
    std::atomic<bool> interrupted_{false};
    bool mayCompress_ = true;  // until the volume says otherwise
};

} // namespace qvx::engine
