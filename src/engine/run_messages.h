#pragma once
// The fill run's message texts; lines are joined with CR LF.
#include <string>
#include <string_view>

namespace qvx::engine {

inline constexpr std::string_view kAbortedMessage = "Processing aborted, as requested.";

// Drive letters may come in either case; messages show the upper-case letter.
std::string ConfirmationText(char driveLetter, int levelIndex);
std::string CompletionText(char driveLetter, std::string_view speedText);
// The fill file that could not be created, and that the free space was not sanitized.
std::string CreateFailedText(char driveLetter, std::string_view fileName);
// What follows CreateFailedText when the user may not create files in the drive's root
// folder: administrator rights would allow it; restart with them?
std::string NeedsAdministratorText(char driveLetter);
// A write or flush of that fill file failed (not a full drive): the run stopped.
std::string WriteFailedText(char driveLetter, std::string_view fileName);
// The drive never became full although far more was written than it had free.
std::string NotFillableText(char driveLetter);
// Another copy of the program is running on that drive: a second run cannot start there.
std::string DriveBusyText(char driveLetter);
// A drive asked for on the command line that is not there.
std::string UnknownDriveText(char driveLetter);
// The extra line about leftover fill files removed before the first pass (count > 0).
std::string LeftoversRemovedText(int count);

} // namespace qvx::engine
