#include "engine/fill_volume_win.h"

#include "engine/fill_files.h"
#include "platform/win32/volume.h"
#include "platform/win32/wide_text.h"

#include <winioctl.h>

#include <algorithm>
#include <chrono>
#include <utility>

namespace qvx::engine {

namespace {

// Errors that mean "no more handles or descriptors", as opposed to a name that cannot be
// created. Under Wine a full descriptor table comes back as ERROR_TOO_MANY_OPEN_FILES.
bool IsResourceShortage(DWORD error) {
    switch (error) {
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_NO_SYSTEM_RESOURCES:
    case ERROR_NONPAGED_SYSTEM_RESOURCES:
    case ERROR_PAGED_SYSTEM_RESOURCES:
    case ERROR_NOT_ENOUGH_QUOTA:
        return true;
    default:
        return false;
    }
}

// ERROR_DISK_QUOTA_EXCEEDED, which mingw's headers lack.
constexpr DWORD kErrorDiskQuotaExceeded = 1295;

// The drive, or this user's disk quota on it, has no room left.
bool IsNoRoom(DWORD error) {
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL || error == kErrorDiskQuotaExceeded;
}

CreateResult CreateFailure(DWORD error, const std::wstring& name) {
    if (error != ERROR_ACCESS_DENIED) return CreateFailureOf(error, ERROR_SUCCESS);
    const DWORD attributesError = GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES ? ERROR_SUCCESS : GetLastError();
    return CreateFailureOf(error, attributesError);
}

// A new file takes the compression of its folder; a constant pattern would then take no room
// and the drive would never fill. File systems without compression say "not supported".
void MakeUncompressed(HANDLE file) {
    USHORT format = COMPRESSION_FORMAT_NONE;
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_COMPRESSION, &format, sizeof(format), nullptr, 0, &returned, nullptr);
}

// Read access as well: changing the compression needs it.
constexpr DWORD kFillFileAccess = GENERIC_WRITE | FILE_READ_DATA;

UniqueFile CreateHeldFillFile(const std::wstring& name) {
    // No FILE_SHARE_DELETE: nobody else may delete or rename the file while we hold it.
    return UniqueFile(CreateFileW(name.c_str(), kFillFileAccess | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

UniqueFile CreatePlainFillFile(const std::wstring& name) {
    return UniqueFile(CreateFileW(name.c_str(), kFillFileAccess, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The volume's file-record size as NTFS reports it; 0 when it does not. The call is made for a
// volume handle ("\\.\D:"), which a standard user may open for reading attributes; the root
// folder's handle is the second try.
std::uint32_t ReportedFileRecordSize(std::uint8_t driveNumber) {
    const std::wstring root = DriveRootPath(driveNumber);
    const std::wstring volume = L"\\\\.\\" + root.substr(0, 2);
    for (const auto& [path, flags] : {std::pair{volume, DWORD{0}}, std::pair{root, DWORD{FILE_FLAG_BACKUP_SEMANTICS}}}) {
        const UniqueFile handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
        NTFS_VOLUME_DATA_BUFFER data{};
        DWORD returned = 0;
        if (handle && DeviceIoControl(handle.get(), FSCTL_GET_NTFS_VOLUME_DATA, nullptr, 0, &data, sizeof(data),
                                      &returned, nullptr))
            return data.BytesPerFileRecordSegment;
    }
    return 0;
}

std::uint32_t BytesPerSector(std::uint8_t driveNumber) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    return GetDiskFreeSpaceW(DriveRootPath(driveNumber).c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                             &clusters)
               ? bytesPerSector
               : 0;
}

// The volume's free clusters, whoever may use them, and those this user may use, from the
// volume query that also counts what Windows reserves for itself (Windows 10 1903 and later;
// elsewhere the class is unknown and the call fails).
struct FullSizeInformationEx {
    ULONGLONG actualTotalAllocationUnits;
    ULONGLONG actualAvailableAllocationUnits;
    ULONGLONG actualPoolUnavailableAllocationUnits;
    ULONGLONG callerTotalAllocationUnits;
    ULONGLONG callerAvailableAllocationUnits;
    ULONGLONG callerPoolUnavailableAllocationUnits;
    ULONGLONG usedAllocationUnits;
    ULONGLONG totalReservedAllocationUnits;
    ULONGLONG volumeStorageReserveAllocationUnits;
    ULONGLONG availableCommittedAllocationUnits;
    ULONGLONG poolAvailableAllocationUnits;
    ULONG sectorsPerAllocationUnit;
    ULONG bytesPerSector;
};
constexpr int kFileFsFullSizeInformationEx = 14;

std::optional<std::int64_t> FreeBytesWithReserve(std::uint8_t driveNumber) {
    struct IoStatusBlock {
        union {
            LONG status;
            PVOID pointer;
        };
        ULONG_PTR information;
    };
    using QueryVolume = LONG(WINAPI*)(HANDLE, IoStatusBlock*, PVOID, ULONG, int);
    static const auto query = reinterpret_cast<QueryVolume>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryVolumeInformationFile")));
    if (!query) return std::nullopt;
    const UniqueFile root(CreateFileW(DriveRootPath(driveNumber).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!root) return std::nullopt;
    FullSizeInformationEx info{};
    IoStatusBlock status{};
    if (query(root.get(), &status, &info, sizeof(info), kFileFsFullSizeInformationEx) < 0) return std::nullopt;
    const auto unit = static_cast<std::int64_t>(info.sectorsPerAllocationUnit) * info.bytesPerSector;
    if (unit <= 0) return std::nullopt;
    return static_cast<std::int64_t>(info.actualAvailableAllocationUnits) * unit;
}

} // namespace

CreateResult CreateFailureOf(DWORD createError, DWORD attributesError) {
    if (IsNoRoom(createError)) return CreateResult::Full;
    // Someone else has a file of that name open.
    if (createError == ERROR_SHARING_VIOLATION || createError == ERROR_DELETE_PENDING) return CreateResult::Busy;
    if (createError != ERROR_ACCESS_DENIED) return CreateResult::Failed;
    // "Access denied" means that the user may not create files there only where nothing of that
    // name exists. A folder or a read-only file of that name is in the way. A name whose file
    // waits for its deletion (a filter still holds last pass's file) cannot even be asked for
    // its attributes: that refusal is access denied too, and another name will do.
    if (attributesError == ERROR_SUCCESS || attributesError == ERROR_PATH_NOT_FOUND) return CreateResult::Failed;
    return attributesError == ERROR_FILE_NOT_FOUND ? CreateResult::Denied : CreateResult::Busy;
}

// Marks a write or flush in progress, so that interrupt() cancels that call and no other.
class Win32FillVolume::BlockingCall {
public:
    explicit BlockingCall(Win32FillVolume& volume) : volume_(volume) {
        std::lock_guard lock(volume_.callMutex_);
        const DWORD id = GetCurrentThreadId();
        if (volume_.callThreadId_ != id) {
            volume_.callThread_.reset(OpenThread(THREAD_TERMINATE, FALSE, id));
            volume_.callThreadId_ = id;
        }
        volume_.inCall_ = true;
    }
    ~BlockingCall() {
        std::lock_guard lock(volume_.callMutex_);
        volume_.inCall_ = false;
    }
    BlockingCall(const BlockingCall&) = delete;
    BlockingCall& operator=(const BlockingCall&) = delete;

private:
    Win32FillVolume& volume_;
};

void Win32FillVolume::interrupt() {
    interrupted_ = true;
    std::lock_guard lock(callMutex_);
    if (inCall_ && callThread_) CancelSynchronousIo(callThread_.get());
}

Win32FillVolume::~Win32FillVolume() {
    // Whatever path the run took out: held files go with their handles, plain ones by name.
    while (!files_.empty()) {
        const std::string name = files_.begin()->first;
        const bool held = files_.begin()->second.held;
        forget(files_.begin());
        if (!held) DeleteFileW(Widen(name).c_str());
    }
}

void Win32FillVolume::acquireReserve() {
    wchar_t path[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return;
    for (UniqueFile& h : reserve_) {
        if (h) continue;
        h.reset(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        // Wine gives the process its own copy of a handle's descriptor on first use; using it
        // now means that closing the handle frees a descriptor in the process as well.
        LARGE_INTEGER size;
        if (h) GetFileSizeEx(h.get(), &size);
    }
}

bool Win32FillVolume::fallBackToPlainFiles() {
    if (plain_) return false;
    plain_ = true;
    for (UniqueFile& h : reserve_) h.reset();
    return true;
}

void Win32FillVolume::forget(FileMap::iterator it) {
    if (&it->second == writing_) writing_ = nullptr;
    if (it->second.held) --heldCount_;
    files_.erase(it);  // closing a held file's handle deletes it
}

CreateResult Win32FillVolume::createFillFile(const std::string& fileName) {
    writing_ = nullptr;
    // A name still listed is a file of this pass that was not deleted; its handle goes first.
    if (auto it = files_.find(fileName); it != files_.end()) forget(it);
    const std::wstring wide = Widen(fileName);
    if (!plain_) {
        if (files_.empty()) acquireReserve();
        const CreateResult held = createHeld(fileName, wide);
        if (held != CreateResult::Failed || !IsResourceShortage(GetLastError())) return held;
        fallBackToPlainFiles();
    }
    return createPlain(fileName, wide);
}

CreateResult Win32FillVolume::createHeld(const std::string& fileName, const std::wstring& wide) {
    UniqueFile file;
    if (heldLimit_ != 0 && heldCount_ >= heldLimit_) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return CreateResult::Failed;
    }
    file = CreateHeldFillFile(wide);
    if (!file) {
        const DWORD error = GetLastError();
        const CreateResult result = CreateFailure(error, wide);
        SetLastError(error);
        return result;
    }
    if (mayCompress_) MakeUncompressed(file.get());
    writing_ = &files_.insert_or_assign(fileName, PassFile{std::move(file), true}).first->second;
    ++heldCount_;
    return CreateResult::Created;
}

CreateResult Win32FillVolume::createPlain(const std::string& fileName, const std::wstring& wide) {
    UniqueFile file = CreatePlainFillFile(wide);
    if (!file) return CreateFailure(GetLastError(), wide);
    if (mayCompress_) MakeUncompressed(file.get());
    writing_ = &files_.insert_or_assign(fileName, PassFile{std::move(file), false}).first->second;
    return CreateResult::Created;
}

WriteResult Win32FillVolume::write(const BlockBuffer& block, std::uint32_t size) {
    // A stopping run begins no new call to the drive.
    if (!writing_ || !writing_->handle || interrupted_) return {0, WriteStatus::Failed};
    if (pacer_.due(writing_->unflushed) && !flushPart(*writing_)) return {0, WriteStatus::Failed};
    size = std::min<std::uint32_t>(size, static_cast<std::uint32_t>(kBlockSize));
    DWORD written = 0;
    BlockingCall call(*this);
    BOOL ok = WriteFile(writing_->handle.get(), block.bytes.data(), size, &written, nullptr);
    DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    // Wine fetches a handle's descriptor on its first write, which can meet the limit first.
    if (!ok && written == 0 && IsResourceShortage(error) && fallBackToPlainFiles()) {
        ok = WriteFile(writing_->handle.get(), block.bytes.data(), size, &written, nullptr);
        error = ok ? ERROR_SUCCESS : GetLastError();
    }
    written = std::min<DWORD>(written, size);
    writing_->unflushed += written;
    // Linux (and so Wine) stores the part of a write that fits; Windows fails it whole.
    if (ok) return {written, written < size ? WriteStatus::Full : WriteStatus::Written};
    return {written, IsNoRoom(error) ? WriteStatus::Full : WriteStatus::Failed};
}

bool Win32FillVolume::finishFillFile() {
    if (!writing_) return false;
    PassFile& file = *writing_;
    writing_ = nullptr;
    // Deleting a file throws away what the cache has not written yet: the data must be on the
    // disk before the handle goes. A run that is stopping deletes it unsanitized anyway, and
    // the flush would only hold up the stop.
    const bool flushed = interrupted_ || flushPart(file);
    // A held file's handle stays open until the pass deletes the file; a plain one is closed.
    if (!file.held) file.handle.reset();
    return flushed;
}

bool Win32FillVolume::flushPart(PassFile& file) {
    if (!file.handle) return false;
    const auto start = std::chrono::steady_clock::now();
    {
        BlockingCall call(*this);
        if (interrupted_ || !FlushFileBuffers(file.handle.get())) return false;
    }
    ++flushes_;
    pacer_.flushed(file.unflushed, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    file.unflushed = 0;
    return true;
}

bool Win32FillVolume::deleteFillFile(const std::string& fileName) {
    const std::wstring wide = Widen(fileName);
    const auto it = files_.find(fileName);
    const bool held = it != files_.end() && it->second.held;
    if (it != files_.end()) forget(it);
    if (!held && !DeleteFileW(wide.c_str()) && IsResourceShortage(GetLastError()) && fallBackToPlainFiles())
        DeleteFileW(wide.c_str());
    // Every file of the pass is gone: the next pass holds its files again.
    if (files_.empty()) plain_ = false;
    return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::optional<FreeSpace> Win32FillVolume::freeSpace(std::uint8_t driveNumber) {
    const std::wstring root = DriveRootPath(driveNumber);
    FailCriticalErrorsScope quiet;
    ULARGE_INTEGER available{}, total{}, free{};
    BOOL ok = GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free);
    if (!ok && IsResourceShortage(GetLastError()) && fallBackToPlainFiles())
        ok = GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free);
    if (!ok) return std::nullopt;
    FreeSpace space{static_cast<std::int64_t>(available.QuadPart), static_cast<std::int64_t>(free.QuadPart)};
    // The plain query leaves out the free space of reserved storage, which no normal program
    // can reach: it counts as the volume's, not as the user's.
    if (const std::optional<std::int64_t> withReserve = FreeBytesWithReserve(driveNumber))
        space.onVolume = std::max(space.onVolume, *withReserve);
    return space;
}

std::uint32_t Win32FillVolume::smallFileBytes(std::uint8_t driveNumber) {
    if (!smallFileBytes_) {
        FailCriticalErrorsScope quiet;
        const VolumeInformation info = QueryVolumeInformation(driveNumber);
        smallFileBytes_ = 0;
        if (info.ok && info.fileSystem == "NTFS") {
            const std::uint32_t reported = reportedRecordSize_ ? reportedRecordSize_ : ReportedFileRecordSize(driveNumber);
            fileRecordSize_ = PlannedFileRecordSize(reported, BytesPerSector(driveNumber));
            smallFileBytes_ = SmallFileBytesInRecord(fileRecordSize_);
        }
        // A volume without compression need not be asked to leave each file uncompressed.
        mayCompress_ = !info.ok || (info.flags & FILE_FILE_COMPRESSION) != 0;
    }
    return *smallFileBytes_;
}

std::vector<std::string> Win32FillVolume::listLeftoverFillFiles(char driveLetter) {
    std::vector<std::string> names;
    const std::string root = std::string(1, LowerDriveLetter(driveLetter)) + ":\\";
    const std::wstring pattern = Widen(root + std::string(kFillFileMarker) + "*" + std::string(kFillFileExtension));
    WIN32_FIND_DATAW data;
    const UniqueFind find(FindFirstFileW(pattern.c_str(), &data));
    if (!find) return names;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string name = Narrow(data.cFileName);
        if (IsFillFileName(name)) names.push_back(root + name);
    } while (FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

bool Win32FillVolume::deleteLeftoverFillFile(const std::string& fileName) {
    const std::wstring wide = Widen(fileName);
    // Opened without any sharing: this fails while anyone else holds the file open (a second
    // copy of the program in the middle of its pass, for one), and while we hold it nobody can
    // open it between the check and the deletion. A file someone holds is not touched at all,
    // not even its attributes.
    UniqueFile h(CreateFileW(wide.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return false;
    FILE_BASIC_INFO basic{};
    bool ok = GetFileInformationByHandleEx(h.get(), FileBasicInfo, &basic, sizeof(basic)) != FALSE;
    if (ok && (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ok = false;
    constexpr DWORD kBlocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (ok && (basic.FileAttributes & kBlocking)) {
        // A read-only file cannot be deleted; zero times leave the file's times as they are.
        FILE_BASIC_INFO cleared{};
        cleared.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ok = SetFileInformationByHandle(h.get(), FileBasicInfo, &cleared, sizeof(cleared)) != FALSE;
    }
    if (ok) {
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        ok = SetFileInformationByHandle(h.get(), FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
    }
    h.reset();
    return ok && GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace qvx::engine
