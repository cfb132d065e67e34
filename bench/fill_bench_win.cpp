// Fill throughput: a level-0 run through the real main window (display updates and message
// processing included) against the plainest possible program that writes the same 64 KiB
// block into 1 GiB files until the drive is full and then deletes them. Both run on the same
// drive in this one process, alternately; the ratio baseline/ours is printed (1.0 = as fast
// as the plain loop). Also the process's peak working set, after a run over half the drive and
// after one over all of it: a run must not need more memory for more bytes.
//
//   fill_bench.exe <drive letter> [repetitions]     (scripts/bench-fill.sh sets it all up)
#include "app/main_form_win.h"
#include "engine/fill_files.h"
#include "engine/fill_run.h"
#include "engine/fill_volume_win.h"
#include "engine/levels.h"
#include "engine/random_generator.h"
#include "platform/win32/system_sound.h"
#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace qvx;

namespace {

constexpr std::int64_t kCap = engine::kFillFileCap;
constexpr DWORD kBlock = static_cast<DWORD>(engine::kBlockSize);

std::int64_t FreeBytes(char letter) {
    ULARGE_INTEGER a{}, t{}, f{};
    const std::wstring root = {static_cast<wchar_t>(letter), L':', L'\\'};
    return GetDiskFreeSpaceExW(root.c_str(), &a, &t, &f) ? static_cast<std::int64_t>(f.QuadPart) : -1;
}

double PeakWorkingSetMiB() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc))) return -1;
    return static_cast<double>(pmc.PeakWorkingSetSize) / 1048576.0;
}

// The baseline: one WriteFile per 64 KiB block into 1 GiB files until a write comes up
// short, then every file deleted. Returns the bytes written. With `flush`, every file is
// flushed to the disk before it is closed, as the run does: the difference is the flush's cost.
std::int64_t PlainFill(char letter, const engine::BlockBuffer& block, bool flush = false) {
    std::vector<std::wstring> names;
    std::int64_t total = 0;
    for (bool full = false; !full;) {
        names.push_back(Widen(engine::FillFileName(letter, static_cast<int>(names.size()) + 1)));
        HANDLE h = CreateFileW(names.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) break;
        for (std::int64_t inFile = 0; inFile < kCap;) {
            DWORD written = 0;
            if (!WriteFile(h, block.bytes.data(), kBlock, &written, nullptr)) written = 0;
            inFile += written;
            total += written;
            if (written < kBlock) {
                full = true;
                break;
            }
        }
        if (flush) FlushFileBuffers(h);
        CloseHandle(h);
    }
    for (const std::wstring& name : names) DeleteFileW(name.c_str());
    return total;
}

struct RunTiming {
    double seconds = 0;
    std::string outcome;
    // The speed the completion message reports, MB (of 1,048,576 bytes) per second.
    double reportedMbPerSecond() const {
        const std::string marker = "Speed was : ";
        const auto at = outcome.find(marker);
        if (at == std::string::npos) return 0;
        std::string digits;
        for (char c : outcome.substr(at + marker.size())) {
            if (c == ' ') break;
            if (c != ',') digits += c;
        }
        return std::atof(digits.c_str());
    }
};

// Sanitize pressed on the window, the confirmation answered at once; timed from the click to
// the closing message (the completion beep is left out: it is no part of writing).
RunTiming TimedRun(MainForm& form) {
    RunTiming t;
    double end = 0;
    ui::SetMessageBoxHook([&](const ui::MessageBoxCall& call) {
        if (call.kind == ui::MsgKind::Confirm) return ui::MsgResult::Yes;
        end = ui::Application::clockSeconds();
        t.outcome = call.text;
        return ui::MsgResult::Ok;
    });
    const double start = ui::Application::clockSeconds();
    form.sanitizeButton.click();
    t.seconds = end - start;
    ui::SetMessageBoxHook({});
    return t;
}

// The run without a window: every display call and message round does nothing. Telling its
// time apart from the window's shows what the window costs and what the run itself costs.
class SilentHost final : public engine::RunHost {
public:
    void showSanitizePage() override {}
    void refreshDrivePanel() override {}
    bool confirm(const std::string&) override { return true; }
    void showInformation(const std::string& text) override { outcome = text; }
    void showError(const std::string& text) override { outcome = text; }
    bool askError(const std::string& text) override {
        outcome = text;
        return false;
    }
    bool elevated() override { return true; }
    void restartElevated() override {}
    void setRunningControls(bool) override {}
    bool abortRequested() override { return false; }
    void setAbortRequested(bool) override {}
    bool closeRequested() override { return false; }
    void processMessages() override {}
    void runDriveWork(const DriveWork& drive) override { drive.work(); }
    double now() override { return 45000.0 + ui::Application::clockSeconds() / 86400.0; }
    void completionBeep() override {}
    void clearTimes() override {}
    void showStart(double) override {}
    void showPass(int, int) override {}
    void startBar(std::int64_t) override {}
    void showWrite(const engine::ProgressValues&, std::int64_t) override {}
    void showCompleted() override {}
    void showAborted() override {}
    void flushDisplay() override {}
    std::string outcome;
};

double SilentRun(char letter) {
    SilentHost host;
    engine::Win32FillVolume volume;
    engine::FillRun run(volume, host);
    const double start = ui::Application::clockSeconds();
    run.run(letter, 0, FormatSettings{});
    const double seconds = ui::Application::clockSeconds() - start;
    if (host.outcome.rfind("All Free Disk Space", 0) != 0) std::printf("run without a window: %s\n", host.outcome.c_str());
    return seconds;
}

bool PlantBallast(const std::wstring& path, std::int64_t bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::vector<char> zeros(1 << 20);
    bool ok = true;
    for (std::int64_t left = bytes; ok && left > 0; left -= static_cast<std::int64_t>(zeros.size())) {
        DWORD w = 0;
        ok = WriteFile(h, zeros.data(), static_cast<DWORD>(zeros.size()), &w, nullptr) && w == zeros.size();
    }
    CloseHandle(h);
    return ok;
}

// What one empty message round costs here and now. Under Wine it is a round trip to the
// wineserver process, whose price depends on whether the machine's other CPUs are awake; the
// window's share of a run's time follows it.
double EmptyMessageRoundMicroseconds() {
    constexpr int kRounds = 2000;
    MSG msg;
    const double start = ui::Application::clockSeconds();
    for (int i = 0; i < kRounds; ++i) PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    return (ui::Application::clockSeconds() - start) / kRounds * 1e6;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::isalpha(static_cast<unsigned char>(argv[1][0]))) {
        std::fprintf(stderr, "usage: fill_bench <drive letter> [repetitions]\n");
        return 2;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(argv[1][0])));
    const int reps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::int64_t free0 = FreeBytes(letter);
    if (free0 <= 0) {
        std::fprintf(stderr, "drive %c: is not there or has no free space\n", letter);
        return 2;
    }
    std::printf("drive %c: %.1f MiB free, %d repetitions, block %u bytes, files of at most %lld bytes\n", letter,
                static_cast<double>(free0) / 1048576.0, reps, static_cast<unsigned>(kBlock), static_cast<long long>(kCap));

    auto& app = ui::Application::instance();
    app.initialize(GetModuleHandleW(nullptr));
    SetSoundHook([](const SoundCall&) {});
    auto form = std::make_unique<MainForm>();
    app.setMainForm(form.get());
    form->createHandle();
    form->show();
    form->driveList.setDrive(letter);
    form->levelGroup.setItemIndex(0);
    form->showLevelDescription();
    app.processMessages();

    // The baseline writes what a level-0 run writes: one random block, drawn once.
    auto block = std::make_unique<engine::BlockBuffer>();
    engine::SeedRandom(12345);
    engine::FillBlockBuffer(*block, 1);

    std::printf("an empty message round costs %.1f us now\n", EmptyMessageRoundMicroseconds());
    const double peakBefore = PeakWorkingSetMiB();
    // Half the drive first, then all of it: the peak must not follow the run's size.
    const std::wstring ballast = Widen(std::string(1, letter) + ":\\ballast.bin");
    double peakHalf = -1;
    if (PlantBallast(ballast, free0 / 2)) {
        const RunTiming half = TimedRun(*form);
        peakHalf = PeakWorkingSetMiB();
        std::printf("warm-up run over half the drive: %.3f s\n", half.seconds);
    }
    DeleteFileW(ballast.c_str());

    std::vector<double> ours, plain, flushed, silent, ratios, reported, reportedRatios;
    for (int i = 0; i < reps; ++i) {
        // Alternate the order so that neither side always runs on a freshly emptied drive.
        for (int side = 0; side < 2; ++side) {
            const bool runOurs = (side == 0) == (i % 2 == 0);
            if (FreeBytes(letter) != free0) {
                std::fprintf(stderr, "the drive did not come back to its free space (%lld bytes free)\n",
                             static_cast<long long>(FreeBytes(letter)));
                return 1;
            }
            if (runOurs) {
                const RunTiming t = TimedRun(*form);
                if (t.outcome.rfind("All Free Disk Space", 0) != 0) {
                    std::fprintf(stderr, "the run did not complete: %s\n", t.outcome.c_str());
                    return 1;
                }
                ours.push_back(t.seconds);
                reported.push_back(t.reportedMbPerSecond());
            } else {
                const double start = ui::Application::clockSeconds();
                const std::int64_t bytes = PlainFill(letter, *block);
                plain.push_back(ui::Application::clockSeconds() - start);
                // A file system's own bookkeeping (ext4's extent blocks) takes a little of what it
                // called free.
                if (bytes < free0 - free0 / 100) {
                    std::fprintf(stderr, "the baseline wrote only %lld bytes\n", static_cast<long long>(bytes));
                    return 1;
                }
            }
        }
        silent.push_back(SilentRun(letter));
        const double flushStart = ui::Application::clockSeconds();
        PlainFill(letter, *block, /*flush=*/true);
        flushed.push_back(ui::Application::clockSeconds() - flushStart);
        ratios.push_back(plain.back() / ours.back());
        const double plainMbPerSecond = static_cast<double>(free0) / 1048576.0 / plain.back();
        reportedRatios.push_back(reported.back() / plainMbPerSecond);
        std::printf("round %d: ours %.3f s (%.0f MiB/s, reported %.0f MB/s), baseline %.3f s (%.0f MiB/s), ratio %.3f; "
                    "run without a window %.3f s\n",
                    i + 1, ours.back(), static_cast<double>(free0) / 1048576.0 / ours.back(), reported.back(), plain.back(),
                    static_cast<double>(free0) / 1048576.0 / plain.back(), ratios.back(), silent.back());
    }
    const double peakFull = PeakWorkingSetMiB();
    std::printf("an empty message round costs %.1f us now\n", EmptyMessageRoundMicroseconds());
    std::printf("median: ours %.3f s from the click to the message, baseline %.3f s, ratio baseline/ours %.3f (median of "
                "rounds %.3f)\n",
                Median(ours), Median(plain), Median(plain) / Median(ours), Median(ratios));
    std::printf("the run's own reported speed: median %.1f MB/s, %.3f of the plain loop's (median of rounds); target "
                ">= 0.97\n",
                Median(reported), Median(reportedRatios));
    std::printf("flushing every file before it is closed: baseline %.3f s with the flush, %.3f s without (%+.1f %%)\n",
                Median(flushed), Median(plain), (Median(flushed) / Median(plain) - 1) * 100);
    const double blocks = static_cast<double>(free0) / kBlock;
    std::printf("per block: baseline %.1f us, run without a window %.1f us, with the window %.1f us\n",
                Median(plain) / blocks * 1e6, Median(silent) / blocks * 1e6, Median(ours) / blocks * 1e6);
    std::printf("peak working set: %.1f MiB with the window up, %.1f MiB after a run over half the drive, %.1f MiB "
                "after full runs\n",
                peakBefore, peakHalf, peakFull);
    form.reset();
    return 0;
}
