#include "cli/RequestSettings.h"

#include <QFile>
#include <filesystem>
#include <system_error>

#include "cli/ProblemDetail.h"
#include "cli/Terminal.h"
#include "core/folders/FolderText.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/settings/SettingsFile.h"

namespace ravelmoor {
namespace {

std::string Absolute(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// A settings file's outcome as the command's: a refusal names the file and
// the system's reason; a confirmation is said on stderr as a fact.
OptionOutcome CommandOutcome(const SettingsFileOutcome& outcome, const std::string& path) {
    if (outcome.Ok()) {
        if (!outcome.reason.empty()) Terminal::Info(outcome.reason);
        return {};
    }
    const std::string full = Absolute(path);
    switch (outcome.status) {
        case SettingsFileStatus::Invalid:
            return Refused(WithSubject(outcome.reason, full, "not a settings file, or cut short"));
        case SettingsFileStatus::NotWritten:
            return Refused(WithSubject(outcome.reason, full, WriteReason(full)));
        default: {
            // The text names the file already.
            std::string error = outcome.reason;
            const std::string reason = ReadReason(full);
            if (!reason.empty()) error += " (" + reason + ")";
            return Refused(std::move(error));
        }
    }
}

// How the folders stand in the file itself, before loading makes relative
// ones absolute.
void NoteRelativeFolders(const std::string& path, CompareRequest& request) {
    QFile file(QString::fromStdString(path));
    Settings asWritten;
    if (!file.open(QIODevice::ReadOnly) || !DeserializeSettings(file, asWritten)) return;
    request.sourceRelative = IsRelativeFolder(asWritten.sourceFolder);
    request.targetRelative = IsRelativeFolder(asWritten.targetFolder);
}

// A folder on a server (its connection's designation) stays as written; a folder given as a
// relative path is written relative to the settings file's folder, so that
// it names the same folder when the file is loaded.
std::string FolderToStore(const std::string& folder, bool relative, const std::string& fileFolder) {
    if (DesignatesRemoteFolder(folder)) return folder;
    if (!relative) return NormaliseFolder(folder);
    const std::string absolute = Absolute(NormaliseFolder(folder));
    std::string text = std::filesystem::path(absolute).lexically_relative(fileFolder).string();
    return text.empty() ? absolute : text;
}

}  // namespace

OptionOutcome LoadRequestSettings(const std::string& path, CompareRequest& request) {
    if (path.empty()) return Refused("The option --settings needs a value.");
    Settings settings;
    OptionOutcome loaded = CommandOutcome(LoadSettingsFromCommandLine(path, settings), path);
    if (!loaded.Ok()) return loaded;
    NoteRelativeFolders(path, request);
    // The folders wait: SOURCE and TARGET, when given, replace them.
    CompareJob job = settings;
    job.sourceFolder = request.job.sourceFolder;
    job.targetFolder = request.job.targetFolder;
    request.job = std::move(job);
    request.loadedSettings = std::move(settings);
    return {};
}

Settings SettingsOfRequest(const CompareRequest& request, const std::string& path) {
    const std::string fileFolder = std::filesystem::path(Absolute(path)).parent_path().string();
    Settings settings = request.loadedSettings.value_or(Settings{});
    static_cast<CompareJob&>(settings) = request.job;
    settings.sourceFolder =
        FolderToStore(request.job.sourceFolder, request.sourceRelative, fileFolder);
    settings.targetFolder =
        FolderToStore(request.job.targetFolder, request.targetRelative, fileFolder);
    return settings;
}

OptionOutcome SaveRequestSettings(const CompareRequest& request) {
    Settings settings = SettingsOfRequest(request, request.saveSettingsPath);
    return CommandOutcome(SaveChosenSettingsFile(request.saveSettingsPath, settings),
                          request.saveSettingsPath);
}

}  // namespace ravelmoor
