#include "app/taskbar_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qvx;

namespace {
// Records the button's calls as "state N" / "value 1500/3000".
class RecordingButton final : public TaskbarButton {
public:
    explicit RecordingButton(std::vector<std::string>& calls) : calls_(calls) {}
    void setState(TaskbarState state) override {
        calls_.push_back(state == TaskbarState::None ? "none" : state == TaskbarState::Normal ? "normal" : "error");
    }
    void setValue(std::uint64_t completed, std::uint64_t total) override {
        calls_.push_back(std::to_string(completed) + "/" + std::to_string(total));
    }

private:
    std::vector<std::string>& calls_;
};
using Calls = std::vector<std::string>;
} // namespace

TEST(TaskbarProgress, PassesDonePlusThePassShareOverThePassesPlannedAndOnlyChanges) {
    Calls calls;
    TaskbarProgress bar;
    bar.setButton(std::make_unique<RecordingButton>(calls));
    bar.start(3);
    bar.show(1, 0, 1000);
    bar.show(1, 250, 1000);
    bar.show(1, 250, 1000);   // no change, no call
    bar.show(1, 2000, 1000);  // more than the free space: the pass is whole, no more
    bar.show(2, 0, 1000);
    bar.show(3, 999, 1000);
    bar.show(3, 1, 0);        // no free space at the start: nothing to share
    bar.finish();
    bar.show(3, 500, 1000);   // after the run's end nothing moves
    bar.clear();
    bar.clear();
    EXPECT_EQ(calls, (Calls{"normal", "0/3000", "250/3000", "1000/3000", "2999/3000", "2000/3000", "none"}));
}

TEST(TaskbarProgress, AnErrorBoxTurnsItRedUntilItClosesAndALateButtonCatchesUp) {
    Calls calls;
    TaskbarProgress bar;
    bar.start(2);
    bar.show(2, 500, 1000);  // no button yet: nothing to call, nothing fails
    bar.setButton(std::make_unique<RecordingButton>(calls));
    EXPECT_EQ(calls, (Calls{"normal", "1500/2000"}));
    calls.clear();

    bar.errorBoxShown(true);   // a box during the run
    bar.errorBoxShown(false);  // back to the bar
    bar.finish();
    bar.errorBoxShown(true);   // the run's closing error box
    bar.setButton(std::make_unique<RecordingButton>(calls));  // Explorer restarted meanwhile
    bar.errorBoxShown(false);
    EXPECT_EQ(calls, (Calls{"error", "normal", "error", "error", "1500/2000", "none"}));

    // A new run starts from 0 again.
    calls.clear();
    bar.start(1);
    EXPECT_EQ(calls, (Calls{"normal", "0/1000"}));
}
