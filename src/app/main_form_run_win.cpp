// The Sanitize button: the fill run with this window as its host.
#include "app/main_form_win.h"

#include "engine/fill_run.h"
#include "engine/fill_volume_win.h"
#include "platform/date_time.h"
#include "platform/win32/system_sound.h"
#include "platform/win32/user_format_settings.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"

namespace qvx {

// The window as the run sees it. Property changes are made at once; the screen follows at
// its own pace (deferred window updates, flushed about every 15 ms and at every pass start).
class TMainForm1::RunHostAdapter final : public engine::RunHost {
public:
    explicit RunHostAdapter(TMainForm1& form) : f_(form) {}

    void showSanitizePage() override { f_.Overall_PageControl.setActivePage(f_.TabSheet6); }
    void refreshDrivePanel() override { f_.Refresh_BitBtnClick(); }
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

    void processMessages() override { ui::Application::instance().processMessagesThrottled(); }

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
        const std::string s(text);
        switch (item) {
        case engine::DisplayItem::PassLabel: f_.Pass_Label.setCaption(s); break;
        case engine::DisplayItem::ProgressGroupBox: f_.Progress_GroupBox.setCaption(s); break;
        case engine::DisplayItem::ProgressLabel: f_.Progress_Label.setCaption(s); break;
        case engine::DisplayItem::StartDateTimeLabel: f_.Start_Date_Time_Label.setCaption(s); break;
        case engine::DisplayItem::ElapsedTimeLabel: f_.Elapsed_Time_Label.setCaption(s); break;
        case engine::DisplayItem::RemainingDateTimeLabel: f_.Remaining_Date_Time_Label.setCaption(s); break;
        case engine::DisplayItem::TimeToCompletionLabel: f_.Time_To_Completion_Label.setCaption(s); break;
        case engine::DisplayItem::Label11: f_.Label11.setCaption(s); break;
        case engine::DisplayItem::Label12: f_.Label12.setCaption(s); break;
        }
    }
    void setProgressRange(std::int64_t minimum, std::int64_t maximum) override {
        f_.ProgressBar1.setRange(ClampToInt(minimum), ClampToInt(maximum));
    }
    void setProgressPosition(std::int64_t position) override { f_.ProgressBar1.setPosition(ClampToInt(position)); }
    void flushDisplay() override { ui::Application::instance().flushDeferred(); }

private:
    // The bar counts MiB in an int: 2 PiB of free space before it saturates.
    static int ClampToInt(std::int64_t v) { return v > 0x7FFFFFFF ? 0x7FFFFFFF : v < 0 ? 0 : static_cast<int>(v); }
    TMainForm1& f_;
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
