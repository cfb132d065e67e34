#include "app/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace qvx;

namespace {
CommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args); }
} // namespace

TEST(CommandLine, EverySwitchInEitherCaseAndWithEitherSign) {
    EXPECT_EQ(Parse({}).error, "");
    EXPECT_FALSE(Parse({}).sanitize);

    const CommandLine plain = Parse({"/sanitize", "D:"});
    EXPECT_TRUE(plain.error.empty());
    EXPECT_TRUE(plain.sanitize);
    EXPECT_EQ(plain.drives, std::vector<char>{'d'});
    EXPECT_FALSE(plain.level || plain.yes || plain.exitAtEnd);

    const CommandLine all = Parse({"-SANITIZE", "e:\\", "/Level", "5", "-Yes", "/EXIT"});
    EXPECT_TRUE(all.error.empty()) << all.error;
    EXPECT_EQ(all.drives, std::vector<char>{'e'});
    EXPECT_EQ(all.level, 5);
    EXPECT_TRUE(all.yes && all.exitAtEnd);
    EXPECT_EQ(Parse({"/level", "0", "/sanitize", "z"}).level, 0);

    // The restart as administrator: drive and level, and the confirmation still asked.
    EXPECT_EQ(RunArguments('q', 3), "/sanitize Q: /level 3");
    const CommandLine restart = Parse({"/sanitize", "Q:", "/level", "3"});
    EXPECT_TRUE(restart.error.empty() && restart.sanitize && !restart.yes && !restart.exitAtEnd);
    EXPECT_EQ(restart.drives, std::vector<char>{'q'});
    EXPECT_EQ(restart.level, 3);
}

TEST(CommandLine, AMalformedLineNamesTheBadSwitchAndStartsNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"/sanitise", "D:"}, "The switch \"/sanitise\" is not known."},
        {{"/sanitize"}, "The switch \"/sanitize\" needs a drive, as in /sanitize D:"},
        {{"/sanitize", "12"}, "The switch \"/sanitize\" needs a drive, as in /sanitize D:"},
        {{"/sanitize", "D:", "/level", "6"}, "The switch \"/level\" needs a level from 0 to 5, as in /level 1"},
        {{"/sanitize", "D:", "-level", "x"}, "The switch \"-level\" needs a level from 0 to 5, as in /level 1"},
        {{"/sanitize", "D:", "/level"}, "The switch \"/level\" needs a level from 0 to 5, as in /level 1"},
        {{"/sanitize", "D:", "/yes", "/YES"}, "The switch \"/YES\" is given twice."},
        {{"/sanitize", "D:", "/sanitize", "E:"}, "The switch \"/sanitize\" is given twice."},
        {{"/sanitize", "D:", "/level", "1", "/level", "1"}, "The switch \"/level\" is given twice."},
        {{"D:"}, "\"D:\" is not a switch."},
        {{"/level", "1"}, "The switch \"/level\" needs /sanitize with a drive."},
        {{"/exit"}, "The switch \"/exit\" needs /sanitize with a drive."},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = Parse(c.args);
        EXPECT_EQ(parsed.error, c.error) << c.args.front();
    }
    // Wherever the line goes wrong, a caller that asked for /exit gets its exit code.
    EXPECT_TRUE(Parse({"/bogus", "/exit"}).exitAtEnd);
    EXPECT_TRUE(Parse({"/sanitize", "D:", "/level", "9", "-Exit"}).exitAtEnd);
    EXPECT_FALSE(Parse({"/bogus"}).exitAtEnd);
    EXPECT_EQ(CommandLineErrorText(Parse({"/x"})),
              "The command line cannot be used: The switch \"/x\" is not known.\r\n\r\n"
              "Use: quarvex.exe /sanitize D: [E: ...] | all [/level N] [/yes] [/exit]");
}

TEST(CommandLine, SeveralDrivesInTheirOrderOrAllButNeverARepeatOrAMix) {
    const CommandLine three = Parse({"/sanitize", "E:", "d", "c:\\", "/level", "0", "/yes"});
    EXPECT_TRUE(three.error.empty()) << three.error;
    EXPECT_EQ(three.drives, (std::vector<char>{'e', 'd', 'c'}));
    EXPECT_FALSE(three.allDrives);
    EXPECT_EQ(three.level, 0);

    for (const char* word : {"all", "ALL", "All"}) {
        const CommandLine all = Parse({"-sanitize", word, "/exit"});
        EXPECT_TRUE(all.error.empty()) << all.error;
        EXPECT_TRUE(all.allDrives && all.drives.empty() && all.exitAtEnd);
    }

    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"/sanitize", "D:", "e:", "d"}, "\"D:\" is given twice."},
        {{"/sanitize", "all", "all"}, "\"all\" is given twice."},
        {{"/sanitize", "all", "D:"}, "\"all\" cannot be given with drives: use /sanitize all, or name the drives."},
        {{"/sanitize", "D:", "ALL", "/exit"}, "\"all\" cannot be given with drives: use /sanitize all, or name the drives."},
        {{"/sanitize", "D:", "12"}, "\"12\" is not a drive: /sanitize takes drives, as in /sanitize D: E:, or all."},
        {{"/sanitize", "alle"}, "The switch \"/sanitize\" needs a drive, as in /sanitize D:"},
        {{"/sanitize", "/level", "1"}, "The switch \"/sanitize\" needs a drive, as in /sanitize D:"},
        {{"/sanitize", "D:", "/yes", "E:"}, "\"E:\" is not a switch."},
    };
    for (const Case& c : cases) {
        const CommandLine parsed = Parse(c.args);
        EXPECT_EQ(parsed.error, c.error) << c.args.back();
    }
    EXPECT_TRUE(Parse({"/sanitize", "D:", "ALL", "/exit"}).exitAtEnd);
}

TEST(CommandLine, AllIsEveryFixedDriveWithAVolumeEachVolumeOnce) {
    EXPECT_TRUE(AllFixedDrives({}).empty());
    const DriveList drives = {
        {'z', DriveKind::Network, "\\\\?\\Volume{5}\\"},
        {'e', DriveKind::Fixed, "\\\\?\\Volume{2}\\"},
        {'d', DriveKind::Optical, "\\\\?\\Volume{3}\\"},
        {'f', DriveKind::Removable, "\\\\?\\Volume{4}\\"},
        {'c', DriveKind::Fixed, "\\\\?\\Volume{1}\\"},
        {'g', DriveKind::Fixed, ""},                          // a SUBST letter, or no file system
        {'h', DriveKind::Fixed, "\\\\?\\VOLUME{1}\\"},        // C:'s volume at a second letter
        {'r', DriveKind::RamDisk, "\\\\?\\Volume{6}\\"},
        {'u', DriveKind::Unknown, "\\\\?\\Volume{7}\\"},
    };
    EXPECT_EQ(AllFixedDrives(drives), (std::vector<char>{'c', 'e'}));
}

TEST(CommandLine, ACommandOverSeveralDrivesExitsWithItsWorstOutcome) {
    // Precedence: an error, then an abort, then a record not written, then completed.
    const std::vector<ExitCode> byRank = {ExitCode::Completed, ExitCode::RecordFailed, ExitCode::Aborted, ExitCode::Error};
    for (std::size_t a = 0; a < byRank.size(); ++a)
        for (std::size_t b = 0; b < byRank.size(); ++b)
            EXPECT_EQ(WorseExitCode(byRank[a], byRank[b]), byRank[std::max(a, b)]) << a << " " << b;
}

TEST(CommandLine, ExitCodesFollowTheOutcomeAndTheRecord) {
    using engine::RunOutcome;
    EXPECT_EQ(ExitCodeOf(RunOutcome::Completed, true), ExitCode::Completed);
    EXPECT_EQ(ExitCodeOf(RunOutcome::Completed, false), ExitCode::RecordFailed);
    for (RunOutcome o : {RunOutcome::Aborted, RunOutcome::ClosedDuringRun, RunOutcome::Declined})
        EXPECT_EQ(ExitCodeOf(o, true), ExitCode::Aborted);
    for (RunOutcome o : {RunOutcome::CreateFailed, RunOutcome::WriteFailed, RunOutcome::NotFillable,
                         RunOutcome::LevelError, RunOutcome::DriveUnreadable})
        EXPECT_EQ(ExitCodeOf(o, false), ExitCode::Error);
    EXPECT_EQ(static_cast<int>(ExitCode::RecordFailed), 3);
}
