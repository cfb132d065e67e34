#include "app/settings_values.h"

#include <charconv>
#include <limits>

namespace qvx {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The whole text must be a number of the base; a value outside int does not parse.
bool ParseWhole(std::string_view text, int base, long long& out) {
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = first + text.size();
    // The sign is taken here, for decimal only; what follows must be digits and nothing else.
    bool negative = false;
    if (base == 10 && (*first == '+' || *first == '-')) {
        negative = *first == '-';
        ++first;
    }
    if (first == last || *first == '+' || *first == '-') return false;
    unsigned long long magnitude = 0;
    const auto [end, ec] = std::from_chars(first, last, magnitude, base);
    if (ec != std::errc() || end != last) return false;
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(std::numeric_limits<int>::max()) + 1 : std::numeric_limits<int>::max();
    if (magnitude > limit) return false;
    out = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

} // namespace

int SettingsInteger(std::string_view text, int fallback) {
    long long value = 0;
    bool ok;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        ok = ParseWhole(text.substr(2), 16, value);
    else if (!text.empty() && text[0] == '$')
        ok = ParseWhole(text.substr(1), 16, value);
    else
        ok = ParseWhole(text, 10, value);
    return ok ? static_cast<int>(value) : fallback;
}

bool SettingsBoolean(std::string_view text, bool fallback) { return SettingsInteger(text, fallback ? 1 : 0) != 0; }

int SettingsLevel(int value) {
    if (value < 0) return 0;
    return value > kLevelMax ? kLevelMax : value;
}

char SettingsDrive(std::string_view text) {
    if (text.empty() || !IsAsciiLetter(text[0])) return 'c';
    const char c = text[0];
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

SavedSettings ParseSettings(const std::function<std::string(const char* key)>& lookup) {
    // In the reading order.
    SavedSettings s;
    s.top = SettingsInteger(lookup(kKeyTop), kDefaultTop);
    s.left = SettingsInteger(lookup(kKeyLeft), kDefaultLeft);
    s.width = SettingsInteger(lookup(kKeyWidth), kDefaultWidth);
    s.height = SettingsInteger(lookup(kKeyHeight), kDefaultHeight);
    s.alwaysOnTop = SettingsBoolean(lookup(kKeyAlwaysOnTop), false);
    s.autoRun = SettingsBoolean(lookup(kKeyAutoRun), false);
    s.maximized = SettingsBoolean(lookup(kKeyMaximized), false);
    s.drive = SettingsDrive(lookup(kKeyDrive));
    s.level = SettingsLevel(SettingsInteger(lookup(kKeyLevel), 0));
    return s;
}

std::vector<std::pair<std::string, std::string>> SettingsLines(const SavedSettings& s) {
    auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    // In the writing order.
    return {{kKeyMaximized, flag(s.maximized)},
            {kKeyTop, std::to_string(s.top)},
            {kKeyLeft, std::to_string(s.left)},
            {kKeyWidth, std::to_string(s.width)},
            {kKeyHeight, std::to_string(s.height)},
            {kKeyAlwaysOnTop, flag(s.alwaysOnTop)},
            {kKeyAutoRun, flag(s.autoRun)},
            {kKeyDrive, std::string(1, s.drive)},
            {kKeyLevel, std::to_string(s.level)}};
}

std::string SettingsFilePath(std::string_view executablePath) {
    const size_t slash = executablePath.find_last_of('\\');
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : executablePath.substr(0, slash + 1);
    return std::string(folder) + kSettingsFileName;
}

std::string SettingsWriteFailureText(std::string_view path) { return "Unable to write to " + std::string(path); }

std::string RestoreDefaultsQuestion() {
    return "This returns the window size and place, Always On Top, the drive and the sanitization level" "\r\n"
           "to the values the program came with, and deletes the settings file." "\r\n"
           "Auto-Run at Windows Startup is not changed." "\r\n"
           "\r\n"
           "Do you want to restore the factory defaults ?";
}

} // namespace qvx
