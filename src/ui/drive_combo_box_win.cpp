#include "ui/drive_combo_box_win.h"

#include "platform/win32/volume.h"
#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cctype>

namespace qvx::ui {

namespace {
// Room for the drop-down list below the selection field.
constexpr int kDropDownHeight = 240;

std::string DriveText(char letter) {
    std::string text{letter, ':'};
    wchar_t root[] = L"A:\\";
    root[0] = static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(letter)));
    const UINT type = GetDriveTypeW(root);
    if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
        // Only drives that are always there are asked for their label: a removable drive
        // without media would make the list slow to build.
        const FailCriticalErrorsScope quiet;
        wchar_t label[256] = {};
        if (GetVolumeInformationW(root, label, 255, nullptr, nullptr, nullptr, nullptr, 0) && label[0])
            text += " [" + Narrow(label) + "]";
    }
    return text;
}
} // namespace

DriveComboBox::DriveComboBox(Form& owner, const ControlDesign& design, Control* parent) : Control(owner, design, parent) {}

Control::WindowClass DriveComboBox::windowClass() const { return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0}; }

void DriveComboBox::afterCreate() {
    placeWindow();
    buildList();
    // The drive of the process's current directory is the first one selected.
    wchar_t dir[MAX_PATH] = {};
    char initial = 'c';
    if (GetCurrentDirectoryW(MAX_PATH, dir) > 1 && dir[1] == L':' && iswalpha(dir[0]))
        initial = static_cast<char>(std::tolower(static_cast<unsigned char>(dir[0])));
    setDrive(initial);
}

void DriveComboBox::buildList() {
    items_.clear();
    letters_.clear();
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const char letter = static_cast<char>('a' + i);
        letters_.push_back(letter);
        items_.push_back(DriveText(letter));
    }
    if (!handle()) return;
    SendMessageW(handle(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items_) SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    selectCurrent();
}

int DriveComboBox::itemIndex() const {
    const auto it = std::find(letters_.begin(), letters_.end(), drive_);
    return it == letters_.end() ? -1 : static_cast<int>(it - letters_.begin());
}

void DriveComboBox::selectCurrent() {
    if (handle()) SendMessageW(handle(), CB_SETCURSEL, itemIndex(), 0);
}

void DriveComboBox::setDrive(char letter) {
    letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    if (letter == drive_) return;
    drive_ = letter;
    selectCurrent();
    if (OnChange) OnChange(*this);
}

bool DriveComboBox::onCommand(WORD code) {
    if (code != CBN_SELCHANGE) return false;
    const LRESULT sel = SendMessageW(handle(), CB_GETCURSEL, 0, 0);
    if (sel >= 0 && sel < static_cast<LRESULT>(letters_.size())) setDrive(letters_[static_cast<size_t>(sel)]);
    return true;
}

void DriveComboBox::placeWindow() {
    if (!handle()) return;
    // The window's height includes the drop-down list; the selection field is made as high as
    // the control's height (its item area plus the frame around it).
    SetWindowPos(handle(), nullptr, left_, top_, width_, height_ + scaled(kDropDownHeight), SWP_NOZORDER | SWP_NOACTIVATE);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    const int frame = GetComboBoxInfo(handle(), &info) ? 2 * info.rcItem.top : 6;
    const int itemHeight = std::max(1, height_ - frame);
    if (SendMessageW(handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0) != itemHeight)
        SendMessageW(handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight);
}

void DriveComboBox::applyDirty(unsigned bits) {
    Control::applyDirty(bits & ~static_cast<unsigned>(DirtyBounds));
    if (bits & (DirtyBounds | DirtyFont)) placeWindow();
}

} // namespace qvx::ui
