// One pass against drives that behave as Windows and NTFS do: writes that fail whole at the
// end, cached data that a deletion throws away, small files kept in file records, writes that
// take no room, quotas and refusals.
#include "engine/fill_pass.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/fill_files.h"
#include "engine/simulated_volume.h"

using namespace qvx::engine;

namespace {
constexpr std::int64_t kBlock = 65536;
constexpr std::int64_t MiB = 1 << 20;
constexpr std::int64_t GiB = std::int64_t{1} << 30;

struct Listener : PassListener {
    std::int64_t bytes = 0;
    std::int64_t writes = 0;
    std::int64_t stopAfterWrites = -1;
    void written(std::uint32_t n) override {
        bytes += n;
        ++writes;
    }
    void betweenFiles() override {}
    bool stopRequested() override { return stopAfterWrites >= 0 && writes >= stopAfterWrites; }
};

struct Pass {
    explicit Pass(std::int64_t freeBytes) : volume(freeBytes) { volume.logCalls = true; }
    SimulatedVolume volume;
    Listener listener;
    BlockBuffer block;
    PassResult run() { return FillPass(volume, listener, 'd', block).run(); }

    // Every file the pass let go of had its data flushed after its last write.
    void expectFlushedBeforeRelease() const {
        std::map<std::string, bool> dirty;
        for (const std::string& call : volume.calls) {
            const auto space = call.find(' ');
            const std::string op = call.substr(0, space);
            std::string name = call.substr(space + 1);
            if (op == "write") {
                dirty[name.substr(0, name.rfind(' '))] = true;
            } else if (op == "finish") {
                dirty[name] = false;
            } else if (op == "delete") {
                EXPECT_FALSE(dirty[name]) << name << " released with unflushed data";
            }
        }
        EXPECT_EQ(volume.releasedUnflushed, 0);
    }
    // The bytes written into each created file, in creation order.
    std::vector<std::int64_t> fileSizes() const {
        std::vector<std::int64_t> sizes;
        for (const auto& c : volume.created) sizes.push_back(c.bytes);
        return sizes;
    }
};
} // namespace

TEST(FillPass, FillsTheDriveToItsLastBytesWhetherAFullWriteFailsWholeOrInPart) {
    for (bool windows : {true, false}) {
        SCOPED_TRACE(windows ? "all-or-nothing writes" : "partial writes");
        const std::int64_t free = 2 * GiB + 100'003;  // not a whole number of blocks
        Pass pass(free);
        pass.volume.allOrNothingWrites = windows;
        pass.volume.verifyBlocks = false;
        const PassResult r = pass.run();

        EXPECT_EQ(r.end, PassEnd::Done);
        EXPECT_EQ(r.bytes, pass.listener.bytes);
        // The pass's end comes from what it wrote, never from a listing: all three files.
        EXPECT_EQ(pass.fileSizes(), (std::vector<std::int64_t>{GiB, GiB, r.bytes - 2 * GiB}));
        EXPECT_LE(free - r.bytes, 511);
        EXPECT_GE(free - r.bytes, 0);
        if (!windows) EXPECT_EQ(r.bytes, free);
        EXPECT_EQ(pass.volume.deletions, (std::vector<std::string>{FillFileName('d', 1), FillFileName('d', 2),
                                                                    FillFileName('d', 3)}));
        EXPECT_EQ(pass.volume.volumeFreeBytes(), free);
        EXPECT_EQ(pass.volume.protocolErrors, 0);
        pass.expectFlushedBeforeRelease();
    }
}

TEST(FillPass, SmallFilesTakeEveryFreeFileRecordWithLittleGrowth) {
    for (const std::uint32_t recordSize : {1024u, 4096u})
    for (bool ntfs3g : {false, true}) {
        SCOPED_TRACE(ntfs3g ? "no file can be created on a full volume" : "Windows NTFS");
        SCOPED_TRACE(recordSize);
        const std::uint32_t inRecord = SmallFileBytesInRecord(recordSize);
        const std::int64_t free = 300 * MiB + 4321;
        Pass pass(free);
        pass.volume.allOrNothingWrites = true;
        pass.volume.fileRecordSize = recordSize;
        pass.volume.smallFileRecordBytes = inRecord;
        pass.volume.freeRecords = 66;  // where deleted small files still lie
        pass.volume.createNeedsRoom = ntfs3g;
        const PassResult r = pass.run();

        EXPECT_EQ(r.end, PassEnd::Done);
        EXPECT_EQ(pass.volume.fewestFreeRecords, 0);
        // Once the table had to grow for them, the small files stopped within two groups.
        EXPECT_GT(pass.volume.recordsAdded, 0);
        EXPECT_LE(pass.volume.recordsAdded, 2 * kSmallFilesPerCheck);
        // The first large file took one free record; the last small file gave its record back
        // to the file for the rest.
        EXPECT_EQ(r.smallFiles, 65 + pass.volume.recordsAdded);

        // Large files up to the reserve, the small ones, then the rest to the last bytes.
        const std::vector<std::int64_t> sizes = pass.fileSizes();
        ASSERT_GE(sizes.size(), 1u + static_cast<std::size_t>(r.smallFiles));
        EXPECT_EQ(sizes.front(), free - kSmallFileReserve);
        for (int i = 1; i <= r.smallFiles; ++i) EXPECT_EQ(sizes[static_cast<std::size_t>(i)], inRecord) << i;
        // What stays unwritten: under 512 bytes, or on ntfs-3g less than the cluster a new
        // file would need.
        const std::int64_t growth = pass.volume.recordsAdded * pass.volume.fileRecordSize;
        EXPECT_LE(free - growth - r.bytes + std::int64_t{inRecord} * r.smallFiles, ntfs3g ? 4095 : 511);
        EXPECT_EQ(r.bytes, pass.listener.bytes);

        EXPECT_TRUE(pass.volume.fileNames().empty());
        EXPECT_EQ(pass.volume.volumeFreeBytes(), free - growth);
        pass.expectFlushedBeforeRelease();
    }
}

TEST(FillPass, OnAFileSystemThatOnlySaysNtfsTheSmallFilesStopAfterOneGroup) {
    const std::int64_t free = 50 * MiB;
    Pass pass(free);
    pass.volume.allOrNothingWrites = true;
    pass.volume.smallFileRecordBytes = 544;
    pass.volume.smallFilesTakeRoom = true;  // Wine on a Linux file system
    pass.volume.freeRecords = 1'000'000;
    pass.volume.refuseDeleteCalls = {2};    // and a deletion refused once
    const PassResult r = pass.run();
    EXPECT_EQ(r.end, PassEnd::Done);
    EXPECT_EQ(r.smallFiles, kSmallFilesPerCheck);
    // The last small file gave its room back to the file for the rest, which took all but
    // the last bytes; the other small files each held a cluster.
    const std::int64_t largeBytes = r.bytes - kSmallFilesPerCheck * 544;
    EXPECT_LE(free - (kSmallFilesPerCheck - 1) * 4096 - largeBytes, 511);
    EXPECT_TRUE(pass.volume.fileNames().empty());  // the refused deletion was tried again
    EXPECT_EQ(pass.volume.volumeFreeBytes(), free);
    pass.expectFlushedBeforeRelease();
}

TEST(FillPass, WritesThatTakeNoRoomEndThePassInsteadOfLoopingForever) {
    for (std::uint32_t records : {0u, 544u}) {
        Pass pass(10 * MiB);
        pass.volume.writesTakeNoRoom = true;  // a compressed folder the pass could not undo
        pass.volume.smallFileRecordBytes = records;
        pass.volume.verifyBlocks = false;
        const PassResult r = pass.run();
        EXPECT_EQ(r.end, PassEnd::NotFillable);
        // It gives up once it has written 1 GiB more than the drive had free.
        EXPECT_GT(r.bytes, 10 * MiB + GiB);
        EXPECT_LE(r.bytes, 10 * MiB + GiB + kBlock);
        EXPECT_TRUE(pass.volume.fileNames().empty());
    }
}

TEST(FillPass, AQuotaIsAFullDriveAndRefusedCreationsSayWhy) {
    Pass quota(100 * MiB);
    quota.volume.allOrNothingWrites = true;
    quota.volume.quotaBytes = 5 * MiB + 1000;
    const PassResult r = quota.run();
    EXPECT_EQ(r.end, PassEnd::Done);
    EXPECT_LE(5 * MiB + 1000 - r.bytes, 511);
    EXPECT_TRUE(quota.volume.fileNames().empty());

    Pass denied(MiB);
    denied.volume.failCreateCalls = {1};
    denied.volume.createFailure = CreateResult::Denied;
    const PassResult d = denied.run();
    EXPECT_EQ(d.end, PassEnd::CreateFailed);
    EXPECT_TRUE(d.accessDenied);
    EXPECT_EQ(d.failedFile, FillFileName('d', 1));

    // No room for one more file is a full drive, not a failure.
    Pass full(GiB + MiB);
    full.volume.failCreateCalls = {2};
    full.volume.createFailure = CreateResult::Full;
    full.volume.verifyBlocks = false;
    const PassResult f = full.run();
    EXPECT_EQ(f.end, PassEnd::Done);
    EXPECT_EQ(full.volume.createCalls, 2);
    EXPECT_TRUE(full.volume.fileNames().empty());
}

TEST(FillPass, StopIsSeenBetweenSmallFilesAndEveryFileIsStillDeleted) {
    Pass pass(20 * MiB);
    pass.volume.smallFileRecordBytes = 544;
    pass.volume.freeRecords = 10;
    pass.listener.stopAfterWrites = 19 * 16 + 3;  // 19 MiB of large file, then 3 small files
    const PassResult r = pass.run();
    EXPECT_EQ(r.end, PassEnd::Stopped);
    EXPECT_EQ(r.smallFiles, 3);
    EXPECT_EQ(pass.volume.createCalls, 4);  // nothing fills the rest
    EXPECT_TRUE(pass.volume.fileNames().empty());
    pass.expectFlushedBeforeRelease();
}

TEST(FillPass, ANameWhoseCreationFailedIsNeverDeleted) {
    // Someone else's file that happens to have the second fill file's name; the pass's try to
    // replace it fails for want of room, which ends the pass as a full drive does.
    Pass pass(GiB + MiB);
    pass.volume.verifyBlocks = false;
    pass.volume.plantFile(FillFileName('d', 2), 4096);
    pass.volume.failCreateCalls = {2};
    pass.volume.createFailure = CreateResult::Full;
    const PassResult r = pass.run();
    EXPECT_EQ(r.end, PassEnd::Done);
    EXPECT_EQ(pass.volume.deletions, std::vector<std::string>{FillFileName('d', 1)});
    EXPECT_TRUE(pass.volume.has(FillFileName('d', 2)));
}

TEST(FillPass, RecordSizeIsTheVolumesOrOneSectorAtLeastAKiB) {
    EXPECT_EQ(PlannedFileRecordSize(4096, 512), 4096u);  // what NTFS reports wins
    EXPECT_EQ(PlannedFileRecordSize(1024, 4096), 1024u);
    EXPECT_EQ(PlannedFileRecordSize(0, 512), 1024u);  // not reported
    EXPECT_EQ(PlannedFileRecordSize(0, 4096), 4096u);
    EXPECT_EQ(PlannedFileRecordSize(0, 0), 1024u);
    EXPECT_EQ(PlannedFileRecordSize(100, 1 << 20), 1024u);  // nonsense either way
    // 1 KiB records hold 544 bytes with our 34-character names, 4 KiB records 3 KiB more.
    EXPECT_EQ(SmallFileBytesInRecord(1024), 544u);
    EXPECT_EQ(SmallFileBytesInRecord(4096), 544u + 3072u);
}

TEST(FillPass, NamesStillPendingDeletionAreSkippedAndEverythingWrittenIsDeleted) {
    Pass pass(2 * GiB + GiB / 2);
    pass.volume.verifyBlocks = false;
    pass.volume.busyNames = {FillFileName('d', 1), FillFileName('d', 3)};
    const PassResult r = pass.run();
    EXPECT_EQ(r.end, PassEnd::Done);
    EXPECT_EQ(r.bytes, 2 * GiB + GiB / 2);
    const std::vector<std::string> written = {FillFileName('d', 2), FillFileName('d', 4), FillFileName('d', 5)};
    EXPECT_EQ(pass.volume.deletions, written);
    EXPECT_TRUE(pass.volume.fileNames().empty());

    // Small files skip them too.
    Pass ntfs(20 * MiB);
    ntfs.volume.smallFileRecordBytes = 544;
    ntfs.volume.freeRecords = 10;
    ntfs.volume.busyNames = {FillFileName('d', 3)};
    EXPECT_EQ(ntfs.run().end, PassEnd::Done);
    EXPECT_GE(ntfs.volume.fewestFreeRecords, 0);
    EXPECT_TRUE(ntfs.volume.fileNames().empty());

    // A drive where no name is ever free gives up, without offering administrator rights.
    Pass stuck(MiB);
    stuck.volume.failAllCreates = true;
    stuck.volume.createFailure = CreateResult::Busy;
    const PassResult s = stuck.run();
    EXPECT_EQ(s.end, PassEnd::CreateFailed);
    EXPECT_FALSE(s.accessDenied);
    EXPECT_EQ(stuck.volume.createCalls, kMostBusyNamesInARow);
}

TEST(FillPass, AFreeSpaceQueryThatFailsAtAnyPointEndsThePassAsUnreadable) {
    // Every query a pass makes on an NTFS volume, each in turn the one that fails.
    Pass probe(GiB + 20 * MiB);
    probe.volume.smallFileRecordBytes = 544;
    probe.volume.freeRecords = 40;
    probe.volume.verifyBlocks = false;
    ASSERT_EQ(probe.run().end, PassEnd::Done);
    const std::int64_t queries = probe.volume.queryCalls;
    ASSERT_GE(queries, 5);
    for (std::int64_t k = 1; k <= queries; ++k) {
        Pass pass(GiB + 20 * MiB);
        pass.volume.smallFileRecordBytes = 544;
        pass.volume.freeRecords = 40;
        pass.volume.verifyBlocks = false;
        pass.volume.failQueryCalls = {k};
        const PassResult r = pass.run();
        EXPECT_EQ(r.end, PassEnd::DriveUnreadable) << "query " << k;
        EXPECT_TRUE(pass.volume.fileNames().empty()) << "query " << k;
        EXPECT_EQ(pass.volume.releasedUnflushed, 0);
    }
    // A drive with no medium: no file is made at all.
    Pass empty(0);
    empty.volume.failAllQueries = true;
    empty.volume.failAllCreates = true;
    EXPECT_EQ(empty.run().end, PassEnd::DriveUnreadable);
    EXPECT_EQ(empty.volume.createCalls, 0);
}

TEST(FillPass, SpaceKeptFromTheUserIsMeasuredAndSpaceFreedDuringThePassIsFilled) {
    Pass reserved(7 * GiB + 100 * MiB + 4321);
    reserved.volume.allOrNothingWrites = true;
    reserved.volume.reservedBytes = 7 * GiB;
    const PassResult r = reserved.run();
    EXPECT_EQ(r.end, PassEnd::Done);
    EXPECT_LE(100 * MiB + 4321 - r.bytes, 511);
    EXPECT_GE(r.unreachableBytes, 7 * GiB);
    EXPECT_LE(r.unreachableBytes, 7 * GiB + 511);

    // Windows frees 3 GiB while the pass writes: it goes on past its guard until the drive is full.
    Pass freed(100 * MiB);
    freed.volume.verifyBlocks = false;
    freed.volume.onWrite = [&](std::int64_t call) {
        if (call == 10) freed.volume.setFreeBytes(freed.volume.volumeFreeBytes() + 3 * GiB);
    };
    const PassResult f = freed.run();
    EXPECT_EQ(f.end, PassEnd::Done);
    EXPECT_EQ(f.bytes, 3 * GiB + 100 * MiB);
    EXPECT_EQ(f.unreachableBytes, 0);
    EXPECT_TRUE(freed.volume.fileNames().empty());
}
