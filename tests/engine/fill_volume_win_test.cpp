// The Win32 fill volume on a real, small drive (S:, a tmpfs): fill files held open with
// delete-on-close, their sizes and free space as the run sees them, deletion, the leftover
// sweep, and the fallback when the system refuses more handles.
#include "engine/fill_volume_win.h"

#include "e2e/scratch_drive.h"
#include "engine/fill_files.h"
#include "platform/win32/unique_handle.h"
#include "support/win_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace qvx {
namespace {

using engine::BlockBuffer;
using engine::kBlockSize;
constexpr std::int64_t kBlock = static_cast<std::int64_t>(kBlockSize);

class FillVolumeTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        letter = test::TmpfsDrive(&why);
        if (!letter) GTEST_SKIP() << "SKIPPED: no size-limited test drive: " << why;
        test::EmptyScratchDrive(letter);
        driveNumber = engine::DriveNumber(letter);
        for (std::size_t i = 0; i < kBlockSize; ++i) block.bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    void TearDown() override {
        for (HANDLE h : held) CloseHandle(h);
        if (letter) test::EmptyScratchDrive(letter);
    }

    std::string Name(int n) const { return engine::FillFileName(letter, n); }
    std::vector<std::string> FillFileNames() const {
        std::vector<std::string> names;
        for (const auto& e : test::FillFilesOn(letter)) names.push_back(e.name);
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Bare(const std::string& full) { return full.substr(3); }
    std::int64_t WriteBlocks(engine::Win32FillVolume& v, int blocks) {
        std::int64_t total = 0;
        for (int i = 0; i < blocks; ++i) total += v.write(block, static_cast<std::uint32_t>(kBlockSize)).bytes;
        return total;
    }
    // The size as an open handle reports it (a listing of a held file may lag on NTFS).
    static std::int64_t SizeOf(const std::string& path) {
        UniqueFile h(CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER size{};
        if (!h || !GetFileSizeEx(h.get(), &size)) return -1;
        return size.QuadPart;
    }
    // Opens a file the way another program would, sharing everything it can.
    HANDLE HoldOpen(const std::string& path, DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE) {
        HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) held.push_back(h);
        return h;
    }

    char letter = 0;
    std::uint8_t driveNumber = 0;
    BlockBuffer block;
    std::vector<HANDLE> held;
};

TEST_F(FillVolumeTest, FillFilesAreThereWithTheirSizesUntilTheirPassDeletesThemInOrder) {
    const std::int64_t freeAtStart = test::FreeBytesOn(letter);
    engine::Win32FillVolume volume;
    EXPECT_EQ(volume.freeSpace(driveNumber)->onVolume, freeAtStart);

    ASSERT_EQ(engine::CreateResult::Created, volume.createFillFile(Name(1)));
    EXPECT_EQ(WriteBlocks(volume, 3), 3 * kBlock);
    // Still being written: found by name and size already.
    EXPECT_EQ(SizeOf(Name(1)), 3 * kBlock);
    EXPECT_EQ(WriteBlocks(volume, 7), 7 * kBlock);
    EXPECT_TRUE(volume.finishFillFile());
    ASSERT_EQ(engine::CreateResult::Created, volume.createFillFile(Name(2)));
    EXPECT_EQ(WriteBlocks(volume, 5), 5 * kBlock);
    EXPECT_TRUE(volume.finishFillFile());

    EXPECT_EQ(volume.heldFileCount(), 2u);
    EXPECT_EQ(FillFileNames(), (std::vector<std::string>{Bare(Name(1)), Bare(Name(2))}));
    EXPECT_EQ(SizeOf(Name(1)), 10 * kBlock);
    EXPECT_EQ(SizeOf(Name(2)), 5 * kBlock);
    EXPECT_EQ(SizeOf(Name(3)), -1);
    EXPECT_EQ(volume.freeSpace(driveNumber)->onVolume, freeAtStart - 15 * kBlock);

    // What was written is on the drive: a reader that shares everything can read it.
    HANDLE reader = HoldOpen(Name(2), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::vector<std::uint8_t> bytes(kBlockSize);
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(reader, bytes.data(), static_cast<DWORD>(kBlockSize), &got, nullptr));
    EXPECT_EQ(got, kBlockSize);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), block.bytes.begin()));
    CloseHandle(reader);
    held.clear();

    // Deleting releases the handle, which removes the file; the space comes back.
    EXPECT_TRUE(volume.deleteFillFile(Name(1)));
    EXPECT_EQ(FillFileNames(), (std::vector<std::string>{Bare(Name(2))}));
    EXPECT_TRUE(volume.deleteFillFile(Name(2)));
    EXPECT_TRUE(FillFileNames().empty());
    EXPECT_EQ(volume.heldFileCount(), 0u);
    EXPECT_EQ(volume.freeSpace(driveNumber)->onVolume, freeAtStart);
}

TEST_F(FillVolumeTest, AFullDriveSaysFullAndSmallerWritesTakeTheLastBytes) {
    const std::int64_t freeAtStart = test::FreeBytesOn(letter);
    engine::Win32FillVolume volume;
    ASSERT_EQ(volume.createFillFile(Name(1)), engine::CreateResult::Created);
    std::int64_t total = 0;
    engine::WriteResult last;
    for (std::int64_t i = 0; i <= freeAtStart / kBlock + 1; ++i) {
        last = volume.write(block, static_cast<std::uint32_t>(kBlockSize));
        total += last.bytes;
        if (last.status != engine::WriteStatus::Written) break;
    }
    EXPECT_EQ(last.status, engine::WriteStatus::Full);
    // Once full, every size down to the smallest is refused as full, never as an error.
    for (std::uint32_t size = 32768; size >= 512; size /= 2) {
        const engine::WriteResult w = volume.write(block, size);
        total += w.bytes;
        EXPECT_EQ(w.status, engine::WriteStatus::Full) << size;
    }
    EXPECT_TRUE(volume.finishFillFile());
    // The counts the run adds up are what the drive holds.
    EXPECT_EQ(SizeOf(Name(1)), total);
    EXPECT_LE(volume.freeSpace(driveNumber)->onVolume, 511);
    EXPECT_GT(total, freeAtStart - 512);
    EXPECT_TRUE(volume.deleteFillFile(Name(1)));
    EXPECT_EQ(volume.freeSpace(driveNumber)->onVolume, freeAtStart);
    // The scratch drive says it is NTFS: small files are sized for a 1 KiB file record.
    EXPECT_EQ(volume.smallFileBytes(driveNumber), engine::SmallFileBytesInRecord(1024));
}

TEST_F(FillVolumeTest, NobodyElseCanDeleteOrRenameAFillFileDuringItsPass) {
    engine::Win32FillVolume volume;
    ASSERT_EQ(engine::CreateResult::Created, volume.createFillFile(Name(1)));
    ASSERT_EQ(WriteBlocks(volume, 2), 2 * kBlock);
    EXPECT_TRUE(volume.finishFillFile());
    const std::wstring wide = Widen(Name(1));

    EXPECT_FALSE(DeleteFileW(wide.c_str()));
    EXPECT_FALSE(MoveFileW(wide.c_str(), Widen(test::DriveRoot(letter) + "moved.tmp").c_str()));
    // Another process: the command interpreter's del.
    std::wstring cmd = L"C:\\windows\\system32\\cmd.exe /c del /f /q \"" + wide + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(SizeOf(Name(1)), 2 * kBlock);

    // A name another program holds open cannot be taken over: it is busy, and the pass takes
    // the next. A folder of that name cannot be replaced: a failed creation.
    ASSERT_TRUE(test::PlantFile(Name(2), 100));
    ASSERT_NE(HoldOpen(Name(2)), INVALID_HANDLE_VALUE);
    EXPECT_EQ(volume.createFillFile(Name(2)), engine::CreateResult::Busy);
    EXPECT_EQ(volume.write(block, 100).status, engine::WriteStatus::Failed);
    ASSERT_TRUE(CreateDirectoryW(Widen(Name(3)).c_str(), nullptr));
    // "Access denied" from a folder in the way is not a lack of rights.
    EXPECT_EQ(volume.createFillFile(Name(3)), engine::CreateResult::Failed);
    EXPECT_FALSE(volume.handleLimitReached());
    EXPECT_EQ(test::RootEntries(letter, "*").size(), 3u);  // 1, 2 and the folder
}

TEST_F(FillVolumeTest, LeftoversAreSweptUnlessSomeoneHoldsThem) {
    ASSERT_TRUE(test::PlantFile(Name(1), 3 * kBlock));
    ASSERT_TRUE(test::PlantFile(Name(2), 10));
    ASSERT_TRUE(test::PlantFile(Name(999), kBlock, /*readOnly=*/true));
    ASSERT_TRUE(test::PlantFile(Name(500), 10, /*readOnly=*/true));
    ASSERT_NE(HoldOpen(Name(500)), INVALID_HANDLE_VALUE);  // someone is using this one
    // Not ours: the number must have ten digits, and a folder is never swept.
    const std::string root = test::DriveRoot(letter);
    ASSERT_TRUE(test::PlantFile(root + "$$$TEMP$$$QUARVEX$$$12.tmp", 10));
    ASSERT_TRUE(test::PlantFile(root + "keep.tmp", 10));
    ASSERT_TRUE(CreateDirectoryW(Widen(Name(7)).c_str(), nullptr));

    engine::Win32FillVolume volume;
    // Either case of the letter: the names come back as the run builds them.
    const std::vector<std::string> found = volume.listLeftoverFillFiles(engine::UpperDriveLetter(letter));
    EXPECT_EQ(volume.listLeftoverFillFiles(engine::LowerDriveLetter(letter)), found);
    EXPECT_EQ(found, (std::vector<std::string>{Name(1), Name(2), Name(500), Name(999)}));
    for (const std::string& name : found) EXPECT_EQ(volume.deleteLeftoverFillFile(name), name != Name(500)) << name;

    EXPECT_EQ(FillFileNames(), (std::vector<std::string>{Bare(Name(500))}));
    // The held file is not touched, not even its read-only mark.
    EXPECT_NE(GetFileAttributesW(Widen(Name(500)).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(GetFileAttributesW(Widen(root + "keep.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(Widen(root + "$$$TEMP$$$QUARVEX$$$12.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(volume.deleteLeftoverFillFile(Name(7)));
    EXPECT_NE(GetFileAttributesW(Widen(Name(7)).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(volume.deleteLeftoverFillFile(Name(3)));  // not there
}

TEST_F(FillVolumeTest, WhenTheSystemRefusesMoreHandlesThePassGoesOnWithPlainFiles) {
    const std::int64_t freeAtStart = test::FreeBytesOn(letter);
    {
        engine::Win32FillVolume volume;
        volume.setHeldFileLimitForTests(3);
        for (int n = 1; n <= 6; ++n) {
            ASSERT_EQ(engine::CreateResult::Created, volume.createFillFile(Name(n))) << n;
            EXPECT_EQ(WriteBlocks(volume, 1), kBlock);
            EXPECT_TRUE(volume.finishFillFile());
            EXPECT_EQ(SizeOf(Name(n)), kBlock);
            EXPECT_EQ(volume.freeSpace(driveNumber)->onVolume, freeAtStart - n * kBlock);
        }
        EXPECT_EQ(volume.heldFileCount(), 3u);
        EXPECT_TRUE(volume.handleLimitReached());
        EXPECT_EQ(FillFileNames().size(), 6u);
        // Only the held ones are protected from other programs.
        EXPECT_FALSE(DeleteFileW(Widen(Name(3)).c_str()));

        for (int n = 1; n <= 6; ++n) {
            EXPECT_TRUE(volume.deleteFillFile(Name(n))) << n;
            EXPECT_EQ(FillFileNames().size(), static_cast<std::size_t>(6 - n));
        }
        EXPECT_EQ(volume.freeSpace(driveNumber)->onVolume, freeAtStart);
        // The next pass holds its files again.
        EXPECT_FALSE(volume.handleLimitReached());
        ASSERT_EQ(engine::CreateResult::Created, volume.createFillFile(Name(1)));
        EXPECT_EQ(volume.heldFileCount(), 1u);
        EXPECT_TRUE(volume.finishFillFile());
        // A volume dropped in the middle of a pass (an exception, say) leaves nothing behind,
        // plain files included.
        volume.setHeldFileLimitForTests(1);
        ASSERT_EQ(engine::CreateResult::Created, volume.createFillFile(Name(2)));
        EXPECT_EQ(WriteBlocks(volume, 1), kBlock);
        EXPECT_TRUE(volume.finishFillFile());
        EXPECT_TRUE(volume.handleLimitReached());
        EXPECT_EQ(FillFileNames().size(), 2u);
    }
    EXPECT_TRUE(FillFileNames().empty());
    EXPECT_EQ(test::FreeBytesOn(letter), freeAtStart);
}

TEST_F(FillVolumeTest, SixHundredFillFilesInOnePass) {
    // Run under a low descriptor limit (ulimit -n 256 before Wine starts), this is the real
    // fallback; otherwise every file is held.
    constexpr int kFiles = 600;
    const std::int64_t freeAtStart = test::FreeBytesOn(letter);
    engine::Win32FillVolume volume;
    for (int n = 1; n <= kFiles; ++n) {
        ASSERT_EQ(engine::CreateResult::Created, volume.createFillFile(Name(n))) << n;
        ASSERT_EQ(WriteBlocks(volume, 1), kBlock) << n;
        EXPECT_TRUE(volume.finishFillFile());
        ASSERT_EQ(SizeOf(Name(n)), kBlock) << n;
        ASSERT_EQ(volume.freeSpace(driveNumber)->onVolume, freeAtStart - n * kBlock) << n;
    }
    std::printf("%zu of %d fill files held open%s\n", volume.heldFileCount(), kFiles,
                volume.handleLimitReached() ? " (the system refused more handles)" : "");
    EXPECT_EQ(FillFileNames().size(), static_cast<std::size_t>(kFiles));
    for (int n = 1; n <= kFiles; ++n) ASSERT_TRUE(volume.deleteFillFile(Name(n))) << n;
    EXPECT_TRUE(FillFileNames().empty());
    EXPECT_EQ(volume.freeSpace(driveNumber)->onVolume, freeAtStart);
}

} // namespace
} // namespace qvx

namespace qvx {
namespace {

TEST_F(FillVolumeTest, AFileIsFlushedInPartsWhileItIsWritten) {
    // So that a stop waits for one part at most: 16 MiB first, then what the drive writes in
    // about a second (a tmpfs: far more, but at most twice the part before).
    engine::Win32FillVolume volume;
    ASSERT_EQ(volume.createFillFile(Name(1)), engine::CreateResult::Created);
    ASSERT_EQ(WriteBlocks(volume, 16 * 16), 16 * 1048576);
    EXPECT_EQ(volume.flushCount(), 0u);
    ASSERT_EQ(WriteBlocks(volume, 40 * 16), 40 * 1048576);
    EXPECT_EQ(volume.flushCount(), 2u);  // at 16 MiB and at 48 MiB
    EXPECT_TRUE(volume.finishFillFile());
    EXPECT_EQ(volume.flushCount(), 3u);
    EXPECT_EQ(SizeOf(Name(1)), 56 * 1048576);
    EXPECT_TRUE(volume.deleteFillFile(Name(1)));
}

TEST_F(FillVolumeTest, ANameStillPendingDeletionIsBusyAndNeverALackOfRights) {
    // What each refusal means, as Windows reports it: a name whose file waits for its deletion
    // (an antivirus filter still holds last pass's file) refuses both the creation and the
    // attribute query with "access denied".
    using engine::CreateFailureOf;
    using Result = engine::CreateResult;
    EXPECT_EQ(CreateFailureOf(ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED), Result::Busy);
    EXPECT_EQ(CreateFailureOf(ERROR_ACCESS_DENIED, ERROR_FILE_NOT_FOUND), Result::Denied);  // C:\ for a standard user
    EXPECT_EQ(CreateFailureOf(ERROR_ACCESS_DENIED, ERROR_SUCCESS), Result::Failed);  // a folder, a read-only file
    EXPECT_EQ(CreateFailureOf(ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND), Result::Failed);
    EXPECT_EQ(CreateFailureOf(ERROR_SHARING_VIOLATION, ERROR_SUCCESS), Result::Busy);
    EXPECT_EQ(CreateFailureOf(ERROR_DELETE_PENDING, ERROR_SUCCESS), Result::Busy);
    EXPECT_EQ(CreateFailureOf(ERROR_DISK_FULL, ERROR_SUCCESS), Result::Full);
    EXPECT_EQ(CreateFailureOf(ERROR_NOT_READY, ERROR_SUCCESS), Result::Failed);  // no medium

    // On the drive: a reader that shares deletion holds the file when its pass deletes it.
    engine::Win32FillVolume volume;
    ASSERT_EQ(volume.createFillFile(Name(1)), Result::Created);
    ASSERT_EQ(WriteBlocks(volume, 1), kBlock);
    ASSERT_TRUE(volume.finishFillFile());
    ASSERT_NE(HoldOpen(Name(1), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE), INVALID_HANDLE_VALUE);
    volume.deleteFillFile(Name(1));
    // Windows keeps the name until the reader lets go (busy); Wine lets it be created again.
    const Result again = volume.createFillFile(Name(1));
    std::printf("creating a name its reader still holds after the deletion: %s\n",
                again == Result::Busy ? "busy" : again == Result::Created ? "created" : "other");
    EXPECT_TRUE(again == Result::Busy || again == Result::Created);
}

} // namespace
} // namespace qvx
