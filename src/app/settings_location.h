#pragma once
// Where the settings file lives. A copy of the program in a folder the user may write keeps its
// settings beside itself (portable copies, and files that exist there already). A program
// installed where the user may not write (Program Files) keeps them in the user's
// application-data folder instead, under the same file name and format.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qvx {

inline constexpr char kUserSettingsFolder[] = "Quarvex";

// What a settings file path names at the moment.
enum class SettingsFileState {
    Missing,   // no file (nothing, or a folder of that name)
    ReadOnly,  // a file the program may read but not write
    Writable,
};

struct SettingsPlaces {
    std::string besideProgram;  // the file in the executable's folder
    std::string perUser;        // the file in the user's application-data folder; empty without one
};

// The file in "<application-data folder>\Quarvex\"; empty when there is no such folder.
std::string PerUserSettingsPath(std::string_view appDataFolder);

// The file to read: the one beside the program while it can be written there, else the user's
// one when it exists, else a read-only file beside the program (its values still apply until
// the first close writes the user's file). When no file exists, the path beside the program,
// whose reading gives the defaults.
std::string SettingsReadPath(const SettingsPlaces& places, const std::function<SettingsFileState(const std::string&)>& stateOf);

// The files to write, in the order they are tried: beside the program first, then the user's.
// Also every place a file of ours may be, for Restore Factory Defaults.
std::vector<std::string> SettingsWritePaths(const SettingsPlaces& places);

} // namespace qvx
