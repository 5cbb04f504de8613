#include "cli/RequestSettings.h"

#include "app/CompareLaunch.h"
#include "app/SettingsFile.h"
#include "cli/Terminal.h"
#include "engine/Prompter.h"
#include "ftp/FtpConnectionStore.h"

namespace ravelmoor {
namespace {

// Keeps a refusal as the command's error and says facts on stderr; the
// settings-file operations ask nothing.
class ErrorCatcher : public Prompter {
  public:
    explicit ErrorCatcher(std::string& error) : error_(error) {}

    void Inform(std::string_view text) override { Terminal::Message(text); }
    void Warn(std::string_view text) override { error_ = text; }
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
};

// The FTP designation of a folder box stays as written.
std::string FolderToStore(const std::string& folder) {
    if (DesignatesFtpFolder(folder)) return folder;
    return NormaliseFolder(folder);
}

}  // namespace

bool LoadRequestSettings(const std::string& path, CompareRequest& request, std::string& error) {
    if (path.empty()) {
        error = "The option --settings needs a value.";
        return false;
    }
    Settings settings;
    ErrorCatcher catcher(error);
    if (!LoadSettingsFromCommandLine(path, settings, catcher)) return false;
    request.includeSubFolders = settings.includeSubFolders;
    request.method = EngineMethod(settings);
    request.settings = EngineSettings(settings);
    request.filterRules = settings.filterRules;
    request.loadedSettings = std::move(settings);
    return true;
}

Settings SettingsOfRequest(const CompareRequest& request) {
    Settings settings = request.loadedSettings.value_or(Settings{});
    settings.sourceFolder = FolderToStore(request.source);
    settings.targetFolder = FolderToStore(request.target);
    settings.includeSubFolders = request.includeSubFolders;
    settings.comparisonMethod = static_cast<int32_t>(request.method);
    settings.ignoreTwoSeconds = request.settings.ignoreTwoSeconds;
    settings.ignoreSixtySeconds = request.settings.ignoreSixtySeconds;
    settings.ignoreOneHour = request.settings.ignoreOneHour;
    settings.crcChunk = request.settings.crcChunk;
    settings.filterRules = request.filterRules;
    return settings;
}

bool SaveRequestSettings(const CompareRequest& request, std::string& error) {
    Settings settings = SettingsOfRequest(request);
    ErrorCatcher catcher(error);
    return SaveChosenSettingsFile(request.saveSettingsPath, settings, catcher);
}

}  // namespace ravelmoor
