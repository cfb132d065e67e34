#include "app/main_form_layout.h"

#include "engine/levels.h"

#include <vector>

namespace qvx {

using ui::Cursor;
using ui::FontSpec;
using ui::Kind;
using ui::TextAlign;

namespace {

constexpr const char* kTimes = "Times New Roman";
constexpr FontSpec kBold16{.face = kTimes, .height = 16, .bold = true};
constexpr FontSpec kRegular16{.face = kTimes, .height = 16};
constexpr FontSpec kRegular15{.face = kTimes, .height = 15};

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

std::vector<ui::ControlSpec> BuildLayout() {
    std::vector<ui::ControlSpec> rows = {
        // Page control with the two pages.
        {.kind = Kind::PageControl, .name = "Overall_PageControl", .left = 8, .top = 4, .width = 581, .height = 329, .tabWidth = 150},
        {.kind = Kind::TabSheet, .name = "TabSheet6", .parent = "Overall_PageControl", .caption = "Sanitize"},

        // Drive details panel.
        {.kind = Kind::GroupBox, .name = "GroupBox1", .parent = "TabSheet6", .left = 5, .top = 5, .width = 564, .height = 145,
         .caption = " Selected Drive : ", .font = kBold16},
        {.kind = Kind::DriveComboBox, .name = "DriveComboBox1", .parent = "GroupBox1", .left = 16, .top = 20, .width = 161, .height = 25,
         .font = kRegular16},
        {.kind = Kind::Label, .name = "Disk_Space_Label", .parent = "GroupBox1", .left = 204, .top = 24, .width = 221, .height = 19,
         .font = kRegular16},
        {.kind = Kind::Label, .name = "Label1", .parent = "GroupBox1", .left = 12, .top = 60, .width = 200, .height = 19,
         .caption = "Volume Name :", .font = kRegular16, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "Volume_Name_Label", .parent = "GroupBox1", .left = 220, .top = 60, .width = 210, .height = 19,
         .font = kRegular16},
        {.kind = Kind::Label, .name = "Label2", .parent = "GroupBox1", .left = 12, .top = 88, .width = 200, .height = 19,
         .caption = "Drive Volume Serial Number :", .font = kRegular16, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "Volume_Serial_Number_Label", .parent = "GroupBox1", .left = 220, .top = 88, .width = 210,
         .height = 19, .font = kRegular16},
        {.kind = Kind::Label, .name = "Label3", .parent = "GroupBox1", .left = 12, .top = 117, .width = 200, .height = 19,
         .caption = "File System Type :", .font = kRegular16, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "File_System_Name_Label", .parent = "GroupBox1", .left = 220, .top = 117, .width = 210,
         .height = 19, .font = kRegular16},
        {.kind = Kind::Label, .name = "Label11", .parent = "GroupBox1", .left = 416, .top = 18, .width = 140, .height = 19,
         .font = kRegular16, .visible = false},
        {.kind = Kind::Label, .name = "Label12", .parent = "GroupBox1", .left = 416, .top = 42, .width = 140, .height = 19,
         .font = kRegular16, .visible = false},

        // Progress area.
        {.kind = Kind::GroupBox, .name = "Progress_GroupBox", .parent = "TabSheet6", .left = 5, .top = 153, .width = 564, .height = 142,
         .caption = " Progress : ", .font = kBold16},
        {.kind = Kind::Label, .name = "Pass_Label", .parent = "Progress_GroupBox", .left = 8, .top = 22, .width = 145, .height = 20,
         .caption = "Pass :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::ProgressBar, .name = "ProgressBar1", .parent = "Progress_GroupBox", .left = 162, .top = 19, .width = 225,
         .height = 20, .font = kRegular15},
        {.kind = Kind::Label, .name = "Progress_Label", .parent = "Progress_GroupBox", .left = 394, .top = 22, .width = 159, .height = 20,
         .font = kRegular15},
        {.kind = Kind::Label, .name = "Label4", .parent = "Progress_GroupBox", .left = 10, .top = 46, .width = 220, .height = 19,
         .caption = "Start Date / Time :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "Start_Date_Time_Label", .parent = "Progress_GroupBox", .left = 245, .top = 46, .width = 250,
         .height = 19, .font = kRegular15},
        {.kind = Kind::Label, .name = "Label7", .parent = "Progress_GroupBox", .left = 10, .top = 70, .width = 220, .height = 19,
         .caption = "Elapsed Time :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "Elapsed_Time_Label", .parent = "Progress_GroupBox", .left = 245, .top = 70, .width = 250,
         .height = 19, .font = kRegular15},
        {.kind = Kind::Label, .name = "Label6", .parent = "Progress_GroupBox", .left = 348, .top = 70, .width = 90, .height = 19,
         .caption = "(HH:MM:SS)", .font = kRegular15},
        {.kind = Kind::Label, .name = "Label8", .parent = "Progress_GroupBox", .left = 10, .top = 94, .width = 220, .height = 19,
         .caption = "Estimated Remaining Time :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "Remaining_Date_Time_Label", .parent = "Progress_GroupBox", .left = 245, .top = 94, .width = 250,
         .height = 19, .font = kRegular15},
        {.kind = Kind::Label, .name = "Label9", .parent = "Progress_GroupBox", .left = 348, .top = 94, .width = 90, .height = 19,
         .caption = "(HH:MM:SS)", .font = kRegular15},
        {.kind = Kind::Label, .name = "Label5", .parent = "Progress_GroupBox", .left = 10, .top = 118, .width = 220, .height = 19,
         .caption = "Estimated Time to Completion :", .font = kRegular15, .alignment = TextAlign::Right},
        {.kind = Kind::Label, .name = "Time_To_Completion_Label", .parent = "Progress_GroupBox", .left = 245, .top = 118, .width = 250,
         .height = 19, .font = kRegular15},
        {.kind = Kind::Label, .name = "Label10", .parent = "Progress_GroupBox", .left = 348, .top = 118, .width = 90, .height = 19,
         .caption = "(HH:MM:SS)", .font = kRegular15},

        // Settings page.
        {.kind = Kind::TabSheet, .name = "TabSheet7", .parent = "Overall_PageControl", .caption = "Settings"},
        {.kind = Kind::RadioGroup, .name = "Sanitization_Level_RadioGroup", .parent = "TabSheet7", .left = 4, .top = 2, .width = 565,
         .height = 95, .caption = " Sanitization Level : ", .font = kRegular16, .items = LevelCaptions(), .columns = 2, .itemIndex = 0},
        {.kind = Kind::GroupBox, .name = "GroupBox2", .parent = "TabSheet7", .left = 4, .top = 102, .width = 565, .height = 195,
         .caption = " Sanitization Level Details / Description : ", .font = kBold16},
    };
    // The six descriptions lie staggered at design; the start-up sequence makes each fill the
    // group box, one visible at a time.
    static const char* const memoNames[] = {"Memo1", "Memo2", "Memo3", "Memo4", "Memo5", "Memo6"};
    for (int i = 0; i < engine::kLevelCount; ++i) {
        rows.push_back({.kind = Kind::Memo, .name = memoNames[i], .parent = "GroupBox2", .left = 10 + 12 * i, .top = 24 + 12 * i,
                        .width = 480, .height = 100, .caption = LevelDescriptionText(i), .font = kRegular15, .visible = i == 0, .color = ui::clBtnFace,
                        .tabStop = false, .readOnly = true, .vScroll = true});
    }
    const std::vector<ui::ControlSpec> tail = {
        {.kind = Kind::Button, .name = "Sanitization_Level_Desccription_Button", .parent = "TabSheet7", .left = 192, .top = 42,
         .width = 239, .height = 25, .caption = "Sanitization_Level_Desccription", .visible = false},

        // The buttons along the bottom. None is the default button: Enter presses only the focused
        // one, so a stray Enter never starts a run. Abort has no accelerator (the captions are the
        // program's own texts): when a run disables the focused Sanitize button the focus goes on
        // to Abort, so Enter or Space aborts at once. Disabled buttons still show their hints.
        {.kind = Kind::BitBtn, .name = "Refresh_BitBtn", .left = 21, .top = 336, .width = 130, .height = 33, .caption = "Refresh",
         .hint = "Refresh the details for the selected drive.", .showHint = true, .font = kBold16},
        {.kind = Kind::BitBtn, .name = "Sanitize_BitBtn", .left = 161, .top = 336, .width = 130, .height = 33, .caption = "Sanitize",
         .hint = "Sanitize the free space on the selected drive.", .showHint = true, .font = kBold16},
        {.kind = Kind::BitBtn, .name = "Halt_BitBtn", .left = 301, .top = 336, .width = 130, .height = 33, .caption = "Abort",
         .hint = "Abort the sanitization process.", .showHint = true, .font = kBold16, .enabled = false},
        {.kind = Kind::BitBtn, .name = "Exit_BitBtn", .left = 441, .top = 336, .width = 130, .height = 33, .caption = "Exit",
         .hint = "Exit this program.", .showHint = true, .font = kBold16},

        // Hidden state holders: the abort flag of a run and the layout record.
        {.kind = Kind::CheckBox, .name = "Abort_Processing_CheckBox", .left = 612, .top = 44, .width = 241, .height = 17,
         .caption = "Abort_Processing_CheckBox", .visible = false},
        {.kind = Kind::ListBox, .name = "Scaling_ListBox", .left = 652, .top = 6, .width = 25, .height = 29, .visible = false},

        // Menus.
        {.kind = Kind::MainMenu, .name = "MainMenu1"},
        {.kind = Kind::MenuItem, .name = "FileMenu", .parent = "MainMenu1", .caption = "&File"},
        {.kind = Kind::MenuItem, .name = "Always_On_Top_Option", .parent = "FileMenu", .caption = "Always &On Top"},
        {.kind = Kind::MenuItem, .name = "Auto_Run_at_Windows_Startup_Option", .parent = "FileMenu",
         .caption = "&Auto-Run at Windows Startup"},
        {.kind = Kind::MenuItem, .name = "Restore_Factory_Defaults_Option", .parent = "FileMenu", .caption = "&Restore Factory Defaults"},
        {.kind = Kind::MenuItem, .name = "N2", .parent = "FileMenu", .caption = "-"},
        {.kind = Kind::MenuItem, .name = "ExitOption", .parent = "FileMenu", .caption = "E&xit"},
        {.kind = Kind::MenuItem, .name = "HelpMenu", .parent = "MainMenu1", .caption = "&Help"},
        {.kind = Kind::MenuItem, .name = "View_Readme_file_Option", .parent = "HelpMenu", .caption = "&View Readme file"},
        {.kind = Kind::MenuItem, .name = "View_Shareware_Catalog_Option", .parent = "HelpMenu", .caption = "View &Shareware Catalog"},
        {.kind = Kind::MenuItem, .name = "About1", .parent = "HelpMenu", .caption = "-"},
        {.kind = Kind::MenuItem, .name = "AboutOption", .parent = "HelpMenu", .caption = "&About"},
        {.kind = Kind::MenuItem, .name = "SpareMenu", .parent = "MainMenu1", .caption = "Spare"},
    };
    rows.insert(rows.end(), tail.begin(), tail.end());
    return rows;
}

} // namespace

const ui::FormSpec& MainFormSpec() {
    static const ui::FormSpec design{.name = "MainForm1",
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
    static const std::vector<ui::ControlSpec> layout = BuildLayout();
    return layout;
}

} // namespace qvx
