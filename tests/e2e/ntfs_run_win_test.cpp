// A 1-pass run through the real window over a real NTFS volume (an image made by mkntfs and
// mounted through ntfs-3g, mapped as a drive by tests/e2e/ntfs_wipe_check.sh, which then scans
// the raw image for what the run should have overwritten). Without that script's drive, the
// tests here are skipped.
#include "app/main_form_win.h"

#include "e2e/scratch_drive.h"
#include "engine/fill_pass.h"
#include "engine/fill_volume_win.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"
#include "ui/application_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace qvx {
namespace {

char NtfsDrive() {
    const char* letter = std::getenv("QUARVEX_NTFS_DRIVE");
    return letter && *letter ? static_cast<char>(*letter) : 0;
}

// The record size the image was made with where the script must tell it (4 KiB records: Wine
// answers neither the record size nor the true sector size); 0 where the volume finds it itself.
std::uint32_t TellRecordSize() {
    const char* size = std::getenv("QUARVEX_NTFS_RECORD_SIZE");
    return size && *size ? static_cast<std::uint32_t>(std::atoi(size)) : 0;
}

std::unique_ptr<engine::Win32FillVolume> NtfsVolume() {
    auto volume = std::make_unique<engine::Win32FillVolume>();
    volume->setReportedFileRecordSizeForTests(TellRecordSize());
    return volume;
}

#define REQUIRE_NTFS_DRIVE(letter)                                                                          \
    const char letter = NtfsDrive();                                                                        \
    if (!letter) GTEST_SKIP() << "SKIPPED: no NTFS test drive (tests/e2e/ntfs_wipe_check.sh maps one)"

TEST(NtfsVolumeRun, AOnePassRunThroughTheWindowLeavesNothingBehind) {
    REQUIRE_NTFS_DRIVE(letter);
    test::ResetApplication();
    const std::string settings = test::ExeFolder() + "quarvex.ini";
    DeleteFileW(Widen(settings).c_str());
    test::MessageBoxRecorder boxes;
    boxes.answer(ui::MsgResult::Yes);
    const std::int64_t freeBefore = test::FreeBytesOn(letter);
    {
        MainForm form;
        ui::Application::instance().setMainForm(&form);
        form.createHandle();
        form.show();
        form.driveList.setDrive(letter);
        form.makeFillVolume = [] { return NtfsVolume(); };
        form.pages.setActivePage(form.settingsPage);
        SendMessageW(form.levelGroup.itemHandle(0), BM_CLICK, 0, 0);
        const auto start = std::chrono::steady_clock::now();
        SendMessageW(form.sanitizeButton.handle(), BM_CLICK, 0, 0);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ASSERT_EQ(boxes.count(), 2u);
        EXPECT_EQ(boxes.last().title, "Information");
        EXPECT_EQ(boxes.last().text.rfind("All Free Disk Space on the \"" + std::string(1, letter) + ":\" drive", 0), 0u)
            << boxes.last().text;
        std::printf("1-pass run over %c: (%.1f MiB free) took %.1f s\n", letter,
                    static_cast<double>(freeBefore) / 1048576.0, seconds);
    }
    test::ResetApplication();
    DeleteFileW(Widen(settings).c_str());
    const auto left = test::FillFilesOn(letter);
    for (const auto& e : left) ADD_FAILURE() << "left behind: " << e.name << ", " << e.size << " bytes";
}

// One pass straight through the volume, timing its phases: how long the small files in the
// file records take on a real NTFS volume, and how many there are.
TEST(NtfsVolumeRun, ThePhasesOfOnePass) {
    REQUIRE_NTFS_DRIVE(letter);
    struct Timing : engine::PassListener {
        using Clock = std::chrono::steady_clock;
        std::uint32_t smallBytes = 0;
        Clock::time_point start = Clock::now(), firstSmall, lastSmall;
        int smallWrites = 0;
        void written(std::uint32_t n) override {
            if (n != smallBytes) return;
            if (smallWrites++ == 0) firstSmall = Clock::now();
            lastSmall = Clock::now();
        }
        void betweenFiles() override {}
        bool stopRequested() override { return false; }
    } timing;
    const auto volumePointer = NtfsVolume();
    engine::Win32FillVolume& volume = *volumePointer;
    timing.smallBytes = volume.smallFileBytes(engine::DriveNumber(letter));
    // The small files fill the volume's records: 544 bytes in 1 KiB ones, 3,616 in 4 KiB ones.
    const std::uint32_t records = TellRecordSize() ? TellRecordSize() : 1024;
    EXPECT_EQ(volume.fileRecordSize(), records);
    EXPECT_EQ(timing.smallBytes, engine::SmallFileBytesInRecord(records));
    engine::BlockBuffer block;
    const engine::PassResult r = engine::FillPass(volume, timing, letter, block).run();
    const double total = std::chrono::duration<double>(Timing::Clock::now() - timing.start).count();
    const double small = std::chrono::duration<double>(timing.lastSmall - timing.firstSmall).count();
    EXPECT_EQ(r.end, engine::PassEnd::Done);
    EXPECT_GT(r.smallFiles, 0);
    EXPECT_TRUE(test::FillFilesOn(letter).empty());
    std::printf("one pass: %.2f s in all; %d small files of %u bytes in %.2f s\n", total, r.smallFiles,
                timing.smallBytes, small);
}

} // namespace
} // namespace qvx
