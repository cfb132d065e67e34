// Forms of the framework on their own: the focus coming back when a form is activated again,
// and modal loops (their end, the owner held still, timers and deferred updates inside them).
#include "support/win_test_support.h"
#include "ui/application_win.h"
#include "ui/button_win.h"
#include "ui/form_win.h"
#include "ui/label_win.h"
#include "ui/timer_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qvx::ui {
namespace {

const std::vector<ControlDesign> kThreeButtons = {
    {.kind = Kind::Button, .name = "first", .left = 10, .top = 10, .width = 80, .height = 25, .caption = "First"},
    {.kind = Kind::Button, .name = "second", .left = 10, .top = 40, .width = 80, .height = 25, .caption = "Second"},
    {.kind = Kind::Button, .name = "third", .left = 10, .top = 70, .width = 80, .height = 25, .caption = "Third"},
};

const std::vector<ControlDesign> kOneButton = {
    {.kind = Kind::Button, .name = "only", .left = 10, .top = 10, .width = 80, .height = 25, .caption = "Only"},
};

bool Activate(Form& form) {
    if (!test::ForegroundForInput(form.handle())) return false;
    return test::PumpUntil([&] { return GetActiveWindow() == form.handle(); }, 2000);
}

TEST(FormActivation, TheFocusComesBackToItsControlOrMovesOnFromOneThatCannotTakeIt) {
    test::ResetApplication();
    Form form({.name = "focusForm", .caption = "Focus", .left = 40, .top = 40, .clientWidth = 200, .clientHeight = 120},
              kThreeButtons);
    Form other({.name = "otherForm", .caption = "Other", .left = 300, .top = 40, .clientWidth = 120,
                .clientHeight = 60},
               kOneButton);
    int activations = 0;
    form.OnActivate = [&](Form&) { ++activations; };
    form.show();
    other.show();
    const HWND first = form.find<Button>("first").handle();
    const HWND second = form.find<Button>("second").handle();
    const HWND third = form.find<Button>("third").handle();

    ASSERT_TRUE(Activate(form));
    SetFocus(second);
    ASSERT_TRUE(Activate(other));
    ASSERT_TRUE(Activate(form));
    EXPECT_EQ(GetFocus(), second);
    EXPECT_EQ(Application::instance().activeForm(), &form);
    EXPECT_GE(activations, 2);

    // Disabled while the form was inactive: the focus moves on in Tab order.
    ASSERT_TRUE(Activate(other));
    form.find<Button>("second").setEnabled(false);
    ASSERT_TRUE(Activate(form));
    EXPECT_EQ(GetFocus(), third);

    // Disabled while it has the focus: once the changes of the moment are made, the next one.
    form.find<Button>("third").setEnabled(false);
    form.find<Button>("second").setEnabled(true);
    EXPECT_TRUE(test::PumpUntil([&] { return GetFocus() == first; }, 2000));
}

class FormModalTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetApplication();
        owner = std::make_unique<Form>(
            FormDesign{.name = "ownerForm", .caption = "Owner", .left = 40, .top = 40, .clientWidth = 240,
                       .clientHeight = 100},
            ownerRows);
        Application::instance().setMainForm(owner.get());
        owner->show();
        dialog = std::make_unique<Form>(
            FormDesign{.name = "dialogForm", .caption = "Dialog", .left = 80, .top = 80, .clientWidth = 160,
                       .clientHeight = 80, .border = FormBorder::Dialog},
            dialogRows);
        dialog->createHandle();
        timer().OnTimer = [this](Timer&) {
            ++ticks;
            ownerEnabledInside = IsWindowEnabled(owner->handle()) != FALSE;
            activeInside = Application::instance().activeForm();
            statusInside = test::WindowText(owner->find<Label>("status").handle());
            if (onTick) onTick(ticks);
        };
    }
    void TearDown() override {
        dialog.reset();
        owner.reset();
        test::ResetApplication();
    }
    Timer& timer() { return dialog->find<Timer>("tick"); }

    const std::vector<ControlDesign> ownerRows = {
        {.kind = Kind::Label, .name = "status", .left = 10, .top = 10, .width = 200, .height = 20, .caption = "idle"},
    };
    const std::vector<ControlDesign> dialogRows = {
        {.kind = Kind::Button, .name = "ok", .left = 10, .top = 10, .width = 60, .height = 25, .caption = "OK",
         .modalResult = mrOk},
        {.kind = Kind::Button, .name = "plain", .left = 80, .top = 10, .width = 60, .height = 25, .caption = "Plain"},
        {.kind = Kind::Timer, .name = "tick", .interval = 10},
    };
    std::unique_ptr<Form> owner, dialog;
    int ticks = 0;
    bool ownerEnabledInside = true;
    Form* activeInside = nullptr;
    std::string statusInside;
    std::function<void(int)> onTick;
};

TEST_F(FormModalTest, AButtonWithAModalResultEndsTheLoopWhileTheOwnerIsHeldStill) {
    Form* activeBefore = Application::instance().activeForm();
    int closeQueries = 0;
    dialog->OnCloseQuery = [&](Form&, bool& canClose) {
        ++closeQueries;
        canClose = false;
    };
    onTick = [&](int tick) {
        if (tick == 1) dialog->close();  // refused: the loop goes on
        if (tick == 2) dialog->find<Button>("plain").click();  // no modal result: goes on
        if (tick == 3) {
            timer().setEnabled(false);
            dialog->find<Button>("ok").click();
        }
    };
    int result = mrNone;
    {
        // Opened from inside a run, which defers window updates: the loop flushes them.
        DeferredUpdates deferred;
        owner->find<Label>("status").setCaption("running");
        result = dialog->showModal();
    }
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(closeQueries, 1);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_EQ(activeInside, dialog.get());
    EXPECT_EQ(statusInside, "running");
    EXPECT_TRUE(IsWindowEnabled(owner->handle()));
    EXPECT_FALSE(IsWindowVisible(dialog->handle()));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(Application::instance().activeForm(), activeBefore);
}

TEST_F(FormModalTest, ClosingEndsTheLoopWithCancelAndTerminatingTheApplicationEndsItToo) {
    onTick = [&](int) {
        timer().setEnabled(false);
        dialog->close();
    };
    EXPECT_EQ(dialog->showModal(), mrCancel);
    EXPECT_TRUE(IsWindowEnabled(owner->handle()));

    // The same form can be shown modally again; a terminated application ends the loop.
    ticks = 0;
    timer().setEnabled(true);
    onTick = [&](int) {
        timer().setEnabled(false);
        Application::instance().terminate();
    };
    EXPECT_EQ(dialog->showModal(), mrNone);
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(IsWindowEnabled(owner->handle()));
}

} // namespace
} // namespace qvx::ui
