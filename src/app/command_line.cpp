#include "app/command_line.h"

#include "engine/fill_files.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace qvx {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// "D:", "d:\" or "D": the drive's letter in lower case, or 0.
char DriveArgument(std::string_view text) {
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) return 0;
    const std::string_view rest = text.substr(1);
    if (rest.empty() || rest == ":" || rest == ":\\") return static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return 0;
}

bool IsSwitch(std::string_view text) { return text.size() >= 2 && (text[0] == '/' || text[0] == '-'); }

std::optional<int> LevelArgument(std::string_view text) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '5') return std::nullopt;
    return text[0] - '0';
}

// Adds one entry of /sanitize's list; the reason when it cannot be used. A drive named twice is
// a mistake in the line (a second run on it would add nothing), and so is "all" beside letters.
std::string AddDrive(CommandLine& c, std::string_view entry, bool first, std::string_view sanitizeSwitch) {
    const bool all = Lower(entry) == "all";
    const char drive = all ? 0 : DriveArgument(entry);
    if (!all && !drive) {
        if (first) return "The switch " + Quoted(sanitizeSwitch) + " needs a drive, as in /sanitize D:";
        return Quoted(entry) + " is not a drive: /sanitize takes drives, as in /sanitize D: E:, or all.";
    }
    if (all ? c.allDrives : std::ranges::find(c.drives, drive) != c.drives.end()) {
        return (all ? std::string("\"all\"") : Quoted(std::string(1, engine::UpperDriveLetter(drive)) + ":")) +
               " is given twice.";
    }
    if (all ? !c.drives.empty() : c.allDrives) return "\"all\" cannot be given with drives: use /sanitize all, or name the drives.";
    if (all) c.allDrives = true;
    else c.drives.push_back(drive);
    return {};
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine c;
    std::string firstNeedingSanitize;
    auto fail = [&](std::string why) {
        c.error = std::move(why);
        // A caller that asked for /exit gets its exit code, wherever the line went wrong.
        for (const std::string& a : arguments)
            if (a.size() > 1 && (a[0] == '/' || a[0] == '-') && Lower(std::string_view(a).substr(1)) == "exit")
                c.exitAtEnd = true;
        return c;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (!IsSwitch(a)) return fail(Quoted(a) + " is not a switch.");
        const std::string name = Lower(std::string_view(a).substr(1));
        const std::string* value = i + 1 < arguments.size() ? &arguments[i + 1] : nullptr;
        bool duplicate = false;
        if (name == "sanitize") {
            if (c.sanitize) return fail("The switch " + Quoted(a) + " is given twice.");
            c.sanitize = true;
            // The drives: every argument up to the next switch.
            std::size_t next = i + 1;
            for (; next < arguments.size() && !IsSwitch(arguments[next]); ++next) {
                if (std::string why = AddDrive(c, arguments[next], next == i + 1, a); !why.empty()) return fail(why);
            }
            if (next == i + 1) return fail("The switch " + Quoted(a) + " needs a drive, as in /sanitize D:");
            i = next - 1;
        } else if (name == "level") {
            duplicate = c.level.has_value();
            c.level = value ? LevelArgument(*value) : std::nullopt;
            if (!c.level) return fail("The switch " + Quoted(a) + " needs a level from 0 to 5, as in /level 1");
            ++i;
        } else if (name == "yes" || name == "exit") {
            bool& flag = name == "yes" ? c.yes : c.exitAtEnd;
            duplicate = flag;
            flag = true;
        } else {
            return fail("The switch " + Quoted(a) + " is not known.");
        }
        if (duplicate) return fail("The switch " + Quoted(a) + " is given twice.");
        if (name != "sanitize" && firstNeedingSanitize.empty()) firstNeedingSanitize = a;
    }
    if (!c.sanitize && !firstNeedingSanitize.empty())
        return fail("The switch " + Quoted(firstNeedingSanitize) + " needs /sanitize with a drive.");
    return c;
}

ExitCode WorseExitCode(ExitCode a, ExitCode b) {
    const auto rank = [](ExitCode code) {
        switch (code) {
        case ExitCode::Error: return 3;
        case ExitCode::Aborted: return 2;
        case ExitCode::RecordFailed: return 1;
        case ExitCode::Completed: break;
        }
        return 0;
    };
    return rank(b) > rank(a) ? b : a;
}

std::vector<char> AllFixedDrives(const DriveList& drives) {
    std::vector<const ListedDrive*> fixed;
    for (const ListedDrive& d : drives)
        if (d.kind == DriveKind::Fixed && !d.volume.empty() && d.letter >= 'a' && d.letter <= 'z') fixed.push_back(&d);
    std::ranges::sort(fixed, {}, &ListedDrive::letter);
    std::vector<char> chosen;
    std::set<std::string> volumes;
    for (const ListedDrive* d : fixed)
        if (volumes.insert(Lower(d->volume)).second) chosen.push_back(d->letter);
    return chosen;
}

ExitCode ExitCodeOf(engine::RunOutcome outcome, bool recorded) {
    switch (outcome) {
    case engine::RunOutcome::Completed: return recorded ? ExitCode::Completed : ExitCode::RecordFailed;
    case engine::RunOutcome::Aborted:
    case engine::RunOutcome::ClosedDuringRun:
    case engine::RunOutcome::Declined:  // No to the confirmation of a line without /yes
        return ExitCode::Aborted;
    default: return ExitCode::Error;
    }
}

std::string RunArguments(char drive, int level) {
    std::string arguments = "/sanitize ";
    arguments += engine::UpperDriveLetter(drive);
    arguments += ": /level " + std::to_string(level);
    return arguments;
}

std::string CommandLineErrorText(const CommandLine& commandLine) {
    return "The command line cannot be used: " + commandLine.error + "\r\n\r\nUse: " + std::string(kCommandLineUsage);
}

} // namespace qvx
