#include "drive/drive_texts.h"

namespace qvx {

std::int64_t BytesToKiBHalfEven(std::int64_t bytes) {
    if (bytes <= 0) return 0;
    const std::int64_t q = bytes / 1024;
    const std::int64_t r = bytes % 1024;
    if (r > 512 || (r == 512 && (q & 1))) return q + 1;
    return q;
}

std::string KiBText(std::int64_t kib, const FormatSettings& fs) {
    const double k = static_cast<double>(kib);
    if (kib > 1073741824) return FormatFixed(k / 1073741824.0, 2, fs) + " TB";
    if (kib > 1048576) return FormatFixed(k / 1048576.0, 2, fs) + " GB";
    if (kib > 1024) return FormatFixed(k / 1024.0, 1, fs) + " MB";
    // A single KiB reads like the other small counts; "1 Bytes" would be wrong by a factor of 1024.
    if (kib > 0) return FormatFixed(k, 1, fs) + " KB";
    return "0";
}

std::string DiskSpaceText(std::int64_t freeBytes, std::int64_t totalBytes, const FormatSettings& fs) {
    const std::int64_t totalKiB = BytesToKiBHalfEven(totalBytes);
    if (totalKiB <= 0) return "0";
    return KiBText(BytesToKiBHalfEven(freeBytes), fs) + " / " + KiBText(totalKiB, fs);
}

std::string VolumeSerialText(std::uint32_t serial) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i) {
        text[i] = digits[serial & 0xF];
        serial >>= 4;
    }
    return text;
}

std::uint8_t DriveNumberOfLetter(char letter) {
    if (letter >= 'a' && letter <= 'z') return static_cast<std::uint8_t>(letter - 'a' + 1);
    if (letter >= 'A' && letter <= 'Z') return static_cast<std::uint8_t>(letter - 'A' + 1);
    return 0;
}

} // namespace qvx
