#pragma once
// Handing addresses and documents to the Windows shell, and starting programs by command line,
// behind a hook so that tests can observe the calls without launching anything.
#include <windows.h>

#include <functional>
#include <string>

namespace qvx {

// Opens an address, a "mailto:" link or a document with the shell's verb "open" (ShellExecute).
// The result is not reported: the shell shows its own errors.
void ShellOpen(HWND owner, const std::string& target, int showCommand = SW_SHOWNORMAL);

// Starts a program from a command line, as WinExec does: the first blank-separated word names
// the program, found through the usual search for executables; the call does not wait for it.
// Unlike WinExec it takes the command line as Unicode and has no length limit below the
// system's. True when the program started.
bool StartCommandLine(const std::string& commandLine, int showCommand = SW_SHOWNORMAL);

// Starts a program again with administrator rights: the shell's verb "runas", which brings up
// the system's consent prompt. True when the program started (false also when the user
// declined the prompt).
bool ShellRunAsAdministrator(HWND owner, const std::string& program, const std::string& parameters = {});

struct ShellCall {
    enum class Kind { Open, CommandLine } kind;
    HWND owner;             // Open only
    std::string verb;       // "open" or "runas" for Open; empty for a command line
    std::string target;     // the address or document, or the command line
    int showCommand;
    std::string parameters;  // a program's command-line arguments ("runas")
};
// Replaces the real calls (tests) in the installed SystemHooks; an empty hook restores them.
// Returns the previous hook.
// While a hook is set, StartCommandLine reports success.
std::function<void(const ShellCall&)> SetShellHook(std::function<void(const ShellCall&)> hook);

} // namespace qvx
