#include "ui/drive_combo_box_win.h"

#include "platform/win32/volume.h"
#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace qvx::ui {

namespace {
// Room for the drop-down list below the selection field.
constexpr int kDropDownHeight = 240;

// On a thread of its own (the list asks every drive at once).
std::string DriveText(char letter) {
    std::string text{letter, ':'};
    const std::uint8_t number = static_cast<std::uint8_t>(std::tolower(static_cast<unsigned char>(letter)) - 'a' + 1);
    const UINT type = GetDriveTypeW(DriveRootPath(number).c_str());
    if (type == DRIVE_FIXED || type == DRIVE_RAMDISK) {
        // Only drives that are always there are asked for their label: a removable drive
        // without media would make the list slow to build.
        const ThreadFailCriticalErrorsScope quiet;
        const VolumeInformation volume = QueryVolumeInformation(number);
        if (volume.ok && !volume.name.empty()) text += " [" + volume.name + "]";
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
    // The drives are asked all at once; together they get the time one drive may take.
    const auto deadline = std::chrono::steady_clock::now() + kDriveAnswerWait;
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const char letter = static_cast<char>('a' + i);
        letters_.push_back(letter);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const std::optional<std::string> text = labels_.ask<std::string>(
            static_cast<std::uint8_t>(i + 1), [letter] { return DriveText(letter); },
            [this, letter](std::string late) { setItemText(letter, late); }, std::max(left, std::chrono::milliseconds{0}));
        items_.push_back(text ? *text : std::string{letter, ':'});
    }
    if (!handle()) return;
    SendMessageW(handle(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : items_) SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    selectCurrent();
}

void DriveComboBox::setItemText(char letter, const std::string& text) {
    const auto it = std::find(letters_.begin(), letters_.end(), letter);
    if (it == letters_.end()) return;
    const auto index = static_cast<std::size_t>(it - letters_.begin());
    items_[index] = text;
    if (!handle()) return;
    SendMessageW(handle(), CB_DELETESTRING, index, 0);
    SendMessageW(handle(), CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(Widen(text).c_str()));
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
