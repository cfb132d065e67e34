// Settings file, proportional layout scaling, always on top and auto-run of the main window.
#include "app/file_status_win.h"
#include "app/layout_record.h"
#include "app/main_form_win.h"
#include "app/settings_location.h"
#include "app/settings_values.h"
#include "desktop/auto_run_win.h"
#include "app/run_record.h"
#include "platform/win32/executable_path.h"
#include "platform/win32/known_folders.h"
#include "platform/win32/private_profile.h"
#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"

#include <algorithm>
#include <vector>

namespace qvx {

namespace {

bool IsTopmost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Moves the window into or out of the topmost band; only the z-order changes, and the window is
// not activated.
void ApplyTopmost(HWND window, bool on) {
    HWND insertAfter = on ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(window, insertAfter, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    if (IsTopmost(window) == on) return;
    // Some window managers (Wine's) keep an owner behind the popups it owns (its tooltip, the
    // About box) and then leave it out of the topmost band. Those popups are let go for the
    // moment of the call and owned again afterwards.
    struct Search {
        HWND owner;
        std::vector<HWND> owned;
    } search{window, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (GetWindow(w, GW_OWNER) == s->owner) s->owned.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    const std::vector<HWND>& owned = search.owned;
    for (HWND w : owned) SetWindowLongPtrW(w, GWLP_HWNDPARENT, 0);
    SetWindowPos(window, insertAfter, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    for (HWND w : owned) SetWindowLongPtrW(w, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(window));
}

// True when any part of the rectangle lies on a monitor.
bool OnSomeMonitor(int left, int top, int width, int height) {
    const RECT r{left, top, left + std::max(width, 1), top + std::max(height, 1)};
    return MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

SettingsFileState StateOf(const std::string& path) {
    if (!FileExists(path)) return SettingsFileState::Missing;
    return FileWritable(path) ? SettingsFileState::Writable : SettingsFileState::ReadOnly;
}

SettingsPlaces CurrentSettingsPlaces() {
    return {.besideProgram = MainForm::settingsPath(), .perUser = MainForm::userSettingsPath()};
}

// The folder of a file path, up to its last backslash.
std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// Writes every line into one file; false at the first write the system refuses.
bool WriteSettingsFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& lines) {
    PrivateProfile ini(path);
    for (const auto& [key, value] : lines)
        if (!ini.writeString(kSettingsSection, key, value)) return false;
    return true;
}

} // namespace

std::string MainForm::settingsPath() { return SettingsFilePath(ExecutablePath()); }

std::string MainForm::userSettingsPath() { return PerUserSettingsPath(RoamingAppDataFolder()); }

// --- settings file ---------------------------------------------------------------------------

void MainForm::readSettings() {
    const PrivateProfile ini(SettingsReadPath(CurrentSettingsPlaces(), StateOf));
    SavedSettings s = ParseSettings([&](const char* key) { return ini.readString(kSettingsSection, key, ""); });
    // A place on a monitor that has since been removed would leave the window out of sight;
    // any place where some of it shows is kept.
    if (!OnSomeMonitor(s.left, s.top, s.width, s.height)) {
        s.left = kDefaultLeft;
        s.top = kDefaultTop;
    }
    // Each value at once: every size change rescales the controls. The size is kept in 96-DPI
    // units and taken to the DPI of the monitor the place put the window on.
    setBounds(left(), s.top, width(), height());
    setBounds(s.left, top(), width(), height());
    setBounds(left(), top(), sizeAtDpi({s.width, s.height}).cx, height());
    setBounds(left(), top(), width(), sizeAtDpi({s.width, s.height}).cy);
    alwaysOnTopItem.setChecked(s.alwaysOnTop);
    autoRunItem.setChecked(s.autoRun);
    startMaximized_ = s.maximized;
    driveList.setDrive(s.drive);
    levelGroup.setItemIndex(s.level);
}

void MainForm::writeSettings() {
    const bool maximized = windowState() == ui::WindowState::Maximized;
    // The normal place and size are the ones worth keeping; the place in pixels of the virtual
    // screen (it names the monitor), the size in 96-DPI units.
    if (maximized) setWindowState(ui::WindowState::Normal);
    const SIZE size = sizeIn96();
    const SavedSettings s{.maximized = maximized,
                          .top = top(),
                          .left = left(),
                          .width = size.cx,
                          .height = size.cy,
                          .alwaysOnTop = alwaysOnTopItem.checked(),
                          .autoRun = autoRunItem.checked(),
                          .drive = driveList.drive(),
                          .level = levelGroup.itemIndex()};
    const auto lines = SettingsLines(s);
    const std::vector<std::string> places = SettingsWritePaths(CurrentSettingsPlaces());
    for (const std::string& path : places) {
        // The user's folder is made only when the program's own folder refused the file.
        if (path != places.front()) CreateDirectoryW(Widen(FolderOf(path)).c_str(), nullptr);
        if (WriteSettingsFile(path, lines)) return;
    }
    // A refused write is reported, naming the last place tried, and the close that asked for it
    // still goes ahead: a window that cannot be closed would also hold up a log-off.
    ui::Application::instance().showException(SettingsWriteFailureText(places.back()));
}

std::vector<std::string> MainForm::runRecordPaths() {
    std::vector<std::string> paths;
    for (const std::string& settings : SettingsWritePaths(CurrentSettingsPlaces()))
        paths.push_back(FolderOf(settings) + "\\" + kRunRecordFileName);
    return paths;
}

void MainForm::restoreFactoryDefaults() {
    if (ui::MessageDlg(RestoreDefaultsQuestion(), ui::MsgKind::Warning, ui::MsgButtons::YesNo) != ui::MsgResult::Yes) return;
    for (const std::string& path : SettingsWritePaths(CurrentSettingsPlaces())) SafeDeleteFile(path);
    setWindowState(ui::WindowState::Normal);
    runStartUp();
}

// --- proportional layout scaling -------------------------------------------------------------

void MainForm::recordLayout() {
    if (layoutRecord_) return;  // taken once, at the first start-up
    if (handle()) ShowScrollBar(handle(), SB_BOTH, FALSE);
    // In 96-DPI units, whatever the DPI: the client size the start-up fitted, unscaled.
    const SIZE extent = layoutExtent();
    LayoutRecord record{.clientWidth = extent.cx, .clientHeight = extent.cy};
    for (const auto& component : components()) {
        const auto* control = component->isVisual() ? dynamic_cast<const ui::Control*>(component.get()) : nullptr;
        if (!control) {
            record.components.emplace_back();
            continue;
        }
        record.components.push_back(ControlGeometry{.left = control->left(),
                                                    .width = control->width(),
                                                    .top = control->top(),
                                                    .height = control->height(),
                                                    .fontSize = control->fontSize()});
    }
    layoutRecord_ = std::move(record);
}

void MainForm::rescaleLayout() {
    if (!layoutRecord_) return;
    const std::optional<ScaleFactors> factors = ComputeScaleFactors(*layoutRecord_, clientWidth(), clientHeight(), dpi());
    if (!factors) return;
    const auto& all = components();
    for (std::size_t k = 0; k < all.size() && k < layoutRecord_->components.size(); ++k) {
        const std::optional<ControlGeometry>& recorded = layoutRecord_->components[k];
        auto* control = dynamic_cast<ui::Control*>(all[k].get());
        if (!recorded || !control) continue;
        const ControlGeometry g = ScaleGeometry(*recorded, *factors);
        control->setBounds(g.left, g.top, g.width, g.height);
        control->setFontSize(g.fontSize);
        // A control that fills its parent goes back to filling it.
        if (control->alignClient()) control->setAlignClient(true);
    }
}

// --- always on top ---------------------------------------------------------------------------

void MainForm::toggleAlwaysOnTop() {
    alwaysOnTopItem.setChecked(!alwaysOnTopItem.checked());
    if (handle()) ApplyTopmost(handle(), alwaysOnTopItem.checked());
}

// --- auto-run --------------------------------------------------------------------------------

void MainForm::toggleAutoRun() {
    autoRunItem.setChecked(desktop::AutoRunOptionClick(autoRunItem.checked()));
}

bool MainForm::checkAutoRunPath() { return desktop::checkAutoRunPath(); }

} // namespace qvx
