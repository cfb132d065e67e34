#include "desktop/document_viewer_win.h"

#include "desktop/document_viewer.h"
#include "platform/win32/executable_path.h"
#include "platform/win32/shell.h"
#include "platform/win32/wide_text.h"
#include "ui/message_box_win.h"

#include <windows.h>

namespace qvx {

namespace {
bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WindowsDirectory() {
    // Asked for its size first: a Windows directory deeper than MAX_PATH is still found.
    const UINT size = GetWindowsDirectoryW(nullptr, 0);
    if (size == 0) return {};
    std::wstring dir(size, L'\0');
    const UINT n = GetWindowsDirectoryW(dir.data(), size);
    dir.resize(n < size ? n : 0);
    return Narrow(dir);
}

void Inform(const std::string& text) { ui::MessageDlg(text, ui::MsgKind::Information, ui::MsgButtons::Ok); }
} // namespace

void ViewTextFileInNotepad(const std::string& path) { ViewTextFileInNotepad(path, WindowsDirectory()); }

void ViewTextFileInNotepad(const std::string& path, const std::string& windowsDirectory) {
    if (!FileExists(windowsDirectory + "\\Notepad.EXE")) {
        Inform(kNotepadMissingMessage);
        return;
    }
    if (path.empty()) {
        Inform(kNoFileToViewMessage);
        return;
    }
    // Started by its bare name, so the usual search for executables finds it. The command line
    // grows with the path: a long path is never cut.
    StartCommandLine(NotepadCommandLine(path), SW_SHOWNORMAL);
}

void ViewReadmeFile() { ViewTextFileInNotepad(ReadmePathFor(ExecutablePath())); }

void ViewSharewareCatalog(const std::string& productName) {
    const std::string catalog = CatalogPathFor(ExecutablePath());
    if (FileExists(catalog)) {
        ViewTextFileInNotepad(catalog);
    } else {
        Inform(CatalogMissingMessage(productName));
    }
}

} // namespace qvx
