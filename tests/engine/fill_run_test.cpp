#include "engine/fill_run.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/fake_run_host.h"
#include "engine/fill_files.h"
#include "engine/random_generator.h"
#include "engine/run_messages.h"
#include "engine/simulated_volume.h"

using namespace qvx;
using namespace qvx::engine;
using qvx::engine::testing::FakeRunHost;
using Item = qvx::ProgressText;

namespace {
constexpr std::int64_t kBlock = 65536;
constexpr std::int64_t MiB = 1 << 20;
constexpr std::int64_t GiB = std::int64_t{1} << 30;
constexpr double kMinute = 1.0 / 1440;

std::string D(int n) { return FillFileName('d', n); }

struct Rig {
    explicit Rig(std::int64_t freeBytes) : volume(freeBytes) {}
    SimulatedVolume volume;
    FakeRunHost host;
    FillRun fill{volume, host};
    RunResult run(int level, const FormatSettings& fs = {}) {
        host.setFormats(fs);
        return fill.run('d', level, fs);
    }
    // The run's clock follows the bytes written: `perBlock` days per 64 KiB.
    void clockByBlocks(double perBlock, double start = 45293.5) {
        host.clock = [this, perBlock, start] {
            return start + static_cast<double>(volume.bytesWritten / kBlock) * perBlock;
        };
    }
};
} // namespace

TEST(FillRun, FillsFreeSpaceWithGiBFilesAndDeletesThemInOrder) {
    Rig rig(5 * GiB / 2);
    const RunResult r = rig.run(0);
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    ASSERT_EQ(rig.volume.created.size(), 3u);
    EXPECT_EQ(rig.volume.created[0].name, "d:\\$$$TEMP$$$QUARVEX$$$0000000001.tmp");
    EXPECT_EQ(rig.volume.created[0].bytes, GiB);
    EXPECT_EQ(rig.volume.created[1].bytes, GiB);
    EXPECT_EQ(rig.volume.created[2].bytes, GiB / 2);
    EXPECT_EQ(rig.volume.created[2].firstBlock, rig.volume.created[0].firstBlock);
    EXPECT_EQ(rig.volume.deletions, (std::vector<std::string>{D(1), D(2), D(3)}));
    EXPECT_EQ(rig.volume.fileNames().size(), 0u);
    EXPECT_EQ(rig.volume.volumeFreeBytes(), 5 * GiB / 2);
    EXPECT_EQ(rig.volume.blocksDifferingFromFirst, 0);
    EXPECT_EQ(rig.volume.protocolErrors, 0);
    EXPECT_EQ(rig.volume.lastDriveNumber, 4);  // D:

    EXPECT_EQ(rig.host.events, (std::vector<std::string>{"page", "refresh", "confirm", "running",
                                                         "idle", "beep", "info"}));
    EXPECT_EQ(rig.host.confirmation, ConfirmationText('D', 0));
    // The clock stood still: no rate to report, and no division by zero.
    EXPECT_EQ(rig.host.boxes.back().text, CompletionText('d', "0.0"));
    EXPECT_EQ(rig.host.barMax, 2560);
    EXPECT_EQ(rig.host.text(Item::PassMegabytes), "2,560.0 MB");
    EXPECT_EQ(rig.host.text(Item::TotalTime), rig.host.text(Item::ElapsedTime));
    EXPECT_EQ(rig.host.text(Item::RemainingTime), "00:00:00");
    EXPECT_FALSE(rig.host.runningControls);
    // Unchanged texts are not set again: 40,961 blocks, one elapsed text and one plannedMegabytesLabel.
    EXPECT_EQ(rig.host.texts(Item::ElapsedTime),
              (std::vector<std::string>{"", "", "00:00:00"}));
    EXPECT_EQ(rig.host.texts(Item::PlannedMegabytes).size(), 1u);
}

TEST(FillRun, AnExactGiBFileAndTheUsersSeparators) {
    FormatSettings comma;
    comma.decimalSeparator = ",";
    comma.thousandSeparator = ".";
    comma.timeSeparator = ".";
    Rig rig(GiB);  // one file of exactly 1 GiB fills the drive
    rig.run(0, comma);
    ASSERT_EQ(rig.volume.created.size(), 1u);
    EXPECT_EQ(rig.volume.created[0].bytes, GiB);
    EXPECT_EQ(rig.volume.writeCalls, 16384);  // the cap ends the file before a short write
    EXPECT_EQ(rig.host.text(Item::PlannedMegabytes), "1.024,0 MB");
    EXPECT_EQ(rig.host.text(Item::RemainingTime), "00.00.00");
}

TEST(FillRun, NoFreeSpaceStillCompletes) {
    for (bool createsFail : {false, true}) {
        Rig rig(0);
        rig.volume.failAllCreates = createsFail;
        const RunResult r = rig.run(1);
        EXPECT_EQ(r.outcome, RunOutcome::Completed);
        EXPECT_EQ(r.lastPass, 3);
        EXPECT_EQ(rig.volume.createCalls, 3);  // file 1 of every pass
        EXPECT_EQ(rig.volume.deletions.size(), createsFail ? 0u : 3u);
        EXPECT_EQ(rig.volume.fileNames().size(), 0u);
        EXPECT_EQ(rig.host.beeps, 1);
        EXPECT_EQ(rig.host.boxes.back().text, CompletionText('d', "0.0"));
        EXPECT_EQ(rig.host.barMax, 0);
    }
}

TEST(FillRun, AbortInPassThreeOfThirtyFive) {
    Rig rig(3 * kBlock);  // per pass: 3 full blocks, then 8 empty writes halving down to 512 bytes
    rig.volume.plantFile(D(7), 0, false, /*readOnly=*/true);
    rig.clockByBlocks(kMinute);
    rig.volume.onWrite = [&](std::int64_t call) {
        if (call == 2 * 11 + 2) rig.host.abort = true;  // second block of pass 3
    };
    const RunResult r = rig.run(4);
    EXPECT_EQ(r.outcome, RunOutcome::Aborted);
    EXPECT_EQ(r.lastPass, 3);
    EXPECT_EQ(rig.volume.createCalls, 3);
    EXPECT_EQ(rig.volume.created.back().bytes, 2 * kBlock);
    EXPECT_EQ(rig.volume.deletions, (std::vector<std::string>{D(1), D(1), D(1)}));
    EXPECT_EQ(rig.volume.fileNames().size(), 0u);
    EXPECT_EQ(rig.volume.protocolErrors, 0);
    for (Item item : {Item::Pass, Item::GroupCaption, Item::PassMegabytes})
        EXPECT_EQ(rig.host.text(item), " Processing Aborted !! ");
    const auto& passes = rig.host.texts(Item::Pass);
    EXPECT_NE(std::find(passes.begin(), passes.end(), "Pass 3 of 35 : "), passes.end());
    EXPECT_EQ(std::find(passes.begin(), passes.end(), "Pass 4 of 35 : "), passes.end());
    // The time labels keep the figures of the last block: 8 blocks of 1 minute out of 105.
    EXPECT_EQ(rig.host.text(Item::ElapsedTime), "00:08:00");
    EXPECT_EQ(rig.host.text(Item::TotalTime), "01:45:00");
    EXPECT_EQ(rig.host.text(Item::RemainingTime), "01:37:00");
    EXPECT_EQ(rig.host.beeps, 0);
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].text,
              "Processing aborted, as requested.\r\n\r\n" + LeftoversRemovedText(1));
    EXPECT_TRUE(rig.host.abort);
    EXPECT_FALSE(rig.host.runningControls);
}

TEST(FillRun, ClosingTheWindowAbortsQuietly) {
    Rig rig(5 * GiB / 2);
    rig.volume.onWrite = [&](std::int64_t call) {
        if (call == 20000) rig.host.closing = true;
    };
    const RunResult r = rig.run(2);
    EXPECT_EQ(r.outcome, RunOutcome::ClosedDuringRun);
    EXPECT_EQ(rig.volume.writeCalls, 20000);
    EXPECT_EQ(rig.volume.deletions, (std::vector<std::string>{D(1), D(2)}));
    EXPECT_EQ(rig.volume.fileNames().size(), 0u);
    EXPECT_TRUE(rig.host.boxes.empty());
    EXPECT_EQ(rig.host.beeps, 0);
    EXPECT_TRUE(rig.host.abort);
    EXPECT_FALSE(rig.host.runningControls);
}

TEST(FillRun, AFillFileThatCannotBeCreatedStopsTheRun) {
    Rig rig(5 * GiB / 2);
    rig.volume.verifyBlocks = false;
    // File 3 of pass 1 belongs to another process that holds it open.
    rig.volume.plantFile(D(3), 0, /*heldOpen=*/true);
    const RunResult r = rig.run(1);
    EXPECT_EQ(r.outcome, RunOutcome::CreateFailed);
    EXPECT_EQ(rig.volume.createCalls, 3);
    EXPECT_EQ(rig.volume.deletions, (std::vector<std::string>{D(1), D(2)}));
    EXPECT_EQ(rig.volume.fileNames(), std::vector<std::string>{D(3)});  // not ours: untouched
    EXPECT_EQ(rig.host.beeps, 0);
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].kind, "Error");
    EXPECT_EQ(rig.host.boxes[0].text,
              "The fill file \"d:\\$$$TEMP$$$QUARVEX$$$0000000003.tmp\" could not be created on "
              "the \"D:\" drive.\r\n\r\nThe run was stopped and its fill files were deleted: "
              "the free space on this drive has NOT been sanitized.\r\n\r\nMake sure that the "
              "drive is not write-protected and that you are allowed to create files in its "
              "root folder.");
    EXPECT_FALSE(rig.host.runningControls);
    EXPECT_FALSE(rig.host.abort);

    Rig first(MiB);  // the very first file
    first.volume.failCreateCalls = {1};
    EXPECT_EQ(first.run(0).outcome, RunOutcome::CreateFailed);
    EXPECT_EQ(first.volume.writeCalls, 0);
    EXPECT_EQ(first.host.events.back(), "error");
}

TEST(FillRun, AShortWriteGoesOnInSmallerWritesAndAnIoErrorStopsTheRun) {
    Rig rig(8 * kBlock);
    rig.volume.shortWriteCalls = {2};  // comes back short although the drive has room
    EXPECT_EQ(rig.run(0).outcome, RunOutcome::Completed);
    ASSERT_EQ(rig.volume.created.size(), 1u);
    EXPECT_EQ(rig.volume.created[0].bytes, 8 * kBlock);  // the rest went in, in halves
    EXPECT_EQ(rig.volume.deletions.size(), 1u);

    Rig broken(8 * kBlock);
    broken.volume.failWriteCalls = {3};  // a stick pulled out in mid-file
    const RunResult r = broken.run(1);
    EXPECT_EQ(r.outcome, RunOutcome::WriteFailed);
    EXPECT_EQ(r.lastPass, 1);
    EXPECT_EQ(broken.volume.writeCalls, 3);
    EXPECT_TRUE(broken.volume.fileNames().empty());
    EXPECT_EQ(broken.host.beeps, 0);
    ASSERT_EQ(broken.host.boxes.size(), 1u);
    EXPECT_EQ(broken.host.boxes[0].kind, "Error");
    EXPECT_EQ(broken.host.boxes[0].text, WriteFailedText('d', D(1)));
    EXPECT_NE(broken.host.boxes[0].text.find("has NOT been sanitized"), std::string::npos);
    EXPECT_NE(broken.host.boxes[0].text.find("\"D:\""), std::string::npos);
    EXPECT_FALSE(broken.host.runningControls);
}

TEST(FillRun, EveryPassWritesItsPattern) {
    Rig rig(kBlock);  // one block per pass
    SeedRandom(0);
    EXPECT_EQ(rig.run(5).outcome, RunOutcome::Completed);
    const auto& files = rig.volume.created;
    ASSERT_EQ(files.size(), 100u);
    auto block = [&](int pass) { return files[static_cast<std::size_t>(pass - 1)].firstBlock; };
    EXPECT_EQ(block(1)[0], 0x00);  // the generator's first draws from seed 0
    EXPECT_EQ(block(1)[1], 0x08);
    EXPECT_NE(block(2), block(1));  // every random pass draws a new block
    EXPECT_EQ(block(4), std::vector<std::uint8_t>(kBlock, 0x55));
    EXPECT_EQ(block(6)[0], 0x92);
    EXPECT_EQ(block(6)[65535], 0xAA);  // left by pass 5
    EXPECT_EQ(block(25)[65534], 0x24);
    EXPECT_EQ(block(25)[65535], 0xFF);  // left by pass 24
    EXPECT_NE(block(36), block(35));    // cycle position 1: random
    EXPECT_NE(block(37), block(36));
    EXPECT_EQ(block(40), block(4));     // position 5 again
    EXPECT_EQ(block(100)[65535], 0xFF);
}

TEST(FillRun, RandomPassesDrawTheSameBytesAsEverFromTheOneGenerator) {
    // Hashes of the pass blocks of a 100-pass run from seed 0, taken when the whole run still
    // ran on the window's thread: moving the drive's work to a thread of its own must not
    // change one byte nor the order of the draws.
    auto Fnv = [](const std::vector<std::uint8_t>& bytes) {
        std::uint64_t h = 1469598103934665603ull;
        for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
        return h;
    };
    Rig rig(kBlock);
    SeedRandom(0);
    rig.run(5);
    const auto& files = rig.volume.created;
    ASSERT_EQ(files.size(), 100u);
    EXPECT_EQ(Fnv(files[0].firstBlock), 0xacd213c4a7356df1ull);
    EXPECT_EQ(Fnv(files[1].firstBlock), 0x181285709c3ab91cull);
    EXPECT_EQ(Fnv(files[35].firstBlock), 0x4c4a20edd5e9eaa6ull);
    EXPECT_EQ(Fnv(files[36].firstBlock), 0x1f6579f04bc4cd41ull);
    EXPECT_EQ(Fnv(files[99].firstBlock), 0x87b3f9257ce16856ull);
    EXPECT_EQ(RandomState(), 0xd00b0000u);
}

TEST(FillRun, PassDisplayAndProgressBar) {
    Rig rig(3 * GiB);
    rig.volume.verifyBlocks = false;
    std::string atHalf;
    std::int64_t barAtHalf = -1;
    rig.host.onProcessMessages = [&] {
        if (rig.volume.bytesWritten == 3 * GiB + 3 * GiB / 2 && barAtHalf < 0) {
            barAtHalf = rig.host.barPosition;
            atHalf = rig.host.text(Item::PassMegabytes);
        }
    };
    rig.run(1);
    EXPECT_EQ(rig.host.barMaxima, (std::vector<std::int64_t>{3072, 3072, 3072}));
    EXPECT_EQ(barAtHalf, 1536);
    EXPECT_EQ(atHalf, "1,536.0 MB");
    EXPECT_EQ(rig.host.texts(Item::Pass),
              (std::vector<std::string>{" Pass : ", "Pass 1 of 3 : ", "Pass 2 of 3 : ", "Pass 3 of 3 : "}));
    EXPECT_EQ(rig.host.text(Item::GroupCaption), " Progress :    Pass 3 of 3 .... ");
    EXPECT_EQ(rig.host.text(Item::PlannedMegabytes), "9,216.0 MB");
    EXPECT_GE(rig.host.flushes, 4);

    Rig dod(GiB);  // 35 passes of 1 GiB, stopped early
    dod.volume.onWrite = [&](std::int64_t call) { dod.host.abort = call == 100; };
    dod.run(4);
    EXPECT_EQ(dod.host.texts(Item::PlannedMegabytes), std::vector<std::string>{"35,840.0 MB"});
}

TEST(FillRun, TimeEstimatesAndStartStamp) {
    Rig rig(6 * MiB);  // 96 blocks; the first 16 are a sixth of the run
    rig.clockByBlocks(10 * kMinute / 16);
    std::vector<std::string> atSixth;
    rig.host.onProcessMessages = [&] {
        if (rig.volume.bytesWritten == MiB && atSixth.empty())
            for (Item i : {Item::ElapsedTime, Item::TotalTime,
                           Item::RemainingTime})
                atSixth.push_back(rig.host.text(i));
    };
    rig.run(0);
    EXPECT_EQ(atSixth, (std::vector<std::string>{"00:10:00", "01:00:00", "00:50:00"}));
    EXPECT_EQ(rig.host.text(Item::StartTime), "Tue 1/2/2024, 12:00:00 PM");

    Rig day(2 * kBlock);  // a 26-hour run
    day.clockByBlocks(13.0 / 24);
    day.run(0);
    EXPECT_EQ(day.host.text(Item::ElapsedTime), "26:00:00");
    EXPECT_EQ(day.host.text(Item::TotalTime), "26:00:00");
    EXPECT_EQ(day.host.text(Item::RemainingTime), "00:00:00");

    // The last whole block leaves an estimate of time to go; the end of the run sets the total
    // to the elapsed time and the remaining time to zero.
    Rig ends(2 * kBlock + kBlock / 2);
    ends.clockByBlocks(kMinute);
    ends.run(0);
    EXPECT_EQ(ends.host.texts(Item::RemainingTime).back(), "00:00:00");
    EXPECT_EQ(ends.host.texts(Item::RemainingTime).end()[-2], "00:00:30");
    EXPECT_EQ(ends.host.text(Item::TotalTime), ends.host.text(Item::ElapsedTime));

    // A clock that stands still gives a total of zero, shown as such while the run goes.
    Rig still(4 * kBlock);
    std::string totalMidRun;
    still.host.onProcessMessages = [&] {
        if (still.volume.bytesWritten == 2 * kBlock) totalMidRun = still.host.text(Item::TotalTime);
    };
    still.run(0);
    EXPECT_EQ(totalMidRun, "00:00:00");
}

TEST(FillRun, AnAbortDuringAPassDeletionStartsNoFurtherPass) {
    Rig rig(3 * kBlock);
    rig.host.onProcessMessages = [&] {
        if (rig.volume.deletions.size() == 1) rig.host.abort = true;  // the first pass's file is gone
    };
    const RunResult r = rig.run(1);
    EXPECT_EQ(r.outcome, RunOutcome::Aborted);
    EXPECT_EQ(r.lastPass, 1);
    EXPECT_EQ(rig.volume.createCalls, 1);
}

TEST(FillRun, LeftoversAreSweptBeforeTheFreeSpaceIsTaken) {
    Rig rig(MiB);
    for (int n : {1, 2, 999}) rig.volume.plantFile(D(n), MiB, false, /*readOnly=*/n == 2);
    rig.volume.plantFile(D(5), MiB, /*heldOpen=*/true);
    for (const char* other : {"d:\\$$$TEMP$$$QUARVEX$$$12.tmp", "d:\\notes.txt",
                              "e:\\$$$TEMP$$$QUARVEX$$$0000000001.tmp"})
        rig.volume.plantFile(other, MiB);
    const RunResult r = rig.run(0);
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    EXPECT_EQ(r.leftoversRemoved, 3);
    EXPECT_EQ(rig.volume.leftoverDeletions, (std::vector<std::string>{D(1), D(2), D(999)}));
    EXPECT_EQ(r.startFreeBytes, 4 * MiB);
    EXPECT_EQ(rig.volume.fileNames().size(), 4u);  // held open, and not of our naming
    EXPECT_TRUE(rig.volume.has(D(5)));
    EXPECT_TRUE(rig.host.boxes.back().text.ends_with(
        " MB / sec\r\n\r\n3 fill files left behind by an earlier, interrupted run were found "
        "and removed."));
}

TEST(FillRun, DeclinedUnknownLevelAndReentry) {
    Rig no(MiB);
    no.host.answerYes = false;
    EXPECT_EQ(no.run(1).outcome, RunOutcome::Declined);
    EXPECT_EQ(no.host.events, (std::vector<std::string>{"page", "refresh", "confirm"}));
    EXPECT_EQ(no.volume.createCalls, 0);

    Rig bad(MiB);
    EXPECT_EQ(bad.run(101).outcome, RunOutcome::LevelError);
    EXPECT_EQ(bad.volume.createCalls, 0);
    EXPECT_EQ(bad.host.boxes.back().text, kInternalError100);
    EXPECT_FALSE(bad.host.runningControls);  // the window is usable again

    Rig nested(MiB);
    RunOutcome inner = RunOutcome::Completed;
    nested.host.onProcessMessages = [&] { inner = nested.fill.run('d', 0, {}).outcome; };
    nested.run(0);
    EXPECT_EQ(inner, RunOutcome::AlreadyRunning);
}

TEST(FillRun, ARefreshDuringTheRunIsRepaired) {
    Rig rig(64 * kBlock);
    bool reset = false;
    std::int64_t barAfterReset = -1;
    rig.host.onProcessMessages = [&] {
        if (rig.volume.bytesWritten == 33 * kBlock && reset && barAfterReset < 0) barAfterReset = rig.host.barPosition;
        if (rig.volume.bytesWritten == 32 * kBlock && !reset) {
            reset = true;
            rig.host.resetProgressArea();  // what Restore Factory Defaults does in mid-run
            rig.host.changeBehindTheRun(Item::PlannedMegabytes, "");
        }
    };
    rig.run(0);
    ASSERT_TRUE(reset);
    EXPECT_EQ(barAfterReset, 2);  // put back at once, before the position moved on
    EXPECT_EQ(rig.host.text(Item::Pass), "Pass 1 of 1 : ");
    EXPECT_EQ(rig.host.text(Item::StartTime), rig.host.texts(Item::StartTime)[2]);  // cleared, stamped, then back
    EXPECT_EQ(rig.host.text(Item::PlannedMegabytes), "4.0 MB");
    EXPECT_EQ(rig.host.text(Item::PassMegabytes), "4.0 MB");
    EXPECT_EQ(rig.host.text(Item::ElapsedTime), "00:00:00");
    EXPECT_EQ(rig.host.barPosition, 4);
}

TEST(FillRun, NtfsRecordsAQuotaAndADriveThatNeverFills) {
    Rig ntfs(64 * MiB);
    ntfs.volume.allOrNothingWrites = true;
    ntfs.volume.smallFileRecordBytes = 544;
    ntfs.volume.freeRecords = 20;
    ntfs.volume.quotaBytes = 32 * MiB;  // the user's share: what the run plans on
    const RunResult r = ntfs.run(1);
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    EXPECT_EQ(r.startFreeBytes, 32 * MiB);
    EXPECT_EQ(ntfs.host.text(Item::PlannedMegabytes), "96.0 MB");
    EXPECT_GE(r.smallFilesWritten, 3 * 19);  // every pass takes every free record
    // The quota does not hide the record table's growth: the small files stop soon after it.
    EXPECT_LE(ntfs.volume.recordsAdded, 3 * 2 * kSmallFilesPerCheck);
    EXPECT_EQ(r.writtenBytes, ntfs.volume.bytesWritten);
    EXPECT_TRUE(ntfs.volume.fileNames().empty());
    EXPECT_EQ(ntfs.volume.releasedUnflushed, 0);

    Rig compressed(10 * MiB);
    compressed.volume.writesTakeNoRoom = true;
    compressed.volume.verifyBlocks = false;
    const RunResult c = compressed.run(1);
    EXPECT_EQ(c.outcome, RunOutcome::NotFillable);
    EXPECT_EQ(c.lastPass, 1);
    EXPECT_TRUE(compressed.volume.fileNames().empty());
    EXPECT_EQ(compressed.host.beeps, 0);
    ASSERT_EQ(compressed.host.boxes.size(), 1u);
    EXPECT_EQ(compressed.host.boxes[0].kind, "Error");
    EXPECT_EQ(compressed.host.boxes[0].text,
              "The free space on the \"D:\" drive could not be filled: far more was written than the drive had "
              "free, and it never became full.\r\n\r\nThe run was stopped and its fill files were deleted: the "
              "free space on this drive has NOT been sanitized.");
    EXPECT_FALSE(compressed.host.runningControls);
}

TEST(FillRun, AFileTheUserMayNotCreateOffersARestartAsAdministrator) {
    for (const bool elevated : {false, true}) {
        for (const bool yes : {true, false}) {
            Rig rig(MiB);
            rig.volume.failCreateCalls = {1};
            rig.volume.createFailure = CreateResult::Denied;
            rig.host.isElevated = elevated;
            rig.host.answerRestart = yes;
            EXPECT_EQ(rig.run(2).outcome, RunOutcome::CreateFailed);
            const std::string failed = CreateFailedText('d', D(1));
            ASSERT_EQ(rig.host.boxes.size(), 1u);
            EXPECT_EQ(rig.host.boxes[0].kind, "Error");
            const bool restarted =
                std::find(rig.host.events.begin(), rig.host.events.end(), "restart") != rig.host.events.end();
            if (elevated) {
                // Rights are not what is missing: the error alone.
                EXPECT_EQ(rig.host.boxes[0].text, failed);
                EXPECT_FALSE(restarted);
            } else {
                EXPECT_EQ(rig.host.boxes[0].text,
                          failed + "\r\n\r\nWriting files to the root folder of the \"D:\" drive needs administrator "
                                   "rights.\r\n\r\nDo you want to restart Quarvex as administrator ?");
                EXPECT_EQ(restarted, yes);
            }
            EXPECT_FALSE(rig.host.runningControls);
        }
    }
}

TEST(FillRun, ADriveThatCannotBeReadIsAnErrorAtTheStartAndMidRun) {
    Rig empty(0);  // an empty card reader: every query and every creation fails
    empty.volume.failAllQueries = true;
    empty.volume.failAllCreates = true;
    const RunResult r = empty.run(0);
    EXPECT_EQ(r.outcome, RunOutcome::DriveUnreadable);
    EXPECT_EQ(r.writtenBytes, 0);
    EXPECT_EQ(empty.volume.createCalls, 0);
    EXPECT_EQ(empty.host.beeps, 0);
    ASSERT_EQ(empty.host.boxes.size(), 1u);
    EXPECT_EQ(empty.host.boxes[0].kind, "Error");
    EXPECT_EQ(r.message,
              "The \"D:\" drive is not ready or cannot be reached: Quarvex could not read how much free space it "
              "has.\r\n\r\nNothing was written: the free space on this drive has NOT been sanitized.\r\n\r\nMake sure "
              "that the drive has a disk in it, is unlocked and connected (a network drive: that its share can be "
              "reached), then try again.");
    EXPECT_EQ(empty.host.boxes[0].text, r.message);
    EXPECT_FALSE(empty.host.runningControls);

    // The stick is pulled in pass 2 of 3: the files of that pass are deleted, and the run says
    // that the free space was not sanitized.
    Rig pulled(3 * MiB);
    pulled.volume.failWriteCalls = {60};
    pulled.volume.onWrite = [&](std::int64_t call) {
        if (call == 60) pulled.volume.failAllQueries = true;
    };
    const RunResult p = pulled.run(1);
    EXPECT_EQ(p.outcome, RunOutcome::DriveUnreadable);
    EXPECT_EQ(p.lastPass, 2);
    EXPECT_EQ(p.message, DriveUnreadableText('d', true));
    EXPECT_NE(p.message.find("NOT been sanitized"), std::string::npos);
    EXPECT_TRUE(pulled.volume.fileNames().empty());
    EXPECT_EQ(pulled.host.beeps, 0);
}

TEST(FillRun, SpaceWindowsKeepsFromTheUserIsNamedInTheCompletion) {
    FormatSettings fs;
    fs.decimalSeparator = ",";
    fs.thousandSeparator = ".";
    Rig reserved(7 * GiB + 2 * MiB);
    reserved.volume.reservedBytes = 7 * GiB;
    const RunResult r = reserved.run(0, fs);
    EXPECT_EQ(r.outcome, RunOutcome::Completed);
    EXPECT_EQ(r.unreachableBytes, 7 * GiB);
    const std::string sentence =
        "\r\n\r\nHowever, 7,0 GB of free space that Windows reserves for itself or for quotas could not be overwritten.";
    EXPECT_EQ(r.message, CompletionText('d', "0,0") + sentence);
    ASSERT_EQ(reserved.host.boxes.size(), 1u);
    EXPECT_EQ(reserved.host.boxes[0].text, r.message);

    // A quota that leaves 300 MiB to others; up to 1 MiB is no news.
    Rig quota(400 * MiB);
    quota.volume.quotaBytes = 100 * MiB;
    EXPECT_NE(quota.run(0).message.find("However, 300.0 MB of free space"), std::string::npos);
    Rig slack(5 * MiB);
    slack.volume.reservedBytes = MiB;
    const RunResult s = slack.run(0);
    EXPECT_EQ(s.unreachableBytes, MiB);
    EXPECT_EQ(s.message.find("However"), std::string::npos);
}

namespace {
// A drive call that blocks until the stop has reached the volume `needed` times: the first
// requests came while the call was only about to begin, and missed it.
class LateCancelVolume final : public SimulatedVolume {
public:
    using SimulatedVolume::SimulatedVolume;
    int needed = 3;
    std::atomic<bool> inCall{false};
    std::atomic<int> interrupts{0};
    bool gaveUp = false;
    WriteResult write(const BlockBuffer& block, std::uint32_t size) override {
        if (writeCalls != 5) return SimulatedVolume::write(block, size);
        ++writeCalls;
        inCall = true;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (interrupts < needed && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        gaveUp = interrupts < needed;
        return {0, WriteStatus::Failed};
    }
    void interrupt() override { ++interrupts; }
};

// The window's side of a run as the program has it: the drive's work on a thread of its own,
// the stop check after every message (here every millisecond).
class ThreadedHost final : public FakeRunHost {
public:
    std::function<void()> onMessage;
    void runDriveWork(const DriveWork& drive) override {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            drive.work();
            done = true;
        });
        while (!done) {
            if (onMessage) onMessage();
            drive.checkStop();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        worker.join();
        drive.showProgress();
    }
    void driveProgressed() override {}
};
} // namespace

TEST(FillRun, TheStopReachesADriveCallThatBeganJustAfterTheFirstRequest) {
    LateCancelVolume volume(100 * MiB);
    ThreadedHost host;
    host.onMessage = [&] {
        if (volume.inCall) host.abort = true;
    };
    FillRun run(volume, host);
    const RunResult r = run.run('d', 0, {});
    EXPECT_EQ(r.outcome, RunOutcome::Aborted);
    EXPECT_FALSE(volume.gaveUp);
    EXPECT_GE(volume.interrupts, 3);
    EXPECT_TRUE(volume.fileNames().empty());
}
