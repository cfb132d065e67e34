#pragma once
// The fill run's message texts; lines are joined with CR LF.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/format_settings.h"

namespace qvx::engine {

inline constexpr std::string_view kAbortedMessage = "Processing aborted, as requested.";

// Drive letters may come in either case; messages show the upper-case letter.
std::string ConfirmationText(char driveLetter, int levelIndex);
// The one confirmation of a command line over several drives: it names each of them, in order.
std::string ConfirmationText(std::string_view driveLetters, int levelIndex);
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
// The drive's free space could not be read (no medium, locked, a share that has gone): the
// drive is not ready or not reachable, and its free space was not sanitized. `started`: a pass
// had begun (its fill files were deleted).
std::string DriveUnreadableText(char driveLetter, bool started);
// Free space the run could not overwrite because Windows keeps it from normal programs
// (reserved storage) or a quota does: "However, 7.0 GB of free space ...". For more than
// kReportedUnreachableBytes only.
inline constexpr std::int64_t kReportedUnreachableBytes = std::int64_t{1} << 20;
std::string UnreachableSpaceText(std::int64_t bytes, const FormatSettings& fs);
// Another copy of the program is running on that drive: a second run cannot start there.
std::string DriveBusyText(char driveLetter);
// A drive asked for on the command line that is not there.
std::string UnknownDriveText(char driveLetter);
// "/sanitize all" on a computer without a fixed drive that has a volume.
std::string NoFixedDrivesText();
// The extra line about leftover fill files removed before the first pass (count > 0).
std::string LeftoversRemovedText(int count);

} // namespace qvx::engine
