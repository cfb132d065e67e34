#pragma once
// A main window stand-in for the fill run's tests: records what the run shows and asks. Its
// progress area gets its texts from the window's own progress display.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/progress_display.h"
#include "engine/run_host.h"

namespace qvx::engine::testing {

class FakeRunHost : public RunHost, private ProgressArea {
public:
    struct Box {
        std::string kind;  // "Information" or "Error"
        std::string text;
    };

    // Answers and behaviour.
    bool answerYes = true;
    bool isElevated = false;
    bool answerRestart = false;  // to the offer to restart as administrator
    // now(): by default a clock that does not move.
    std::function<double()> clock = [] { return 45'000.5; };
    // Runs inside every processMessages (after every block, file and deletion).
    std::function<void()> onProcessMessages;

    // What was asked and shown.
    std::vector<std::string> events;  // page, refresh, confirm, running, idle, info, error, beep
    std::string confirmation;
    std::vector<Box> boxes;
    std::array<std::string, kProgressTextCount> caption{};
    std::array<std::vector<std::string>, kProgressTextCount> history{};
    std::int64_t barMin = 0, barMax = 100, barPosition = 0;
    std::vector<std::int64_t> barMaxima;
    bool abort = false;
    bool closing = false;
    bool runningControls = false;
    int beeps = 0;
    int flushes = 0;
    std::int64_t messageRounds = 0;

    const std::string& text(ProgressText item) const {
        return caption[static_cast<std::size_t>(item)];
    }
    const std::vector<std::string>& texts(ProgressText item) const {
        return history[static_cast<std::size_t>(item)];
    }

    void showSanitizePage() override { events.push_back("page"); }
    void refreshDrivePanel() override {
        events.push_back("refresh");
        resetProgressArea();
        display_.forget();
    }
    // The idle look of the progress area, as the drive panel's refresh leaves it (also when
    // Restore Factory Defaults runs it behind the run's back).
    void resetProgressArea() {
        barPosition = 0;
        set(ProgressText::PassMegabytes, "");
        set(ProgressText::Pass, " Pass : ");
        set(ProgressText::GroupCaption, " Progress : ");
        for (ProgressText i : {ProgressText::StartTime, ProgressText::ElapsedTime, ProgressText::RemainingTime,
                               ProgressText::TotalTime})
            set(i, "");
    }
    // Anything else that sets a text of the area.
    void changeBehindTheRun(ProgressText item, std::string_view text) { set(item, text); }
    bool confirm(const std::string& text) override {
        events.push_back("confirm");
        confirmation = text;
        return answerYes;
    }
    void showInformation(const std::string& text) override { box("info", "Information", text); }
    void showError(const std::string& text) override { box("error", "Error", text); }
    bool askError(const std::string& text) override {
        box("ask", "Error", text);
        return answerRestart;
    }
    bool elevated() override { return isElevated; }
    void restartElevated() override { events.push_back("restart"); }
    void setRunningControls(bool running) override {
        events.push_back(running ? "running" : "idle"), runningControls = running;
    }
    bool abortRequested() override { return abort; }
    void setAbortRequested(bool requested) override { abort = requested; }
    bool closeRequested() override { return closing; }
    void processMessages() override {
        ++messageRounds;
        if (onProcessMessages) onProcessMessages();
    }
    // The drive's work runs inline, and every step of it is shown at once: the texts come out
    // as if the screen followed every write.
    void runDriveWork(const DriveWork& drive) override {
        drive_ = &drive;
        drive.work();
        drive_ = nullptr;
        drive.showProgress();
    }
    void driveProgressed() override {
        if (drive_) drive_->showProgress();
        processMessages();
        // As the window does: what a message changed behind the display comes back.
        display_.repair();
        if (drive_) drive_->checkStop();
    }
    double now() override { return clock(); }
    void completionBeep() override { events.push_back("beep"), ++beeps; }
    void clearTimes() override { display_.clearTimes(); }
    void showStart(double startTime) override { display_.showStart(startTime); }
    void showPass(int pass, int passCount) override { display_.showPass(pass, passCount); }
    void startBar(std::int64_t maximum) override { display_.startBar(maximum); }
    void showWrite(const ProgressValues& v, std::int64_t plannedBytes) override { display_.showWrite(v, plannedBytes); }
    void showCompleted() override { display_.showCompleted(); }
    void showAborted() override { display_.showAborted(); }
    void flushDisplay() override { ++flushes; }
    // The run's formats reach the display through the window in the program.
    void setFormats(const FormatSettings& fs) { display_.setFormats(fs); }

    // The progress area (as the window's labels and bar are).
    void setText(ProgressText item, std::string_view text) override { set(item, text); }
    std::string textNow(ProgressText item) const override { return caption[static_cast<std::size_t>(item)]; }
    void setBarRange(std::int64_t minimum, std::int64_t maximum) override {
        barMin = minimum;
        barMax = maximum;
        barMaxima.push_back(maximum);
    }
    void setBarPosition(std::int64_t position) override { barPosition = position; }
    std::int64_t barPositionNow() const override { return barPosition; }

private:
    std::int64_t barMaximumNow() const override { return barMax; }
    const DriveWork* drive_ = nullptr;
    ProgressDisplay display_{*this};
    void box(const char* event, const char* kind, const std::string& text) {
        events.push_back(event);
        boxes.push_back({kind, text});
    }
    void set(ProgressText item, std::string_view text) {
        const auto i = static_cast<std::size_t>(item);
        caption[i] = text;
        history[i].emplace_back(text);
    }
};

} // namespace qvx::engine::testing
