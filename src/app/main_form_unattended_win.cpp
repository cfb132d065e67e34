// Runs started from the command line, and the record every run leaves.
#include "app/main_form_win.h"

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

double LocalNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
}

// Minutes the local time is ahead of UTC now.
int UtcOffsetMinutes() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    const double utc = EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds});
    return static_cast<int>(std::lround((LocalNow() - utc) * 1440.0));
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

} // namespace

MainForm::RunStart MainForm::driveFacts(char drive, int level) {
    FailCriticalErrorsScope quiet;
    const std::uint8_t number = engine::DriveNumber(drive);
    const VolumeInformation info = QueryVolumeInformation(number);
    const FreeSpace space = QueryFreeSpace(number);
    return {.drive = drive,
            .level = level,
            .volumeLabel = info.name,
            .volumeSerial = info.ok ? VolumeSerialText(info.serial) : std::string(),
            .fileSystem = info.fileSystem,
            .totalBytes = space.totalToCaller,
            .freeBytes = space.totalFree};
}

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
    if (!commandLine_.error.empty()) {
        error = CommandLineErrorText(commandLine_);
    } else if (const std::wstring root = DriveRootPath(engine::DriveNumber(commandLine_.drive));
               GetDriveTypeW(root.c_str()) <= DRIVE_NO_ROOT_DIR) {
        error = engine::UnknownDriveText(commandLine_.drive);
    }
    if (!error.empty()) {
        // Nothing runs; with /exit the record says why.
        if (!commandLine_.exitAtEnd) {
            ui::MessageDlg(error, ui::MsgKind::Error, ui::MsgButtons::Ok);
            return;
        }
        runStart_ = RunStart{.drive = commandLine_.drive, .level = commandLine_.level.value_or(-1)};
        recordRun(nullptr, error, true);
        exitAfterCommandLine(ExitCode::Error);
        return;
    }
    driveList.setDrive(commandLine_.drive);
    if (commandLine_.level) {
        levelGroup.setItemIndex(*commandLine_.level);
        showLevelDescription();
    }
    runSanitize(true);
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
    const int offset = UtcOffsetMinutes();
    const double start = result ? result->startTime : LocalNow();
    r.start = IsoLocalTime(DecodeDateTime(start), offset);
    r.end = IsoLocalTime(DecodeDateTime(result ? start + result->elapsedDays : start), offset);
    r.drive = runStart_.drive ? engine::UpperDriveLetter(runStart_.drive) : 0;
    r.volumeLabel = runStart_.volumeLabel;
    r.volumeSerial = runStart_.volumeSerial;
    r.fileSystem = runStart_.fileSystem;
    r.totalBytes = runStart_.totalBytes;
    r.freeBytes = runStart_.freeBytes;
    r.level = runStart_.level;
    r.levelCaption = std::string(engine::LevelCaption(runStart_.level));
    if (result) {
        r.passesPlanned = result->passCount;
        r.passesCompleted = result->outcome == engine::RunOutcome::Completed ? result->passCount
                                                                              : std::max(result->lastPass - 1, 0);
        r.bytesWritten = result->writtenBytes;
        if (result->smallFilesWritten > 0) r.fileRecordsWiped = result->smallFilesWritten;
        r.leftoversSwept = result->leftoversRemoved;
        r.result = ResultWord(result->outcome);
        r.message = result->message;
    } else {
        r.result = "error";
        r.message = errorMessage;
    }
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
