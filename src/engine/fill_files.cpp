#include "engine/fill_files.h"

namespace qvx::engine {

namespace {
constexpr int kNumberDigits = 10;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}
} // namespace

std::string FillFileName(char driveLetter, int fileNumber) {
    std::string name;
    name.reserve(2 + 1 + kFillFileMarker.size() + kNumberDigits + kFillFileExtension.size());
    name.push_back(LowerDriveLetter(driveLetter));
    name += ":\\";
    name += kFillFileMarker;
    char digits[kNumberDigits];
    std::uint32_t v = fileNumber < 0 ? 0u : static_cast<std::uint32_t>(fileNumber);
    for (int i = kNumberDigits - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + v % 10);
        v /= 10;
    }
    name.append(digits, kNumberDigits);
    name += kFillFileExtension;
    return name;
}

bool IsFillFileName(std::string_view entryName) {
    const std::size_t expected =
        kFillFileMarker.size() + kNumberDigits + kFillFileExtension.size();
    if (entryName.size() != expected) return false;
    if (!EqualsIgnoringCase(entryName.substr(0, kFillFileMarker.size()), kFillFileMarker))
        return false;
    for (std::size_t i = 0; i < kNumberDigits; ++i) {
        const char c = entryName[kFillFileMarker.size() + i];
        if (c < '0' || c > '9') return false;
    }
    return EqualsIgnoringCase(entryName.substr(kFillFileMarker.size() + kNumberDigits),
                              kFillFileExtension);
}

} // namespace qvx::engine
