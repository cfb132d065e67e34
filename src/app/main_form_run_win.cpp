// The Sanitize button: the fill run with this window as its host.
#include "app/main_form_win.h"

#include "engine/fill_run.h"
#include "engine/fill_volume_win.h"
#include "platform/date_time.h"
#include "platform/win32/system_sound.h"
#include "platform/win32/user_format_settings.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"

#include <array>
#include <string>

namespace qvx {

// The window as the run sees it. Property changes are made at once; the screen follows at
// its own pace (deferred window updates, flushed about every 15 ms and at every pass start).
class TMainForm1::RunHostAdapter final : public engine::RunHost {
public:
    explicit RunHostAdapter(TMainForm1& form) : f_(form) { takeDisplay(); }

    void showSanitizePage() override { f_.Overall_PageControl.setActivePage(f_.TabSheet6); }
    void refreshDrivePanel() override {
        f_.Refresh_BitBtnClick();
        takeDisplay();
    }
    // A box shows the window as the run left it: pending property changes go to the screen first.
    bool confirm(const std::string& text) override {
        ui::Application::instance().flushDeferred();
        return ui::MessageDlg(text, ui::MsgKind::Confirm, ui::MsgButtons::YesNo) == ui::MsgResult::Yes;
    }
    void showInformation(const std::string& text) override {
        ui::Application::instance().flushDeferred();
        ui::MessageDlg(text, ui::MsgKind::Information, ui::MsgButtons::Ok);
    }
    void showError(const std::string& text) override {
        ui::Application::instance().flushDeferred();
        ui::MessageDlg(text, ui::MsgKind::Error, ui::MsgButtons::Ok);
    }

    void setRunningControls(bool running) override {
        f_.ButtonSwitch(!running);
        f_.Halt_BitBtn.setEnabled(running);
        f_.DriveComboBox1.setEnabled(!running);
    }

    bool abortTicked() override { return f_.Abort_Processing_CheckBox.checked(); }
    void setAbortTicked(bool ticked) override { f_.Abort_Processing_CheckBox.setChecked(ticked); }
    bool closeRequested() override { return f_.closeAfterRun_ || ui::Application::instance().terminated(); }

    void processMessages() override {
        ui::Application::instance().processMessagesThrottled();
        if (displayChangedBehindTheRun()) repairDisplay();
    }

    // Local time of the run's first reading, advanced by a steady clock: a daylight-saving
    // change or a clock correction during a long run does not bend the elapsed time.
    double now() override {
        const double steady = ui::Application::clockSeconds();
        if (!haveOrigin_) {
            SYSTEMTIME st;
            GetLocalTime(&st);
            originLocal_ = EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
            originSteady_ = steady;
            haveOrigin_ = true;
        }
        return originLocal_ + (steady - originSteady_) / 86400.0;
    }

    void completionBeep() override {
        // Windows NT and later play the tone itself; there is no other family to serve.
        PlayTone(400, 250);
        ui::Application::instance().processMessages();
    }

    void setCaption(engine::DisplayItem item, std::string_view text) override {
        std::string& s = shown_[static_cast<std::size_t>(item)];
        s.assign(text);
        label(item).setCaption(s);
    }
    void setProgressRange(std::int64_t minimum, std::int64_t maximum) override {
        f_.ProgressBar1.setRange(ClampToInt(minimum), ClampToInt(maximum));
        takeBar();
    }
    void setProgressPosition(std::int64_t position) override {
        f_.ProgressBar1.setPosition(ClampToInt(position));
        takeBar();
    }
    void flushDisplay() override { ui::Application::instance().flushDeferred(); }

private:
    ui::Control& label(engine::DisplayItem item) {
        switch (item) {
        case engine::DisplayItem::PassLabel: return f_.Pass_Label;
        case engine::DisplayItem::ProgressGroupBox: return f_.Progress_GroupBox;
        case engine::DisplayItem::ProgressLabel: return f_.Progress_Label;
        case engine::DisplayItem::StartDateTimeLabel: return f_.Start_Date_Time_Label;
        case engine::DisplayItem::ElapsedTimeLabel: return f_.Elapsed_Time_Label;
        case engine::DisplayItem::RemainingDateTimeLabel: return f_.Remaining_Date_Time_Label;
        case engine::DisplayItem::TimeToCompletionLabel: return f_.Time_To_Completion_Label;
        case engine::DisplayItem::Label11: return f_.Label11;
        case engine::DisplayItem::Label12: return f_.Label12;
        }
        return f_.Label12;
    }

    // Restore Factory Defaults re-runs the window's start-up during a run, which refreshes the
    // drive panel and clears the progress area. The run only sets what changes, so without a
    // repair the pass and the start stamp would stay blank for the rest of the run. A few
    // short string compares per block.
    bool displayChangedBehindTheRun() {
        if (f_.ProgressBar1.position() != barPosition_ || f_.ProgressBar1.max() != barMax_ ||
            f_.ProgressBar1.min() != barMin_)
            return true;
        for (int i = 0; i < engine::kDisplayItemCount; ++i) {
            const auto item = static_cast<engine::DisplayItem>(i);
            if (label(item).caption() != shown_[static_cast<std::size_t>(i)]) return true;
        }
        return false;
    }
    // The progress area as it stands, as the run's own.
    void takeDisplay() {
        for (int i = 0; i < engine::kDisplayItemCount; ++i)
            shown_[static_cast<std::size_t>(i)] = label(static_cast<engine::DisplayItem>(i)).caption();
        takeBar();
    }
    // As the bar holds it (it keeps its position within its range).
    void takeBar() {
        barMin_ = f_.ProgressBar1.min();
        barMax_ = f_.ProgressBar1.max();
        barPosition_ = f_.ProgressBar1.position();
    }
    void repairDisplay() {
        for (int i = 0; i < engine::kDisplayItemCount; ++i)
            label(static_cast<engine::DisplayItem>(i)).setCaption(shown_[static_cast<std::size_t>(i)]);
        f_.ProgressBar1.setRange(barMin_, barMax_);
        f_.ProgressBar1.setPosition(barPosition_);
    }

    // The bar counts MiB in an int: 2 PiB of free space before it saturates.
    static int ClampToInt(std::int64_t v) { return v > 0x7FFFFFFF ? 0x7FFFFFFF : v < 0 ? 0 : static_cast<int>(v); }
    TMainForm1& f_;
    // What the run last gave each text and the bar.
    std::array<std::string, engine::kDisplayItemCount> shown_;
    int barMin_ = 0, barMax_ = 0, barPosition_ = 0;
    bool haveOrigin_ = false;
    double originLocal_ = 0;
    double originSteady_ = 0;
};

void TMainForm1::Sanitize_BitBtnClick() {
    if (running_) return;
    running_ = true;
    {
        ui::DeferredUpdates deferred;
        RunHostAdapter host(*this);
        engine::Win32FillVolume volume;
        engine::FillRun run(volume, host);
        run.run(DriveComboBox1.drive(), Sanitization_Level_RadioGroup.itemIndex(), ReadUserFormatSettings());
    }
    running_ = false;
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        ui::Application::instance().processMessages();
        close();
    }
}

} // namespace qvx
