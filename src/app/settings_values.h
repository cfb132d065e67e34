#pragma once
// The settings file's keys, their orders and value rules. The file itself is read and written
// by the main window through the system's private-profile calls; everything here is text.
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qvx {

inline constexpr char kSettingsFileName[] = "quarvex.ini";
inline constexpr char kSettingsSection[] = "quarvex";

inline constexpr char kKeyMaximized[] = "WindowState_wsMaximized";
inline constexpr char kKeyTop[] = "window_top_posn";
inline constexpr char kKeyLeft[] = "window_left_posn";
inline constexpr char kKeyWidth[] = "window_Width";
inline constexpr char kKeyHeight[] = "window_Height";
inline constexpr char kKeyAlwaysOnTop[] = "Always_on_Top_Option";
inline constexpr char kKeyAutoRun[] = "Auto_Run_at_Windows_Startup_Option";
inline constexpr char kKeyDrive[] = "DriveComboBox1";
inline constexpr char kKeyLevel[] = "Sanitization_Level_RadioGroup";

// Defaults of a missing file, section or key.
inline constexpr int kDefaultTop = 100;
inline constexpr int kDefaultLeft = 100;
inline constexpr int kDefaultWidth = 602;
inline constexpr int kDefaultHeight = 427;
inline constexpr int kLevelMax = 5;

// Everything the file holds, as the window applies it.
struct SavedSettings {
    bool maximized = false;
    int top = kDefaultTop;
    int left = kDefaultLeft;
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    bool alwaysOnTop = false;
    bool autoRun = false;
    char drive = 'c';  // lower-case letter
    int level = 0;     // 0..kLevelMax
    bool operator==(const SavedSettings&) const = default;
};

// Decimal (with an optional sign), "0x"/"0X" hexadecimal when the text is longer than two
// characters, or "$" hexadecimal; anything else, or a value outside int, gives `fallback`.
int SettingsInteger(std::string_view text, int fallback);
// An integer; any non-zero value is true.
bool SettingsBoolean(std::string_view text, bool fallback);
// The level selector's range. Negative values select the first level: a level selector with no
// selection would leave the window without a description.
int SettingsLevel(int value);
// The drive value's first character as a lower-case letter. An empty value, or one that does not
// start with a letter, selects drive C.
char SettingsDrive(std::string_view text);

// Reads every key through `lookup` (which gives "" for a missing key), in the reading order: the
// four geometry keys, the two options, the maximized flag, the drive, the level.
SavedSettings ParseSettings(const std::function<std::string(const char* key)>& lookup);
// The key/value lines in the writing order: the maximized flag first, then the others in the
// reading order.
std::vector<std::pair<std::string, std::string>> SettingsLines(const SavedSettings& settings);

// The settings file beside the executable: its folder (up to the last backslash) + file name.
std::string SettingsFilePath(std::string_view executablePath);

// The text of the write failure (the standard error box adds the full stop).
std::string SettingsWriteFailureText(std::string_view path);

// The confirmation asked before the settings are returned to their defaults.
std::string RestoreDefaultsQuestion();

} // namespace qvx
