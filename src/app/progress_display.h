#pragma once
// The main window's progress area during a run: the run reports values (passes, bytes, times)
// and this turns them into the area's texts and bar, setting only what changed.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/run_progress.h"
#include "platform/format_settings.h"

namespace qvx {

// The texts of the progress area.
enum class ProgressText : int {
    Pass,              // the pass label
    GroupCaption,      // the caption of the progress group box
    PassMegabytes,     // megabytes written in the pass
    StartTime,
    ElapsedTime,
    RemainingTime,
    TotalTime,         // the estimated time to completion
    WrittenMegabytes,  // hidden: megabytes written in the whole run
    PlannedMegabytes,  // hidden: planned megabytes of the whole run
};
inline constexpr int kProgressTextCount = 9;

// Where the texts go: the window's labels, or a recording double in tests.
class ProgressArea {
public:
    virtual ~ProgressArea() = default;
    virtual void setText(ProgressText item, std::string_view text) = 0;
    // What the area shows now, whoever set it.
    virtual std::string textNow(ProgressText item) const = 0;
    virtual void setBarRange(std::int64_t minimum, std::int64_t maximum) = 0;
    virtual void setBarPosition(std::int64_t position) = 0;
    virtual std::int64_t barPositionNow() const = 0;
    virtual std::int64_t barMaximumNow() const = 0;
};

class ProgressDisplay {
public:
    explicit ProgressDisplay(ProgressArea& area) : area_(area) {}

    // The user's regional formats, read once per run.
    void setFormats(const FormatSettings& formats) { fs_ = formats; }
    // The area was reset (the drive panel's refresh at a run's start): nothing shown is known.
    void forget();

    // The start of a run: the four time texts cleared.
    void clearTimes();
    void showStart(double startTime);
    // Pass p of N: the pass label and the group box caption.
    void showPass(int pass, int passCount);
    // The bar counts the pass's MiB up to `maximum`.
    void startBar(std::int64_t maximum);
    // The display after the last write the run finished: the same texts as if each write had
    // been shown, however many the screen skipped.
    void showWrite(const engine::ProgressValues& v, std::int64_t plannedBytes);
    // A completed run: the total time takes the elapsed text, the remaining time is zero.
    void showCompleted();
    void showAborted();

    // Texts or the bar were changed behind the display's back (the drive panel's refresh
    // during a run): puts back what the run had shown. True when something was repaired.
    bool repair();

private:
    void setText(ProgressText item, std::string_view text);
    void setDuration(ProgressText item, double days);
    void setBytes(ProgressText item, std::int64_t bytes);
    void showEstimates(double elapsed, std::int64_t written, std::int64_t plannedBytes);
    static std::size_t Index(ProgressText item) { return static_cast<std::size_t>(item); }

    ProgressArea& area_;
    FormatSettings fs_;
    // What the display has set: texts, the whole seconds or bytes behind them (so unchanged
    // values are neither formatted nor set again), and the bar.
    std::array<std::string, kProgressTextCount> shown_;
    std::array<bool, kProgressTextCount> known_{};
    std::array<std::int64_t, kProgressTextCount> value_{};
    std::int64_t barMaximum_ = -1;
    std::int64_t barPosition_ = -1;
    std::uint64_t fullWritesShown_ = 0;
    std::string scratch_;
};

} // namespace qvx
