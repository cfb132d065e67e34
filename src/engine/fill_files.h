#pragma once
// Fill file names and drive letters.
#include <cstdint>
#include <string>
#include <string_view>

namespace qvx::engine {

inline constexpr std::string_view kFillFileMarker = "$$$TEMP$$$QUARVEX$$$";
inline constexpr std::string_view kFillFileExtension = ".tmp";
inline constexpr std::int64_t kFillFileCap = 1'073'741'824;  // 1 GiB, 16,384 full blocks

constexpr char LowerDriveLetter(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
constexpr char UpperDriveLetter(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// 1 for A: .. 26 for Z: (the letter's code in lower case minus 96).
constexpr std::uint8_t DriveNumber(char driveLetter) {
    return static_cast<std::uint8_t>(LowerDriveLetter(driveLetter) - 96);
}

// "d:\$$$TEMP$$$QUARVEX$$$0000000001.tmp": lower-case letter, the marker, the number padded
// to 10 digits.
std::string FillFileName(char driveLetter, int fileNumber);

// How many data bytes a fill file can hold inside an NTFS file record of `recordSize` bytes
// (1024 on nearly every volume, 4096 on some): what the record's header, its standard
// information, the file's long and 8.3 names, the data attribute's header and the end marker
// leave, less a small margin. A file that grows beyond it moves its data out of the record.
constexpr std::uint32_t SmallFileBytesInRecord(std::uint32_t recordSize) {
    constexpr auto align8 = [](std::uint32_t n) { return (n + 7) / 8 * 8; };
    constexpr std::uint32_t kNameLength =
        static_cast<std::uint32_t>(kFillFileMarker.size() + 10 + kFillFileExtension.size());
    constexpr std::uint32_t kOverhead = 56 + 96 + align8(24 + 66 + 2 * kNameLength) +
                                        align8(24 + 66 + 2 * 12) + 24 + 8 + 16;
    return recordSize > kOverhead ? recordSize - kOverhead : 0;
}

// The file-record size to plan the small files for: the size the volume reports (0: it did
// not say), else the usual 1 KiB, or one sector where sectors are larger, since a record never
// spans less than a sector (disks with 4 KiB sectors get 4 KiB records).
constexpr std::uint32_t PlannedFileRecordSize(std::uint32_t reported, std::uint32_t bytesPerSector) {
    if (reported >= 1024 && reported <= 65536) return reported;
    return bytesPerSector > 1024 && bytesPerSector <= 65536 ? bytesPerSector : 1024;
}

// Whether a directory entry's name (without a folder; letter case ignored) is one of ours:
// the marker, exactly 10 digits, ".tmp". For the leftover sweep.
bool IsFillFileName(std::string_view entryName);

} // namespace qvx::engine
