#include "app/taskbar_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qvx;

namespace {
using Calls = std::vector<std::string>;
// Records the button's calls as "normal", "error", "none" or "1500/3000".
class RecordingButton final : public TaskbarButton {
public:
    explicit RecordingButton(Calls& calls) : calls_(calls) {}
    void setState(TaskbarState s) override { calls_.push_back(s == TaskbarState::None ? "none" : s == TaskbarState::Normal ? "normal" : "error"); }
    void setValue(std::uint64_t done, std::uint64_t total) override { calls_.push_back(std::to_string(done) + "/" + std::to_string(total)); }

private:
    Calls& calls_;
};
} // namespace

TEST(TaskbarProgress, PassesDonePlusThePassShareChangesOnlyAnErrorBoxAndALateButton) {
    Calls calls;
    TaskbarProgress bar;
    bar.setButton(std::make_unique<RecordingButton>(calls));
    bar.start(3);
    bar.show(1, 250, 1000);
    bar.show(1, 250, 1000);   // no change, no call
    bar.show(1, 2000, 1000);  // more than the free space: the pass is whole, no more
    bar.show(3, 999, 1000);
    bar.show(3, 1, 0);        // no free space at the start: nothing to share
    bar.errorBoxShown(true);  // a box during the run, then back to the bar
    bar.errorBoxShown(false);
    bar.finish();
    bar.show(3, 500, 1000);   // after the run's end nothing moves
    bar.errorBoxShown(true);  // the closing error box; Explorer restarts meanwhile
    bar.setButton(std::make_unique<RecordingButton>(calls));
    bar.errorBoxShown(false);
    bar.clear();
    EXPECT_EQ(calls, (Calls{"normal", "0/3000", "250/3000", "1000/3000", "2999/3000", "2000/3000", "error", "normal",
                            "error", "error", "2000/3000", "none"}));
}
