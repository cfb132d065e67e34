#include "engine/run_messages.h"

#include "engine/fill_files.h"
#include "engine/levels.h"

namespace qvx::engine {

namespace {
constexpr std::string_view kCrLf = "\r\n";

std::string QuotedDrive(char driveLetter) {
    std::string s = "\"";
    s.push_back(UpperDriveLetter(driveLetter));
    s += ":\"";
    return s;
}

constexpr std::string_view kNotSanitized =
    "The run was stopped and its fill files were deleted: the free space on this drive has NOT "
    "been sanitized.";
} // namespace

std::string ConfirmationText(char driveLetter, int levelIndex) {
    return ConfirmationText(std::string_view(&driveLetter, 1), levelIndex);
}

std::string ConfirmationText(std::string_view driveLetters, int levelIndex) {
    const bool several = driveLetters.size() > 1;
    std::string s;
    s += "WARNING: You are about to sanitize all free space on the ";
    for (std::size_t i = 0; i < driveLetters.size(); ++i) {
        if (i > 0) s += i + 1 == driveLetters.size() ? " and " : ", ";
        s += QuotedDrive(driveLetters[i]);
    }
    s += several ? " drives" : " drive";
    s += " - are you sure that you want to do this ?";
    s += kCrLf;
    s += kCrLf;
    s += several ? "N.B.  No files currently on the drives will be harmed or altered.  "
                 : "N.B.  No files currently on the drive will be harmed or altered.  ";
    s += kCrLf;
    s += kCrLf;
    s += "However, the space occupied by previously existing files will be sanitized, "
         "so that the data in all deleted files is difficult or impossible to recover "
         "(depending on the Sanitation Level you have selected).";
    s += kCrLf;
    s += kCrLf;
    s += "The currently selected sanitization level is :   \"";
    s += LevelCaption(levelIndex);
    s += "\".";
    s += kCrLf;
    s += kCrLf;
    s += "You should make sure that you empty the \"Recycle Bin\" on ";
    s += several ? "these drives" : "this drive";
    s += " before continuing !";
    s += kCrLf;
    s += kCrLf;
    s += "Are you sure that you want to continue ?";
    return s;
}

std::string CompletionText(char driveLetter, std::string_view speedText) {
    std::string s;
    s += "All Free Disk Space on the ";
    s += QuotedDrive(driveLetter);
    s += " drive has been sanitized and it will now be difficult or even impossible "
         "(depending on the Sanitation Level you selected) for anyone to recover any data in "
         "any deleted files.";
    s += kCrLf;
    s += kCrLf;
    s += "The overall Disk Writing Speed was : ";
    s += speedText;
    s += " MB / sec";
    return s;
}

std::string CreateFailedText(char driveLetter, std::string_view fileName) {
    std::string s;
    s += "The fill file \"";
    s += fileName;
    s += "\" could not be created on the ";
    s += QuotedDrive(driveLetter);
    s += " drive.";
    s += kCrLf;
    s += kCrLf;
    s += kNotSanitized;
    s += kCrLf;
    s += kCrLf;
    s += "Make sure that the drive is not write-protected and that you are allowed to create "
         "files in its root folder.";
    return s;
}

std::string NeedsAdministratorText(char driveLetter) {
    std::string s;
    s += "Writing files to the root folder of the ";
    s += QuotedDrive(driveLetter);
    s += " drive needs administrator rights.";
    s += kCrLf;
    s += kCrLf;
    s += "Do you want to restart Quarvex as administrator ?";
    return s;
}

std::string WriteFailedText(char driveLetter, std::string_view fileName) {
    std::string s;
    s += "Writing to the fill file \"";
    s += fileName;
    s += "\" on the ";
    s += QuotedDrive(driveLetter);
    s += " drive failed.";
    s += kCrLf;
    s += kCrLf;
    s += kNotSanitized;
    s += kCrLf;
    s += kCrLf;
    s += "Make sure that the drive is still connected and working, then try again.";
    return s;
}

std::string NotFillableText(char driveLetter) {
    std::string s;
    s += "The free space on the ";
    s += QuotedDrive(driveLetter);
    s += " drive could not be filled: far more was written than the drive had free, and it "
         "never became full.";
    s += kCrLf;
    s += kCrLf;
    s += kNotSanitized;
    return s;
}

std::string DriveUnreadableText(char driveLetter, bool started) {
    std::string s;
    s += "The ";
    s += QuotedDrive(driveLetter);
    s += " drive is not ready or cannot be reached: Quarvex could not read how much free space it has.";
    s += kCrLf;
    s += kCrLf;
    s += started ? kNotSanitized : "Nothing was written: the free space on this drive has NOT been sanitized.";
    s += kCrLf;
    s += kCrLf;
    s += "Make sure that the drive has a disk in it, is unlocked and connected (a network drive: "
         "that its share can be reached), then try again.";
    return s;
}

std::string UnreachableSpaceText(std::int64_t bytes, const FormatSettings& fs) {
    constexpr double kGiB = 1073741824.0, kMiB = 1048576.0;
    const double amount = static_cast<double>(bytes);
    std::string s = "However, ";
    s += amount >= kGiB ? FormatFixed(amount / kGiB, 1, fs, true) + " GB" : FormatFixed(amount / kMiB, 1, fs, true) + " MB";
    s += " of free space that Windows reserves for itself or for quotas could not be overwritten.";
    return s;
}

std::string DriveBusyText(char driveLetter) {
    return "Another copy of Quarvex is sanitizing the " + QuotedDrive(driveLetter) +
           " drive: a second run cannot start on the same drive.";
}

std::string UnknownDriveText(char driveLetter) {
    return "There is no " + QuotedDrive(driveLetter) + " drive on this computer.";
}

std::string NoFixedDrivesText() {
    return "\"all\" found no fixed drive with a volume on this computer: nothing was sanitized.";
}

std::string LeftoversRemovedText(int count) {
    if (count == 1)
        return "1 fill file left behind by an earlier, interrupted run was found and removed.";
    return std::to_string(count) +
           " fill files left behind by an earlier, interrupted run were found and removed.";
}

} // namespace qvx::engine
