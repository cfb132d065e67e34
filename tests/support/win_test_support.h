#pragma once
// Helpers for the Windows-side tests: answering message boxes, pumping messages until
// something happens, and the test drives the runner script maps.
#include "platform/win32/unique_handle.h"
#include "ui/message_box_win.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace qvx::test {

// Records every message box the code under test shows and answers it from a script
// (No for questions, OK for notices, unless told otherwise). Restores the real boxes on
// destruction.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    // Answers for the next Yes/No questions, in order.
    void answer(ui::MsgResult result) { answers_.push_back(result); }
    // Runs when a box is shown, before it is answered (e.g. to look at the window then).
    std::function<void(const ui::MessageBoxCall&)> onShow;

    const std::vector<ui::MessageBoxCall>& calls() const { return calls_; }
    size_t count() const { return calls_.size(); }
    const ui::MessageBoxCall& last() const { return calls_.back(); }

private:
    std::vector<ui::MessageBoxCall> calls_;
    std::deque<ui::MsgResult> answers_;
    ui::MessageBoxHook previous_;
};

// Processes messages until the predicate holds or the time is up; returns the predicate.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Processes messages for a while.
void PumpFor(int ms);

// Makes the application usable again by the next test after a form closed it.
void ResetApplication();

// The letter of the small size-limited test drive (a tmpfs mapped by the runner), or 0 with
// the reason in `why` when this machine could not provide one.
char TmpfsDrive(std::string* why = nullptr);
// Host path of the tmpfs drive's root (for planting files).
std::string TmpfsHostPath();

// The folder the test executable lives in, with a trailing backslash.
std::string ExeFolder();

// Text of a window (UTF-8).
std::string WindowText(HWND hwnd);

// Real input, as a user gives it (SendInput): it goes to the foreground window's focus and
// through the message loop like a key or a click of the user. Call ForegroundForInput first.
// Nothing is processed until messages are pumped.
bool ForegroundForInput(HWND window);
// A key press (down and up), with `held` keys (VK_CONTROL, VK_SHIFT...) held down around it.
void SendKey(WORD vk, std::initializer_list<WORD> held = {});
// The mouse moved to a point of a window's client area; a left click there.
void SendMouseMove(HWND hwnd, POINT client);
void SendClick(HWND hwnd, POINT client);
// Processes messages until the input sent so far has been handled (and a little longer, for
// what it posted in turn).
void PumpInput();

// Display scaling. Places scaled from a 96-DPI layout are exact at 96 DPI and within a couple of
// pixels of rounding elsewhere.
int PlaceTolerance(int dpi);
// A window's DPI, checked against the one the test run was started for (QVX_TEST_DPI, set by
// the run at other DPIs), so that a prefix left at 96 DPI cannot pass those runs unnoticed.
int CheckedDpi(HWND window);
// A DPI to move a window to from `dpi`: 150 % from 100 %, otherwise 100 % (the test display is
// too small for the windows at 1.5 times the higher scales).
inline int OtherDpi(int dpi) { return dpi == 96 ? 144 : 96; }
// The extent of one line of text in the font a control's window uses.
SIZE TextExtentIn(HWND window, const std::string& text);

// A program or library loaded as data only (its resources), freed on every way out.
inline UniqueModule LoadAsData(const std::wstring& path) {
    return UniqueModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

} // namespace qvx::test

// Skips the current test with a clear reason when there is no tmpfs drive.
#define QVX_REQUIRE_TMPFS_DRIVE(letterVar)                                                        \
    std::string qvxWhy;                                                                           \
    const char letterVar = ::qvx::test::TmpfsDrive(&qvxWhy);                                      \
    if (!letterVar) GTEST_SKIP() << "SKIPPED: no size-limited test drive: " << qvxWhy
