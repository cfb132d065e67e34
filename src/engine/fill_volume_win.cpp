#include "engine/fill_volume_win.h"

#include "engine/fill_files.h"
#include "platform/win32/volume.h"
#include "platform/win32/wide_text.h"

#include <algorithm>

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

HANDLE CreateHeldFillFile(const std::wstring& name) {
    // No FILE_SHARE_DELETE: nobody else may delete or rename the file while we hold it.
    return CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

HANDLE CreatePlainFillFile(const std::wstring& name) {
    return CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

} // namespace

Win32FillVolume::~Win32FillVolume() {
    // Whatever path the run took out: held files go with their handles, plain ones by name.
    while (!files_.empty()) {
        const std::string name = files_.begin()->first;
        const bool held = files_.begin()->second.held;
        forget(files_.begin());
        if (!held) DeleteFileW(Widen(name).c_str());
    }
    releaseReserve();
}

void Win32FillVolume::acquireReserve() {
    wchar_t path[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return;
    for (HANDLE& h : reserve_) {
        if (h != INVALID_HANDLE_VALUE) continue;
        h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        // Wine gives the process its own copy of a handle's descriptor on first use; using it
        // now means that closing the handle frees a descriptor in the process as well.
        LARGE_INTEGER size;
        if (h != INVALID_HANDLE_VALUE) GetFileSizeEx(h, &size);
    }
}

void Win32FillVolume::releaseReserve() {
    for (HANDLE& h : reserve_) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
}

bool Win32FillVolume::fallBackToPlainFiles() {
    if (plain_) return false;
    plain_ = true;
    releaseReserve();
    return true;
}

void Win32FillVolume::forget(std::map<std::string, PassFile>::iterator it) {
    if (it->second.handle == writing_) writing_ = INVALID_HANDLE_VALUE;
    if (it->second.handle != INVALID_HANDLE_VALUE) CloseHandle(it->second.handle);
    if (it->second.held) --heldCount_;
    files_.erase(it);
}

bool Win32FillVolume::createFillFile(const std::string& fileName) {
    writing_ = INVALID_HANDLE_VALUE;
    // A name still listed is a file of this pass that was not deleted; its handle goes first.
    if (auto it = files_.find(fileName); it != files_.end()) forget(it);
    const std::wstring wide = Widen(fileName);
    if (!plain_) {
        if (files_.empty()) acquireReserve();
        HANDLE h = INVALID_HANDLE_VALUE;
        if (heldLimit_ != 0 && heldCount_ >= heldLimit_) {
            SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        } else {
            h = CreateHeldFillFile(wide);
        }
        if (h != INVALID_HANDLE_VALUE) {
            writingEntry_ = files_.emplace(fileName, PassFile{h, true}).first;
            ++heldCount_;
            writing_ = h;
            return true;
        }
        if (!IsResourceShortage(GetLastError())) return false;
        fallBackToPlainFiles();
    }
    HANDLE h = CreatePlainFillFile(wide);
    if (h == INVALID_HANDLE_VALUE) return false;
    writingEntry_ = files_.emplace(fileName, PassFile{h, false}).first;
    writing_ = h;
    return true;
}

std::uint32_t Win32FillVolume::writeBlock(const BlockBuffer& block) {
    if (writing_ == INVALID_HANDLE_VALUE) return 0;
    const DWORD size = static_cast<DWORD>(kBlockSize);
    DWORD written = 0;
    if (WriteFile(writing_, block.bytes.data(), size, &written, nullptr)) return written;
    // Wine fetches a handle's descriptor on its first write, which can meet the limit first.
    if (written == 0 && IsResourceShortage(GetLastError()) && fallBackToPlainFiles()) {
        if (WriteFile(writing_, block.bytes.data(), size, &written, nullptr)) return written;
    }
    // A write that ran out of space may still have stored part of the block.
    return written <= size ? written : 0;
}

void Win32FillVolume::closeFillFile() {
    if (writing_ == INVALID_HANDLE_VALUE) return;
    // A held file's handle stays open until the pass deletes the file; a plain one is closed.
    PassFile& file = writingEntry_->second;
    if (!file.held) {
        CloseHandle(file.handle);
        file.handle = INVALID_HANDLE_VALUE;
    }
    writing_ = INVALID_HANDLE_VALUE;
}

std::int64_t Win32FillVolume::FillFileSize(const std::string& fileName) {
    const std::wstring wide = Widen(fileName);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(wide.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE && IsResourceShortage(GetLastError()) && fallBackToPlainFiles())
        find = FindFirstFileW(wide.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return -1;
    FindClose(find);
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32FillVolume::fileExists(const std::string& fileName) {
    const std::wstring wide = Widen(fileName);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && IsResourceShortage(GetLastError()) && fallBackToPlainFiles())
        attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES;
}

bool Win32FillVolume::deleteFile(const std::string& fileName) {
    const std::wstring wide = Widen(fileName);
    const auto it = files_.find(fileName);
    const bool held = it != files_.end() && it->second.held;
    if (it != files_.end()) forget(it);  // closing a held file's handle deletes it
    if (!held && !DeleteFileW(wide.c_str()) && IsResourceShortage(GetLastError()) && fallBackToPlainFiles())
        DeleteFileW(wide.c_str());
    // Every file of the pass is gone: the next pass holds its files again.
    if (files_.empty()) plain_ = false;
    return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::int64_t Win32FillVolume::DriveFreeBytes(std::uint8_t driveNumber) {
    const std::wstring root = DriveRootPath(driveNumber);
    FailCriticalErrorsScope quiet;
    ULARGE_INTEGER available{}, total{}, free{};
    BOOL ok = GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free);
    if (!ok && IsResourceShortage(GetLastError()) && fallBackToPlainFiles())
        ok = GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free);
    return ok ? static_cast<std::int64_t>(free.QuadPart) : 0;
}

std::vector<std::string> Win32FillVolume::listLeftoverFillFiles(char driveLetter) {
    std::vector<std::string> names;
    const std::string root = std::string(1, LowerDriveLetter(driveLetter)) + ":\\";
    const std::wstring pattern = Widen(root + std::string(kFillFileMarker) + "*" + std::string(kFillFileExtension));
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string name = Narrow(data.cFileName);
        if (IsFillFileName(name)) names.push_back(root + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

bool Win32FillVolume::deleteLeftoverFillFile(const std::string& fileName) {
    const std::wstring wide = Widen(fileName);
    // Opened without any sharing: this fails while anyone else holds the file open (a second
    // copy of the program in the middle of its pass, for one), and while we hold it nobody can
    // open it between the check and the deletion. A file someone holds is not touched at all,
    // not even its attributes.
    HANDLE h = CreateFileW(wide.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILE_BASIC_INFO basic{};
    bool ok = GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof(basic)) != FALSE;
    if (ok && (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ok = false;
    constexpr DWORD kBlocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (ok && (basic.FileAttributes & kBlocking)) {
        // A read-only file cannot be deleted; zero times leave the file's times as they are.
        FILE_BASIC_INFO cleared{};
        cleared.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ok = SetFileInformationByHandle(h, FileBasicInfo, &cleared, sizeof(cleared)) != FALSE;
    }
    if (ok) {
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        ok = SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
    }
    CloseHandle(h);
    return ok && GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace qvx::engine
