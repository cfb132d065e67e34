#include "app/main_form_layout.h"

#include "engine/levels.h"

#include <vector>

namespace qvx {

using ui::Cursor;
using ui::FontDesign;
using ui::Kind;
using ui::TextAlign;

namespace {

constexpr const char* kTimes = "Times New Roman";
constexpr FontDesign kBold16{.face = kTimes, .height = 16, .bold = true};
constexpr FontDesign kRegular16{.face = kTimes, .height = 16};
constexpr FontDesign kRegular15{.face = kTimes, .height = 15};

std::vector<std::string> LevelCaptions() {
    std::vector<std::string> captions;
    for (int i = 0; i < engine::kLevelCount; ++i) captions.emplace_back(engine::LevelCaption(i));
    return captions;
}

const char* LevelDescriptionText(int level) {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> t;
        for (int i = 0; i < engine::kLevelCount; ++i) t.push_back(engine::LevelDescription(i));
        return t;
    }();
    return texts[level].c_str();
}

std::vector<ui::ControlDesign> BuildLayout() {
    std::vector<ui::ControlDesign> rows = {
        // Page control with the two pages.
        {.kind = Kind::PageControl, .name = "pages", .left = 8, .top = 4, .width = 581, .height = 329, .tabWidth = 150},
        {.kind = Kind::TabSheet, .name = "sanitizePage", .parent = "pages", .caption = "Sanitize"},

        // Drive details panel.
        {.kind = Kind::GroupBox, .name = "driveGroup", .parent = "sanitizePage", .left = 5, .top = 5, .width = 564, .height = 145,
         .caption = " Selected Drive : ", .font = kBold16},
        {.kind = Kind::DriveComboBox, .name = "driveList", .parent = "driveGroup", .left = 16, .top = 20, .width = 161, .height = 25,
         .font = kRegular16},
        {.kind = Kind::Label, .name = "diskSpaceLabel", .parent = "driveGroup", .left = 204, .top = 24, .width = 221, .height = 19,
         .font = kRegular16},
        {.kind = Kind::Label, .name = "volumeNameCaption", .parent = "driveGroup", .left = 12, .top = 60, .width = 200, .height = 19,
         .caption = "Volume Name :", .font = kRegular16, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "volumeNameLabel", .parent = "driveGroup", .left = 220, .top = 60, .width = 210, .height = 19,
         .font = kRegular16},
        {.kind = Kind::Label, .name = "volumeSerialCaption", .parent = "driveGroup", .left = 12, .top = 88, .width = 200, .height = 19,
         .caption = "Drive Volume Serial Number :", .font = kRegular16, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "volumeSerialLabel", .parent = "driveGroup", .left = 220, .top = 88, .width = 210,
         .height = 19, .font = kRegular16},
        {.kind = Kind::Label, .name = "fileSystemCaption", .parent = "driveGroup", .left = 12, .top = 117, .width = 200, .height = 19,
         .caption = "File System Type :", .font = kRegular16, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "fileSystemLabel", .parent = "driveGroup", .left = 220, .top = 117, .width = 210,
         .height = 19, .font = kRegular16},
        {.kind = Kind::Label, .name = "writtenMegabytesLabel", .parent = "driveGroup", .left = 416, .top = 18, .width = 140, .height = 19,
         .font = kRegular16, .visible = false},
        {.kind = Kind::Label, .name = "plannedMegabytesLabel", .parent = "driveGroup", .left = 416, .top = 42, .width = 140, .height = 19,
         .font = kRegular16, .visible = false},

        // Progress area.
        {.kind = Kind::GroupBox, .name = "progressGroup", .parent = "sanitizePage", .left = 5, .top = 153, .width = 564, .height = 142,
         .caption = " Progress : ", .font = kBold16},
        {.kind = Kind::Label, .name = "passLabel", .parent = "progressGroup", .left = 8, .top = 22, .width = 145, .height = 20,
         .caption = "Pass :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::ProgressBar, .name = "progressBar", .parent = "progressGroup", .left = 162, .top = 19, .width = 225,
         .height = 20, .font = kRegular15},
        {.kind = Kind::Label, .name = "passMegabytesLabel", .parent = "progressGroup", .left = 394, .top = 22, .width = 159, .height = 20,
         .font = kRegular15},
        {.kind = Kind::Label, .name = "startTimeCaption", .parent = "progressGroup", .left = 10, .top = 46, .width = 220, .height = 19,
         .caption = "Start Date / Time :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "startTimeLabel", .parent = "progressGroup", .left = 245, .top = 46, .width = 250,
         .height = 19, .font = kRegular15},
        {.kind = Kind::Label, .name = "elapsedTimeCaption", .parent = "progressGroup", .left = 10, .top = 70, .width = 220, .height = 19,
         .caption = "Elapsed Time :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "elapsedTimeLabel", .parent = "progressGroup", .left = 245, .top = 70, .width = 250,
         .height = 19, .font = kRegular15},
        {.kind = Kind::Label, .name = "elapsedTimeUnit", .parent = "progressGroup", .left = 348, .top = 70, .width = 90, .height = 19,
         .caption = "(HH:MM:SS)", .font = kRegular15},
        {.kind = Kind::Label, .name = "remainingTimeCaption", .parent = "progressGroup", .left = 10, .top = 94, .width = 220, .height = 19,
         .caption = "Estimated Remaining Time :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "remainingTimeLabel", .parent = "progressGroup", .left = 245, .top = 94, .width = 250,
         .height = 19, .font = kRegular15},
        {.kind = Kind::Label, .name = "remainingTimeUnit", .parent = "progressGroup", .left = 348, .top = 94, .width = 90, .height = 19,
         .caption = "(HH:MM:SS)", .font = kRegular15},
        {.kind = Kind::Label, .name = "totalTimeCaption", .parent = "progressGroup", .left = 10, .top = 118, .width = 220, .height = 19,
         .caption = "Estimated Time to Completion :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "totalTimeLabel", .parent = "progressGroup", .left = 245, .top = 118, .width = 250,
         .height = 19, .font = kRegular15},
        {.kind = Kind::Label, .name = "totalTimeUnit", .parent = "progressGroup", .left = 348, .top = 118, .width = 90, .height = 19,
         .caption = "(HH:MM:SS)", .font = kRegular15},

        // Settings page.
        {.kind = Kind::TabSheet, .name = "settingsPage", .parent = "pages", .caption = "Settings"},
        {.kind = Kind::RadioGroup, .name = "levelGroup", .parent = "settingsPage", .left = 4, .top = 2, .width = 565,
         .height = 95, .caption = " Sanitization Level : ", .font = kRegular16, .items = LevelCaptions(), .columns = 2, .itemIndex = 0},
        {.kind = Kind::GroupBox, .name = "levelDescriptionGroup", .parent = "settingsPage", .left = 4, .top = 102, .width = 565, .height = 195,
         .caption = " Sanitization Level Details / Description : ", .font = kBold16},
    };
    // The six descriptions lie staggered at design; the start-up sequence makes each fill the
    // group box, one visible at a time.
    static const char* const memoNames[] = {"levelDescription1", "levelDescription2", "levelDescription3", "levelDescription4", "levelDescription5", "levelDescription6"};
    for (int i = 0; i < engine::kLevelCount; ++i) {
        rows.push_back({.kind = Kind::Memo, .name = memoNames[i], .parent = "levelDescriptionGroup", .left = 10 + 12 * i, .top = 24 + 12 * i,
                        .width = 480, .height = 100, .caption = LevelDescriptionText(i), .font = kRegular15, .visible = i == 0, .color = ui::clBtnFace,
                        .tabStop = false, .readOnly = true, .vScroll = true});
    }
    const std::vector<ui::ControlDesign> tail = {
        {.kind = Kind::Button, .name = "levelDescriptionButton", .parent = "settingsPage", .left = 192, .top = 42,
         .width = 239, .height = 25, .caption = "Sanitization_Level_Desccription", .visible = false},

        // The buttons along the bottom. None is the default button: Enter presses only the focused
        // one, so a stray Enter never starts a run. Abort has no accelerator (the captions are the
        // program's own texts): when a run disables the focused Sanitize button the focus goes on
        // to Abort, so Enter or Space aborts at once. Disabled buttons still show their hints.
        {.kind = Kind::BitBtn, .name = "refreshButton", .left = 21, .top = 336, .width = 130, .height = 33, .caption = "Refresh",
         .hint = "Refresh the details for the selected drive.", .showHint = true, .font = kBold16},
        {.kind = Kind::BitBtn, .name = "sanitizeButton", .left = 161, .top = 336, .width = 130, .height = 33, .caption = "Sanitize",
         .hint = "Sanitize the free space on the selected drive.", .showHint = true, .font = kBold16},
        {.kind = Kind::BitBtn, .name = "abortButton", .left = 301, .top = 336, .width = 130, .height = 33, .caption = "Abort",
         .hint = "Abort the sanitization process.", .showHint = true, .font = kBold16, .enabled = false},
        {.kind = Kind::BitBtn, .name = "exitButton", .left = 441, .top = 336, .width = 130, .height = 33, .caption = "Exit",
         .hint = "Exit this program.", .showHint = true, .font = kBold16},


        // Menus.
        {.kind = Kind::MainMenu, .name = "mainMenu"},
        {.kind = Kind::MenuItem, .name = "fileMenu", .parent = "mainMenu", .caption = "&File"},
        {.kind = Kind::MenuItem, .name = "alwaysOnTopItem", .parent = "fileMenu", .caption = "Always &On Top"},
        {.kind = Kind::MenuItem, .name = "autoRunItem", .parent = "fileMenu",
         .caption = "&Auto-Run at Windows Startup"},
        {.kind = Kind::MenuItem, .name = "restoreDefaultsItem", .parent = "fileMenu", .caption = "&Restore Factory Defaults"},
        {.kind = Kind::MenuItem, .name = "fileMenuSeparator", .parent = "fileMenu", .caption = "-"},
        {.kind = Kind::MenuItem, .name = "exitItem", .parent = "fileMenu", .caption = "E&xit"},
        {.kind = Kind::MenuItem, .name = "helpMenu", .parent = "mainMenu", .caption = "&Help"},
        {.kind = Kind::MenuItem, .name = "readmeItem", .parent = "helpMenu", .caption = "&View Readme file"},
        {.kind = Kind::MenuItem, .name = "catalogItem", .parent = "helpMenu", .caption = "View &Shareware Catalog"},
        {.kind = Kind::MenuItem, .name = "helpMenuSeparator", .parent = "helpMenu", .caption = "-"},
        {.kind = Kind::MenuItem, .name = "aboutItem", .parent = "helpMenu", .caption = "&About"},
        {.kind = Kind::MenuItem, .name = "spareMenu", .parent = "mainMenu", .caption = "Spare"},
    };
    rows.insert(rows.end(), tail.begin(), tail.end());
    return rows;
}

} // namespace

const ui::FormDesign& MainFormDesign() {
    static const ui::FormDesign design{.name = "mainForm",
                                   .caption = kProductTitle,
                                   .left = kMainFormLeft,
                                   .top = kMainFormTop,
                                   .width = kMainFormWidth,
                                   .height = kMainFormHeight,
                                   .font = {.face = kTimes, .height = 15},
                                   .color = ui::clBtnFace};
    return design;
}

ui::Layout MainFormLayout() {
    static const std::vector<ui::ControlDesign> layout = BuildLayout();
    return layout;
}

} // namespace qvx
