#pragma once
// Looking at and tidying the small test drive (S:, a tmpfs) from the Windows side, for the
// fill-file tests. Everything here goes through the Win32 calls a user's tools would use.
#include "engine/fill_files.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qvx::test {

struct DriveEntry {
    std::string name;  // without the folder
    std::int64_t size = 0;
    DWORD attributes = 0;
};

inline std::string DriveRoot(char letter) { return std::string(1, letter) + ":\\"; }

// Entries of the drive's root matching a pattern ("*" for all), dot files left out.
inline std::vector<DriveEntry> RootEntries(char letter, const std::string& pattern = "*") {
    std::vector<DriveEntry> out;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(DriveRoot(letter) + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        const std::string name = Narrow(data.cFileName);
        if (name.empty() || name[0] == '.') continue;
        out.push_back({name, (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                       data.dwFileAttributes});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return out;
}

// The fill files (of our naming, folders left out) in the drive's root.
inline std::vector<DriveEntry> FillFilesOn(char letter) {
    std::vector<DriveEntry> out;
    for (DriveEntry& e : RootEntries(letter, "*.tmp"))
        if (engine::IsFillFileName(e.name) && !(e.attributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(std::move(e));
    return out;
}

inline std::int64_t FreeBytesOn(char letter) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(Widen(DriveRoot(letter)).c_str(), &available, &total, &free)) return -1;
    return static_cast<std::int64_t>(free.QuadPart);
}

// A file of `size` bytes (zeros), optionally read-only.
inline bool PlantFile(const std::string& path, std::int64_t size, bool readOnly = false) {
    const std::wstring wide = Widen(path);
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::vector<char> chunk(65536, 0);
    bool ok = true;
    for (std::int64_t left = size; ok && left > 0;) {
        const DWORD n = static_cast<DWORD>(left < 65536 ? left : 65536);
        DWORD written = 0;
        ok = WriteFile(h, chunk.data(), n, &written, nullptr) && written == n;
        left -= n;
    }
    CloseHandle(h);
    if (ok && readOnly) ok = SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE;
    return ok;
}

// Removes everything the tests left in the drive's root (other tests expect an empty drive).
inline void EmptyScratchDrive(char letter) {
    for (const DriveEntry& e : RootEntries(letter)) {
        const std::wstring path = Widen(DriveRoot(letter) + e.name);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (e.attributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveDirectoryW(path.c_str());
        else
            DeleteFileW(path.c_str());
    }
}

} // namespace qvx::test
