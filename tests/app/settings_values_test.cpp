#include "app/file_status.h"
#include "app/settings_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

namespace qvx {
namespace {

TEST(SettingsValues, IntegersInDecimalAndBothHexFormsAnythingElseGivesTheDefault) {
    const std::pair<const char*, int> cases[] = {
        {"602", 602}, {"-35", -35}, {"+7", 7}, {"0x300", 768}, {"0X1f", 31}, {"$300", 768}, {"-2147483648", INT_MIN},
        // A "0x" of two characters is no hex prefix, and no decimal either.
        {"0x", -1}, {"$", -1}, {"", -1}, {"12abc", -1}, {" 12", -1}, {"1.5", -1}, {"0x12g", -1}, {"-", -1}, {"+-3", -1},
        {"$-3", -1}, {"0x-3", -1}, {"2147483648", -1}, {"0x80000000", -1}, {"99999999999999999999", -1},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(SettingsInteger(text, -1), expected) << '"' << text << '"';
}

TEST(SettingsValues, BooleansLevelsAndDrives) {
    EXPECT_TRUE(SettingsBoolean("2", false));  // any non-zero value
    EXPECT_FALSE(SettingsBoolean("0", true));
    EXPECT_TRUE(SettingsBoolean("yes", true));  // unparsable: the default
    EXPECT_EQ(SettingsLevel(9), 5);
    EXPECT_EQ(SettingsLevel(-1), 0);
    EXPECT_EQ(SettingsDrive("D"), 'd');
    EXPECT_EQ(SettingsDrive("zebra"), 'z');
    for (const char* noLetter : {"", "1", ":", "\xC3\xA4"}) EXPECT_EQ(SettingsDrive(noLetter), 'c') << noLetter;
}

TEST(SettingsValues, ReadingOrderDefaultsAndRoundTrip) {
    std::vector<std::string> asked;
    std::map<std::string, std::string> file;
    auto lookup = [&](const char* key) {
        asked.emplace_back(key);
        return file[key];
    };
    const SavedSettings defaults = ParseSettings(lookup);
    EXPECT_EQ(defaults, (SavedSettings{.maximized = false, .top = 100, .left = 100, .width = 602, .height = 427,
                                       .alwaysOnTop = false, .autoRun = false, .drive = 'c', .level = 0}));
    EXPECT_EQ(asked, (std::vector<std::string>{"window_top_posn", "window_left_posn", "window_Width", "window_Height",
                                                "Always_on_Top_Option", "Auto_Run_at_Windows_Startup_Option",
                                                "WindowState_wsMaximized", "DriveComboBox1", "Sanitization_Level_RadioGroup"}));

    const SavedSettings s{.maximized = true, .top = -8, .left = 1300, .width = 700, .height = 500,
                          .alwaysOnTop = true, .autoRun = false, .drive = 'u', .level = 4};
    const auto lines = SettingsLines(s);
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, std::string>>{
                         {"WindowState_wsMaximized", "1"}, {"window_top_posn", "-8"}, {"window_left_posn", "1300"},
                         {"window_Width", "700"}, {"window_Height", "500"}, {"Always_on_Top_Option", "1"},
                         {"Auto_Run_at_Windows_Startup_Option", "0"}, {"DriveComboBox1", "u"},
                         {"Sanitization_Level_RadioGroup", "4"}}));
    file = {lines.begin(), lines.end()};
    EXPECT_EQ(ParseSettings(lookup), s);
}

TEST(SettingsValues, PathAndTexts) {
    EXPECT_EQ(SettingsFilePath("C:\\Tools\\quarvex.exe"), "C:\\Tools\\quarvex.ini");
    // The reset's question: three lines, an empty line, then the question.
    const std::string q = RestoreDefaultsQuestion();
    std::vector<std::string> pieces;
    size_t from = 0;
    for (size_t at; (at = q.find("\r\n", from)) != std::string::npos; from = at + 2) pieces.push_back(q.substr(from, at - from));
    pieces.push_back(q.substr(from));
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_TRUE(!pieces[0].empty() && !pieces[1].empty() && !pieces[2].empty() && pieces[3].empty() && !pieces[4].empty());

    for (unsigned code : {2u, 3u, 21u, 26u, 27u}) EXPECT_STREQ(OpenStatusForError(code), "NOT FOUND") << code;
    for (unsigned code : {32u, 33u}) EXPECT_STREQ(OpenStatusForError(code), "OPEN") << code;
    for (unsigned code : {5u, 4u, 20u, 28u, 31u, 34u}) EXPECT_STREQ(OpenStatusForError(code), "ERROR") << code;
}

} // namespace
} // namespace qvx
