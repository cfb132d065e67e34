// Runs started from the command line, and the record every run leaves.
#include "app/main_form_win.h"

#include "app/run_event_win.h"
#include "drive/drive_texts.h"
#include "engine/fill_files.h"
#include "engine/levels.h"
#include "engine/run_messages.h"
#include "platform/date_time.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/volume.h"
#include "platform/win32/wide_text.h"
#include "ui/application_win.h"
#include "ui/message_box_win.h"

#include <cmath>

namespace qvx {

namespace {

constexpr char kVersion[] = "2.0f";

double UtcNow() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

// Minutes the local time was ahead of UTC at that moment, by the time zone's rules for its date.
int UtcOffsetMinutesAt(double utc) {
    const CivilDateTime t = DecodeDateTime(utc);
    const SYSTEMTIME u{static_cast<WORD>(t.year), static_cast<WORD>(t.month), 0, static_cast<WORD>(t.day),
                       static_cast<WORD>(t.hour), static_cast<WORD>(t.minute), static_cast<WORD>(t.second),
                       static_cast<WORD>(t.millisecond)};
    SYSTEMTIME l;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &u, &l)) return 0;
    const double local = EncodeDateTime({l.wYear, l.wMonth, l.wDay, l.wHour, l.wMinute, l.wSecond, l.wMilliseconds});
    return static_cast<int>(std::lround((local - utc) * 1440.0));
}

std::string ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? Narrow(std::wstring_view(name, size)) : std::string();
}

std::string UserName() {
    wchar_t name[257];
    DWORD size = 257;
    return GetUserNameW(name, &size) && size > 0 ? Narrow(std::wstring_view(name, size - 1)) : std::string();
}

// Appends one line in a single write, so that two copies never mix their lines, and flushes it.
bool AppendLine(const std::string& path, const std::string& line) {
    const UniqueFile file(CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size() && FlushFileBuffers(file.get());
}

const char* ResultWord(engine::RunOutcome outcome) {
    switch (outcome) {
    case engine::RunOutcome::Completed: return "completed";
    case engine::RunOutcome::Aborted:
    case engine::RunOutcome::ClosedDuringRun: return "aborted";
    default: return "error";
    }
}

// A letter the system has assigned is a drive, even while it cannot be read (an empty card
// reader, a share that has gone): a run then says so. The list of letters comes without asking
// any drive; only a letter missing from it is looked up (a drive mapped a moment ago).
bool DriveLetterAssigned(char letter) {
    if (GetLogicalDrives() & (1u << (engine::DriveNumber(letter) - 1))) return true;
    return GetDriveTypeW(DriveRootPath(engine::DriveNumber(letter)).c_str()) > DRIVE_NO_ROOT_DIR;
}

} // namespace

double MainForm::utcNow() { return UtcNow(); }

void MainForm::setCommandLine(CommandLine commandLine) {
    commandLine_ = std::move(commandLine);
    if (commandLine_.error.empty() && !commandLine_.sanitize) return;
    // Once the window is up and its start-up has read the settings.
    ui::ControlDesign design{.kind = ui::Kind::Timer, .name = "CommandLineStart"};
    design.interval = 1;
    commandLineStart_ = std::make_unique<ui::Timer>(*this, design);
    commandLineStart_->OnTimer = [this](ui::Timer& timer) {
        timer.setEnabled(false);
        startFromCommandLine();
    };
}

void MainForm::startFromCommandLine() {
    std::string error;
    std::vector<char> drives = commandLine_.drives;
    char namedDrive = drives.empty() ? 0 : drives.front();  // what a record of an unusable line names
    if (!commandLine_.error.empty()) {
        error = CommandLineErrorText(commandLine_);
    } else {
        if (commandLine_.allDrives) drives = AllFixedDrives(ListDrives());
        if (drives.empty()) error = engine::NoFixedDrivesText();
        // Every letter is checked before the first run: a line that names a drive this computer
        // does not have runs on none of them.
        for (const char drive : drives) {
            if (DriveLetterAssigned(drive)) continue;
            error = engine::UnknownDriveText(drive);
            namedDrive = drive;
            break;
        }
    }
    if (!error.empty()) {
        // Nothing runs; with /exit the record says why.
        if (!commandLine_.exitAtEnd) {
            ui::MessageDlg(error, ui::MsgKind::Error, ui::MsgButtons::Ok);
            return;
        }
        runStart_ = RunStart{.drive = namedDrive, .level = commandLine_.level.value_or(-1), .utc = UtcNow()};
        recordRun(nullptr, error, true);
        exitAfterCommandLine(ExitCode::Error);
        return;
    }
    if (commandLine_.level) {
        levelGroup.setItemIndex(*commandLine_.level);
        showLevelDescription();
    }
    runCommand(drives);
}

// Between two drives the window shows no box: the drive selector and the panel turn to the next
// drive and its run starts at once (the progress area and the taskbar's bar start again). An
// error on one drive does not stop the others; Abort, a close or No to the confirmation does.
void MainForm::runCommand(const std::vector<char>& drives) {
    command_ = Command{.holdBoxes = drives.size() > 1};
    if (command_->holdBoxes && !commandLine_.yes) {
        pages.setActivePage(sanitizePage);
        const std::string text = engine::ConfirmationText(std::string_view(drives.data(), drives.size()), levelGroup.itemIndex());
        if (ui::MessageDlg(text, ui::MsgKind::Confirm, ui::MsgButtons::YesNo) != ui::MsgResult::Yes) {
            command_.reset();
            afterRuns(true, ExitCode::Aborted);
            return;
        }
        command_->confirmed = true;
    }
    ExitCode code = ExitCode::Completed;
    std::string texts;
    for (const char drive : drives) {
        driveList.setDrive(drive);
        const DriveRunEnd end = runOnDrive(drive, true);
        code = WorseExitCode(code, end.code);
        if (!end.message.empty()) texts += (texts.empty() ? "" : "\r\n\r\n") + end.message;
        if (end.stopsCommand || closeAfterRun_ || ui::Application::instance().terminated()) break;
    }
    const bool holdBoxes = command_->holdBoxes;
    command_.reset();
    // A command over several drives tells its outcome once: each drive's closing text, in order.
    if (holdBoxes && !closeAfterRun_ && !ui::Application::instance().terminated()) {
        if (code == ExitCode::Completed || code == ExitCode::RecordFailed) completionBeep();
        if (!commandLine_.exitAtEnd)
            runBox(texts, code == ExitCode::Error ? ui::MsgKind::Error : ui::MsgKind::Information, ui::MsgButtons::Ok, true);
    }
    afterRuns(true, code);
}

void MainForm::exitAfterCommandLine(ExitCode code) {
    closeAfterRun_ = false;
    ui::Application::instance().setExitCode(static_cast<int>(code));
    close();
}

bool MainForm::recordRun(const engine::RunResult* result, const std::string& errorMessage, bool fromCommandLine) {
    RunRecord r;
    r.version = kVersion;
    r.computer = ComputerName();
    r.user = UserName();
    r.startedBy = fromCommandLine ? "command line" : "window";
    // Each moment with its own offset: a run may cross a daylight-saving change.
    const double start = runStart_.utc;
    r.start = IsoTimeOfUtc(start, UtcOffsetMinutesAt);
    r.end = IsoTimeOfUtc(result ? start + result->elapsedDays : start, UtcOffsetMinutesAt);
    r.drive = runStart_.drive ? engine::UpperDriveLetter(runStart_.drive) : 0;
    // What the drive panel learnt of the drive when the run began (a slow drive's answers may
    // have come only during the run).
    if (const auto known = driveAnswers_.find(engine::LowerDriveLetter(runStart_.drive)); known != driveAnswers_.end()) {
        const DriveAnswers& drive = known->second;
        r.volumeLabel = drive.volume.name;
        r.volumeSerial = drive.volume.ok ? VolumeSerialText(drive.volume.serial) : std::string();
        r.fileSystem = drive.volume.fileSystem;
        r.totalBytes = drive.totalBytes;
        r.freeBytes = drive.freeBytes;
    }
    r.level = runStart_.level;
    r.levelCaption = std::string(engine::LevelCaption(runStart_.level));
    if (result) {
        r.passesPlanned = result->passCount;
        r.passesCompleted = result->outcome == engine::RunOutcome::Completed ? result->passCount
                                                                              : std::max(result->lastPass - 1, 0);
        r.bytesWritten = result->writtenBytes;
        if (result->smallFilesWritten > 0) r.fileRecordsWiped = result->smallFilesWritten;
        if (result->unreachableBytes > 0) r.unreachableBytes = result->unreachableBytes;
        r.leftoversSwept = result->leftoversRemoved;
        r.result = ResultWord(result->outcome);
        r.message = result->message;
    } else {
        r.result = "error";
        r.message = errorMessage;
    }
    // The event log hears of every run the record does, whether or not a place takes the record.
    WriteRunEvent(r);
    const std::string line = RunRecordLine(r);
    const std::vector<std::string> paths = runRecordPaths();
    for (const std::string& path : paths) {
        // The user's folder is made only when the program's own folder refused the record.
        if (path != paths.front()) CreateDirectoryW(Widen(path.substr(0, path.find_last_of('\\'))).c_str(), nullptr);
        if (AppendLine(path, line)) return true;
    }
    return false;
}

} // namespace qvx
