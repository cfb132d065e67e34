#pragma once
// A main window stand-in for the fill run's tests: records what the run shows and asks.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/run_host.h"

namespace qvx::engine::testing {

class FakeRunHost : public RunHost {
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
    std::array<std::string, kDisplayItemCount> caption{};
    std::array<std::vector<std::string>, kDisplayItemCount> history{};
    std::int64_t barMin = 0, barMax = 100, barPosition = 0;
    std::vector<std::int64_t> barMaxima;
    bool abort = false;
    bool closing = false;
    bool runningControls = false;
    int beeps = 0;
    int flushes = 0;
    std::int64_t messageRounds = 0;

    const std::string& text(DisplayItem item) const {
        return caption[static_cast<std::size_t>(item)];
    }
    const std::vector<std::string>& texts(DisplayItem item) const {
        return history[static_cast<std::size_t>(item)];
    }

    void showSanitizePage() override { events.push_back("page"); }
    void refreshDrivePanel() override {  // and the idle look of the progress area
        events.push_back("refresh");
        barPosition = 0;
        set(DisplayItem::ProgressLabel, "");
        set(DisplayItem::PassLabel, " Pass : ");
        set(DisplayItem::ProgressGroupBox, " Progress : ");
        for (DisplayItem i : {DisplayItem::StartDateTimeLabel, DisplayItem::ElapsedTimeLabel,
                              DisplayItem::RemainingDateTimeLabel, DisplayItem::TimeToCompletionLabel})
            set(i, "");
    }
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
    bool abortTicked() override { return abort; }
    void setAbortTicked(bool ticked) override { abort = ticked; }
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
        if (drive_) drive_->checkStop();
    }
    double now() override { return clock(); }
    void completionBeep() override { events.push_back("beep"), ++beeps; }
    void setCaption(DisplayItem item, std::string_view text) override { set(item, text); }
    void setProgressRange(std::int64_t minimum, std::int64_t maximum) override {
        barMin = minimum;
        barMax = maximum;
        barMaxima.push_back(maximum);
    }
    void setProgressPosition(std::int64_t position) override { barPosition = position; }
    void flushDisplay() override { ++flushes; }

private:
    const DriveWork* drive_ = nullptr;
    void box(const char* event, const char* kind, const std::string& text) {
        events.push_back(event);
        boxes.push_back({kind, text});
    }
    void set(DisplayItem item, std::string_view text) {
        const auto i = static_cast<std::size_t>(item);
        caption[i] = text;
        history[i].emplace_back(text);
    }
};

} // namespace qvx::engine::testing
