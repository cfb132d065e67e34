#include "engine/fill_volume_win.h"

#include "engine/fill_files.h"
#include "platform/win32/volume.h"
#include "platform/win32/wide_text.h"

#include <algorithm>

namespace qvx::engine {

Win32FillVolume::~Win32FillVolume() {
    // Whatever path the run took out, closing the handles deletes the files.
    for (const OpenFile& f : open_) CloseHandle(f.handle);
}

bool Win32FillVolume::createFillFile(const std::string& fileName) {
    writing_ = CreateFileW(Widen(fileName).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (writing_ == INVALID_HANDLE_VALUE) return false;
    open_.push_back({fileName, writing_});
    return true;
}

std::uint32_t Win32FillVolume::writeBlock(const BlockBuffer& block) {
    if (writing_ == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    if (!WriteFile(writing_, block.bytes.data(), static_cast<DWORD>(kBlockSize), &written, nullptr)) return 0;
    return written;
}

void Win32FillVolume::closeFillFile() {
    // Writing ends here; the handle stays open until the pass deletes the file.
    writing_ = INVALID_HANDLE_VALUE;
}

std::int64_t Win32FillVolume::FillFileSize(const std::string& fileName) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(fileName).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return -1;
    FindClose(find);
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32FillVolume::fileExists(const std::string& fileName) {
    return GetFileAttributesW(Widen(fileName).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FillVolume::deleteFile(const std::string& fileName) {
    const auto it = std::find_if(open_.begin(), open_.end(), [&](const OpenFile& f) { return f.name == fileName; });
    if (it != open_.end()) {
        if (it->handle == writing_) writing_ = INVALID_HANDLE_VALUE;
        CloseHandle(it->handle);
        open_.erase(it);
    } else {
        DeleteFileW(Widen(fileName).c_str());
    }
    return !fileExists(fileName);
}

std::int64_t Win32FillVolume::DriveFreeBytes(std::uint8_t driveNumber) { return QueryFreeSpace(driveNumber).totalFree; }

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
    if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    // A read-only leftover cannot be opened for deletion.
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    // An exclusive delete-on-close open succeeds only when nobody holds the file open (a
    // second copy of the program in the middle of its pass, for one); closing it deletes it.
    HANDLE h = CreateFileW(wide.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace qvx::engine
