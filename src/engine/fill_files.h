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

// Whether a directory entry's name (without a folder; letter case ignored) is one of ours:
// the marker, exactly 10 digits, ".tmp". For the leftover sweep.
bool IsFillFileName(std::string_view entryName);

} // namespace qvx::engine
