#include "app/file_status_win.h"

#include "app/file_status.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/volume.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

#include <optional>

namespace qvx {

namespace {

bool WideFileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The path in the ANSI code page, when it has an exact spelling there that the legacy open holds.
std::optional<std::string> LegacyPath(const std::wstring& path) {
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy || n >= kLegacyOpenPathLimit) return std::nullopt;
    std::string ansi(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()), ansi.data(), n, nullptr, &lossy);
    return ansi;
}

// Opens the file for reading and writing with exclusive sharing and closes it again at once;
// 0 when the open succeeded, the system's error code otherwise.
DWORD TryExclusiveOpen(const std::wstring& path) {
    if (const std::optional<std::string> ansi = LegacyPath(path)) {
        OFSTRUCT of{};
        of.cBytes = sizeof(of);
        const HFILE file = OpenFile(ansi->c_str(), &of, OF_READWRITE | OF_SHARE_EXCLUSIVE);
        if (file == HFILE_ERROR) return of.nErrCode ? of.nErrCode : GetLastError();
        _lclose(file);
        return 0;
    }
    // A path the ANSI code page cannot spell (or too long in it): the same open through the
    // wide call, so such a file is still checked rather than taken for missing.
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return file ? 0 : GetLastError();
}

} // namespace

bool FileExists(const std::string& path) { return !path.empty() && WideFileExists(Widen(path)); }

bool FileWritable(const std::string& path) {
    if (!FileExists(path)) return false;
    const UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

std::string FileOpenStatus(const std::string& path) {
    if (path.empty()) return "";
    const std::wstring wide = Widen(path);
    if (wide.size() >= static_cast<size_t>(kLegacyOpenPathLimit)) return kFileClosed;
    if (!WideFileExists(wide)) return "";
    const FailCriticalErrorsScope quiet;
    const DWORD error = TryExclusiveOpen(wide);
    return error ? OpenStatusForError(error) : kFileClosed;
}

void ClearFileAttributes(const std::string& path) {
    if (FileExists(path)) SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool SafeDeleteFile(const std::string& path) {
    if (!FileExists(path)) return false;
    ClearFileAttributes(path);
    if (FileOpenStatus(path) != kFileClosed) return false;
    DeleteFileW(Widen(path).c_str());
    return !FileExists(path);
}

} // namespace qvx
