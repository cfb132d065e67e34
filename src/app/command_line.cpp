#include "app/command_line.h"

#include "engine/fill_files.h"

#include <cctype>

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

std::optional<int> LevelArgument(std::string_view text) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '5') return std::nullopt;
    return text[0] - '0';
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
        if (a.size() < 2 || (a[0] != '/' && a[0] != '-')) return fail(Quoted(a) + " is not a switch.");
        const std::string name = Lower(std::string_view(a).substr(1));
        const std::string* value = i + 1 < arguments.size() ? &arguments[i + 1] : nullptr;
        bool duplicate = false;
        if (name == "sanitize") {
            duplicate = c.sanitize;
            c.drive = value ? DriveArgument(*value) : 0;
            if (!c.drive) return fail("The switch " + Quoted(a) + " needs a drive, as in /sanitize D:");
            c.sanitize = true;
            ++i;
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
