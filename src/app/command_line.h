#pragma once
// The command line of an unattended run:
//
//   quarvex.exe /sanitize D: [E: ...] | all [/level N] [/yes] [/exit]
//
// Switches are case-insensitive and may start with "-" instead of "/". Without arguments the
// program starts as it always has.
#include "engine/fill_run.h"
#include "platform/drive_list.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvx {

struct CommandLine {
    bool sanitize = false;     // start a run on each drive, one after another, once the window is up
    std::vector<char> drives;  // lower-case letters, in the order given; empty for "all"
    bool allDrives = false;    // "all": the fixed drives of the drive list when the run starts
    std::optional<int> level;  // 0..5, selected before the run
    bool yes = false;          // the caller has confirmed: no confirmation box
    bool exitAtEnd = false;    // no closing boxes; close at the end, exit code for the outcome
    // Why the command line cannot be used (it names the bad switch); empty when it can.
    std::string error;
};

inline constexpr std::string_view kCommandLineUsage = "quarvex.exe /sanitize D: [E: ...] | all [/level N] [/yes] [/exit]";

// `arguments` without the program's own name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The error box's text for a command line that cannot be used.
std::string CommandLineErrorText(const CommandLine& commandLine);

// The arguments that start a run on `drive` at `level` ("/sanitize D: /level 2"), still asking
// for confirmation: for the copy restarted with administrator rights, which then need not read
// the drive and level from a settings file (it may read another one).
std::string RunArguments(char drive, int level);

// Exit codes of a run started with /exit.
enum class ExitCode : int {
    Completed = 0,
    Aborted = 1,        // Abort pressed, or the window closed
    Error = 2,          // the run failed, an unknown drive, a bad command line, a run already going
    RecordFailed = 3,   // completed, but its record could not be written
};

} // namespace qvx

namespace qvx {

// The exit code of a run's outcome; `recorded`: its record was written.
ExitCode ExitCodeOf(engine::RunOutcome outcome, bool recorded);

// The exit code of a command over several drives is its worst drive's: an error before an abort,
// before a record not written, before completed.
ExitCode WorseExitCode(ExitCode a, ExitCode b);

// What "all" stands for: every fixed local drive with a volume mounted, in letter order, each
// volume once (a volume mounted at two letters is sanitized at the first). Never a network,
// removable, optical or RAM drive, nor a SUBST letter.
std::vector<char> AllFixedDrives(const DriveList& drives);

} // namespace qvx
