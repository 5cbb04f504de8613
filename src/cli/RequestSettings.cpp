#include "cli/RequestSettings.h"

#include <QFile>
#include <filesystem>
#include <system_error>

#include "cli/ProblemDetail.h"
#include "cli/Terminal.h"
#include "core/engine/Prompter.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/settings/CompareLaunch.h"
#include "core/settings/SettingsFile.h"

namespace ravelmoor {
namespace {

std::string Absolute(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// Keeps a refusal as the command's error, naming the file and the system's
// reason, and says facts on stderr; the settings-file operations ask nothing.
class ErrorCatcher : public Prompter {
  public:
    ErrorCatcher(std::string& error, const std::string& path, bool writing)
        : error_(error), path_(Absolute(path)), writing_(writing) {}

    void Inform(std::string_view text) override { Terminal::Info(text); }
    void Warn(std::string_view text) override {
        if (text == "Invalid file.") {
            error_ = WithSubject(text, path_, "not a settings file, or cut short");
        } else if (writing_) {
            error_ = WithSubject(text, path_, WriteReason(path_));
        } else {
            // The text names the file already.
            const std::string reason = ReadReason(path_);
            error_ = text;
            if (!reason.empty()) error_ += " (" + reason + ")";
        }
    }
    bool AskOkCancel(std::string_view text) override {
        Warn(text);
        return false;
    }
    bool AskYesNo(std::string_view text) override {
        Warn(text);
        return false;
    }

  private:
    std::string& error_;
    std::string path_;
    bool writing_;
};

// How the folders stand in the file itself, before loading makes relative
// ones absolute.
void NoteRelativeFolders(const std::string& path, CompareRequest& request) {
    QFile file(QString::fromStdString(path));
    Settings asWritten;
    if (!file.open(QIODevice::ReadOnly) || !DeserializeSettings(file, asWritten)) return;
    request.sourceRelative = IsRelativeFolder(asWritten.sourceFolder);
    request.targetRelative = IsRelativeFolder(asWritten.targetFolder);
}

// The FTP designation of a folder box stays as written; a folder given as a
// relative path is written relative to the settings file's folder, so that
// it names the same folder when the file is loaded.
std::string FolderToStore(const std::string& folder, bool relative, const std::string& fileFolder) {
    if (DesignatesFtpFolder(folder)) return folder;
    if (!relative) return NormaliseFolder(folder);
    const std::string absolute = Absolute(NormaliseFolder(folder));
    std::string text = std::filesystem::path(absolute).lexically_relative(fileFolder).string();
    return text.empty() ? absolute : text;
}

}  // namespace

bool LoadRequestSettings(const std::string& path, CompareRequest& request, std::string& error) {
    if (path.empty()) {
        error = "The option --settings needs a value.";
        return false;
    }
    Settings settings;
    ErrorCatcher catcher(error, path, /*writing=*/false);
    if (!LoadSettingsFromCommandLine(path, settings, catcher)) return false;
    NoteRelativeFolders(path, request);
    // The folders wait: SOURCE and TARGET, when given, replace them.
    CompareJob job = settings;
    job.sourceFolder = request.job.sourceFolder;
    job.targetFolder = request.job.targetFolder;
    request.job = std::move(job);
    request.loadedSettings = std::move(settings);
    return true;
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

bool SaveRequestSettings(const CompareRequest& request, std::string& error) {
    Settings settings = SettingsOfRequest(request, request.saveSettingsPath);
    ErrorCatcher catcher(error, request.saveSettingsPath, /*writing=*/true);
    return SaveChosenSettingsFile(request.saveSettingsPath, settings, catcher);
}

}  // namespace ravelmoor
