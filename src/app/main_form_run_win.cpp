// The Sanitize button: the fill run with this window as its host.
#include "app/main_form_win.h"

#include "app/progress_display.h"

#include "engine/fill_run.h"
#include "engine/fill_volume_win.h"
#include "engine/fill_files.h"
#include "engine/run_messages.h"
#include "platform/date_time.h"
#include "platform/win32/elevation.h"
#include "platform/win32/executable_path.h"
#include "platform/win32/power.h"
#include "platform/win32/shell.h"
#include "platform/win32/system_sound.h"
#include "platform/win32/taskbar.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/user_format_settings.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"
#include "ui/timer_win.h"

#include <array>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace qvx {

namespace {
// The progress area's labels and bar.
class ProgressLabels final : public ProgressArea {
public:
    explicit ProgressLabels(MainForm& form) : f_(form) {}
    void setText(ProgressText item, std::string_view text) override { label(item).setCaption(std::string(text)); }
    std::string textNow(ProgressText item) const override { return label(item).caption(); }
    void setBarRange(std::int64_t minimum, std::int64_t maximum) override {
        f_.progressBar.setRange(ClampToInt(minimum), ClampToInt(maximum));
    }
    void setBarPosition(std::int64_t position) override { f_.progressBar.setPosition(ClampToInt(position)); }
    std::int64_t barPositionNow() const override { return f_.progressBar.position(); }
    std::int64_t barMaximumNow() const override { return f_.progressBar.max(); }

private:
    ui::Control& label(ProgressText item) const {
        switch (item) {
        case ProgressText::Pass: return f_.passLabel;
        case ProgressText::GroupCaption: return f_.progressGroup;
        case ProgressText::PassMegabytes: return f_.passMegabytesLabel;
        case ProgressText::StartTime: return f_.startTimeLabel;
        case ProgressText::ElapsedTime: return f_.elapsedTimeLabel;
        case ProgressText::RemainingTime: return f_.remainingTimeLabel;
        case ProgressText::TotalTime: return f_.totalTimeLabel;
        case ProgressText::WrittenMegabytes: return f_.writtenMegabytesLabel;
        case ProgressText::PlannedMegabytes: break;
        }
        return f_.plannedMegabytesLabel;
    }
    // The bar counts MiB in an int: 2 PiB of free space before it saturates.
    static int ClampToInt(std::int64_t v) { return v > 0x7FFFFFFF ? 0x7FFFFFFF : v < 0 ? 0 : static_cast<int>(v); }
    MainForm& f_;
};
} // namespace

// The window as the run sees it. Property changes are made at once; the screen follows at
// its own pace (deferred window updates, flushed about every 15 ms and at every pass start).
class MainForm::RunHostAdapter final : public engine::RunHost {
public:
    RunHostAdapter(MainForm& form, const FormatSettings& formats) : f_(form), labels_(form), display_(labels_) {
        display_.setFormats(formats);
        // Local time of the run's first moment, advanced by a steady clock: a daylight-saving
        // change or a clock correction during a long run does not bend the elapsed time. Fixed
        // here, so that the drive's thread only reads it.
        SYSTEMTIME st;
        GetLocalTime(&st);
        originLocal_ = EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
        originUtc_ = utcNow();
        originSteady_ = ui::Application::clockSeconds();
    }

    // The UTC moment of a local time that now() gave.
    double utcOf(double local) const { return originUtc_ + (local - originLocal_); }

    void showSanitizePage() override { f_.pages.setActivePage(f_.sanitizePage); }
    void refreshDrivePanel() override {
        f_.refreshDrivePanel();
        display_.forget();
    }
    // A command line with /yes has confirmed already, and so has the one confirmation of a
    // command over several drives; one with /exit wants no closing box (the record and the exit
    // code tell the outcome), one over several drives a single box at its end.
    bool confirm(const std::string& text) override {
        if (f_.commandLineRun_ && (f_.commandLine_.yes || (f_.command_ && f_.command_->confirmed))) return true;
        ui::Application::instance().flushDeferred();
        return ui::MessageDlg(text, ui::MsgKind::Confirm, ui::MsgButtons::YesNo) == ui::MsgResult::Yes;
    }
    void showInformation(const std::string& text) override { box(text, ui::MsgKind::Information, ui::MsgButtons::Ok); }
    void showError(const std::string& text) override { box(text, ui::MsgKind::Error, ui::MsgButtons::Ok); }
    bool askError(const std::string& text) override {
        return box(text, ui::MsgKind::Error, ui::MsgButtons::YesNo) == ui::MsgResult::Yes;
    }
    bool elevated() override { return ProcessIsElevated(); }
    void restartElevated() override { f_.restartElevatedAfterRun_ = true; }

    void setRunningControls(bool running) override {
        running_ = running;
        f_.setButtonsEnabled(!running);
        f_.abortButton.setEnabled(running);
        f_.driveList.setEnabled(!running);
        // Awake from the confirmed start to the end, whatever the end is; not while the closing
        // box waits for someone to read it.
        if (running) awake_.emplace();
        else awake_.reset();
        if (running) f_.taskbar_.start(engine::PassCount(f_.runStart_.level).value_or(1));
        else f_.taskbar_.finish();
    }

    bool abortRequested() override { return f_.abortRequested(); }
    void setAbortRequested(bool requested) override { f_.setAbortRequested(requested); }
    bool closeRequested() override { return f_.closeAfterRun_ || ui::Application::instance().terminated(); }

    void processMessages() override {
        ui::Application::instance().processMessages();
        display_.repair();
    }

    // The drive's work on a thread of its own; this thread waits for it while it handles every
    // message that comes, so the window never stops answering, however long a write blocks.
    void runDriveWork(const DriveWork& drive) override {
        auto& app = ui::Application::instance();
        UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        wanted_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        std::thread worker([&] {
            drive.work();
            SetEvent(done.get());
        });
        const auto show = [&] {
            drive.showProgress();
            display_.repair();
            app.flushDeferred();
            acknowledgeDisplay();
        };
        // A window timer: message boxes and other modal loops let it through as well.
        ui::ControlDesign design{.kind = ui::Kind::Timer, .name = "ProgressTicker"};
        design.interval = kProgressTickMilliseconds;
        ui::Timer ticker(f_, design);
        ticker.OnTimer = [&](ui::Timer&) { show(); };
        const std::array<HANDLE, 2> waitFor = {done.get(), wanted_.get()};
        for (;;) {
            const DWORD woken = MsgWaitForMultipleObjectsEx(2, waitFor.data(), INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (woken == WAIT_OBJECT_0) break;
            if (woken == WAIT_OBJECT_0 + 1) {
                show();
                continue;
            }
            app.processMessages();
            drive.checkStop();
            // Restore Factory Defaults re-runs the window's start-up, which clears the progress
            // area; the run only sets what changes, so the area is put back.
            display_.repair();
        }
        worker.join();
        drive.showProgress();
    }

    void awaitDisplay() override {
        std::unique_lock lock(displayMutex_);
        const std::uint64_t wanted = ++displayWanted_;
        SetEvent(wanted_.get());
        displayShown_.wait(lock, [&] { return displayAcknowledged_ >= wanted; });
    }

    double now() override { return originLocal_ + (ui::Application::clockSeconds() - originSteady_) / 86400.0; }

    void completionBeep() override {
        // A command over several drives beeps once, at its end.
        if (f_.command_ && f_.command_->holdBoxes) return;
        MainForm::completionBeep();
    }

    void clearTimes() override { display_.clearTimes(); }
    void showStart(double startTime) override { display_.showStart(startTime); }
    void showPass(int pass, int passCount) override {
        display_.showPass(pass, passCount);
        f_.taskbar_.show(pass, 0, 1);
    }
    void startBar(std::int64_t maximum) override { display_.startBar(maximum); }
    // At the display's pace: the taskbar follows the progress area, never single writes.
    void showWrite(const engine::ProgressValues& v, std::int64_t plannedBytes) override {
        display_.showWrite(v, plannedBytes);
        f_.taskbar_.show(v.pass, v.passBytes, v.startFreeBytes);
    }
    void showCompleted() override { display_.showCompleted(); }
    void showAborted() override { display_.showAborted(); }
    void flushDisplay() override { ui::Application::instance().flushDeferred(); }

private:
    bool quiet() const {
        return f_.commandLineRun_ && (f_.commandLine_.exitAtEnd || (f_.command_ && f_.command_->holdBoxes));
    }
    // A box shows the window as the run left it: pending property changes go to the screen first.
    // One after the run's end is its closing box; a quiet run shows none (and says No).
    ui::MsgResult box(const std::string& text, ui::MsgKind kind, ui::MsgButtons buttons) {
        if (quiet()) return ui::MsgResult::No;
        ui::Application::instance().flushDeferred();
        return f_.runBox(text, kind, buttons, !running_);
    }

    // The window has shown what the drive's thread reached: a drive thread waiting for that
    // goes on.
    void acknowledgeDisplay() {
        std::lock_guard lock(displayMutex_);
        displayAcknowledged_ = displayWanted_;
        displayShown_.notify_all();
    }

    MainForm& f_;
    ProgressLabels labels_;
    ProgressDisplay display_;
    static constexpr unsigned kProgressTickMilliseconds = 15;
    UniqueKernelHandle wanted_;  // set by the drive's thread when it waits for the display
    std::mutex displayMutex_;
    std::condition_variable displayShown_;
    std::uint64_t displayWanted_ = 0;
    std::uint64_t displayAcknowledged_ = 0;
    double originLocal_ = 0;
    double originUtc_ = 0;
    double originSteady_ = 0;
    std::optional<SystemAwake> awake_;
    bool running_ = false;  // between the confirmed start and the end
};

void MainForm::sanitize() {
    if (running_) return;
    runOnDrive(driveList.drive(), false);
    afterRuns(false, ExitCode::Completed);
}

namespace {
// Held while a run goes on a drive, by whichever copy of the program runs there; empty when
// another copy holds it (or it belongs to another user, whose handle we may not open).
UniqueKernelHandle ClaimDrive(char letter) {
    const std::wstring name = std::wstring(L"Global\\Quarvex.Sanitize.") + static_cast<wchar_t>(engine::UpperDriveLetter(letter));
    UniqueKernelHandle claim(CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!claim || GetLastError() == ERROR_ALREADY_EXISTS) return {};
    return claim;
}

bool StopsCommand(engine::RunOutcome outcome) {
    using engine::RunOutcome;
    return outcome == RunOutcome::Declined || outcome == RunOutcome::Aborted || outcome == RunOutcome::ClosedDuringRun ||
           outcome == RunOutcome::AlreadyRunning;
}
} // namespace

void MainForm::completionBeep() {
    // Windows NT and later play the tone itself; there is no other family to serve.
    PlayTone(400, 250);
    ui::Application::instance().processMessages();
}

MainForm::DriveRunEnd MainForm::runOnDrive(char drive, bool fromCommandLine) {
    if (running_) return {ExitCode::Error, {}, true};
    const UniqueKernelHandle claim = ClaimDrive(drive);
    if (!claim) return refuseBusyDrive(drive, fromCommandLine);
    running_ = true;
    commandLineRun_ = fromCommandLine;
    runStart_ = RunStart{.drive = drive, .level = levelGroup.itemIndex(), .utc = utcNow()};
    engine::RunResult result;
    {
        ui::DeferredUpdates deferred;
        const FormatSettings formats = ReadUserFormatSettings();
        RunHostAdapter host(*this, formats);
        const std::unique_ptr<engine::FillVolume> volume =
            makeFillVolume ? makeFillVolume() : std::make_unique<engine::Win32FillVolume>();
        engine::FillRun run(*volume, host);
        result = run.run(drive, levelGroup.itemIndex(), formats);
        if (result.startTime != 0) runStart_.utc = host.utcOf(result.startTime);
    }
    running_ = false;
    commandLineRun_ = false;
    // A run that ended without a closing box (or with an information box) leaves no bar behind.
    taskbar_.clear();
    const bool ran = result.outcome != engine::RunOutcome::Declined && result.outcome != engine::RunOutcome::AlreadyRunning;
    const bool recorded = ran && recordRun(&result, {}, fromCommandLine);
    return {ExitCodeOf(result.outcome, recorded), result.message, StopsCommand(result.outcome)};
}

MainForm::DriveRunEnd MainForm::refuseBusyDrive(char drive, bool fromCommandLine) {
    const std::string text = engine::DriveBusyText(drive);
    if (!fromCommandLine || (!commandLine_.exitAtEnd && !(command_ && command_->holdBoxes))) {
        ui::MessageDlg(text, ui::MsgKind::Error, ui::MsgButtons::Ok);
        return {ExitCode::Error, text, false};
    }
    runStart_ = RunStart{.drive = drive, .level = levelGroup.itemIndex(), .utc = utcNow()};
    recordRun(nullptr, text, true);
    return {ExitCode::Error, text, false};
}

void MainForm::createHandle() {
    ui::Form::createHandle();
    AllowTaskbarButtonMessage(handle());
}

bool MainForm::handleMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // The shell has made the window's taskbar button (again, when Explorer restarted): only now
    // can its progress be shown.
    if (msg == TaskbarButtonCreatedMessage()) taskbar_.setButton(CreateTaskbarButton(handle()));
    return ui::Form::handleMessage(msg, wp, lp, result);
}

ui::MsgResult MainForm::runBox(const std::string& text, ui::MsgKind kind, ui::MsgButtons buttons, bool runEnded) {
    // Only the run's end calls the user back to the window.
    if (runEnded) FlashUnlessForeground(handle());
    const bool error = kind == ui::MsgKind::Error;
    if (error) taskbar_.errorBoxShown(true);
    else if (runEnded) taskbar_.clear();
    const ui::MsgResult answer = ui::MessageDlg(text, kind, buttons);
    if (error) taskbar_.errorBoxShown(false);
    return answer;
}

void MainForm::afterRuns(bool fromCommandLine, ExitCode code) {
    if (restartElevatedAfterRun_) {
        restartElevatedAfterRun_ = false;
        // The new copy gets the drive and the level on its command line, and asks for
        // confirmation again. Should the user decline the system's prompt, this copy stays open.
        writeSettings();
        if (ShellRunAsAdministrator(handle(), ExecutablePath(), RunArguments(runStart_.drive, runStart_.level))) close();
    } else if (fromCommandLine && commandLine_.exitAtEnd) {
        exitAfterCommandLine(code);
    } else if (closeAfterRun_) {
        closeAfterRun_ = false;
        ui::Application::instance().processMessages();
        close();
    }
}

} // namespace qvx
