#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "core/engine/Comparison.h"
#include "core/engine/ComparisonMethod.h"
#include "core/ftp/FtpConnection.h"
#include "core/launch/StartComparison.h"

class QPushButton;

namespace ravelmoor {

class BackgroundTask;
class ElidedLabel;
class FtpConnectionsDialog;
class SftpConnectionsDialog;
class HistoryComboBox;
class Pickers;
class Prompter;
class SettingsMenu;
class SettingsStore;
struct Settings;

// The program's first window: the Source and Target folder boxes with their
// histories and browse buttons, "Compare", the "&Settings" and "&Help" menus
// and the settings summary in the status bar. It owns the last comparison.
// The folders, sub-folders, method, background and filter rules, and the
// histories, are written back to the per-user store when it goes.
class MainWindow : public QDialog {
    Q_OBJECT

  public:
    // Shows the comparison results once a run has completed: by default the
    // results window (main/ShowResultsWindow.h).
    using ResultsHandler = std::function<void(MainWindow& window, Comparison& comparison)>;

    // `settings` holds the application-wide values read at start-up; the
    // window reads its own (folders, sub-folders, method) and the histories
    // from `store`.
    MainWindow(Settings& settings, SettingsStore& store, Prompter& prompter,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // A settings file named on the command line: loaded, and when it is a
    // settings file the comparison starts once the window is up.
    void LoadSettingsFromCommandLine(const std::string& argument);

    // Launch checks, engine start, progress dialog, then the results.
    void OnCompare();

    void SetPickers(Pickers& pickers) { pickers_ = &pickers; }
    void SetResultsHandler(ResultsHandler handler) { showResults_ = std::move(handler); }
    // The last comparison started from the window.
    Comparison& LastComparison() { return comparison_; }
    // Where its run ended (Idle before the first one).
    ComparisonPhase LastPhase() const { return lastPhase_; }
    // The FTP connection its Source was on (empty for a local Source).
    const FtpConnection& LastSourceFtp() const { return lastSourceFtp_; }
    Prompter& MessagePrompter() { return prompter_; }
    Settings& AppSettings() { return settings_; }
    SettingsStore& Store() { return store_; }
    Pickers& FilePickers() { return *pickers_; }
    // The window title when the comparison was started, for the results window.
    const std::string& ResultsTitle() const { return resultsTitle_; }

    HistoryComboBox* SourceBox() const { return source_; }
    HistoryComboBox* TargetBox() const { return target_; }
    QPushButton* CompareButton() const { return compare_; }
    // "Swap": the Source and Target boxes exchange their texts.
    QPushButton* SwapButton() const { return swap_; }
    SettingsMenu* Menu() const { return menu_; }
    QString SummaryLine() const;

  private:
    void BuildMenus();
    void OnBrowse(bool source);
    void OnSwap();
    void NormaliseFolders();
    void OnToggleSubFolders();
    void OnMethod(ComparisonMethod method);
    void OnFilters();
    void OnGeneralSettings();
    // Opens "FTP Connections"; OK puts the chosen connection into `box`, if any.
    void OnFtpConnections(HistoryComboBox* box);
    void OnSftpConnections(HistoryComboBox* box);
    void OnLoadSettings();
    void OnSaveSettings();
    void OnRestoreDefaults();
    void OnToggleBackground();

    // On the worker: opens the sides and starts the run, after offering to
    // make a missing Target. No run, and a Ready outcome, when the user
    // declined or cancelled.
    ComparisonStart OpenAndStart(const BackgroundTask& task);

    // Folder box texts into the settings, and back.
    void TakeFolderTexts();
    void ShowFolderTexts();
    // The menu checks, the summary line and the title after a change.
    void RefreshSettingsView();

    Settings& settings_;
    SettingsStore& store_;
    Prompter& prompter_;
    SideProvider sides_;  // the comparison's, kept across compares
    Comparison comparison_;
    ComparisonPhase lastPhase_ = ComparisonPhase::Idle;
    FtpConnection lastSourceFtp_;
    std::unique_ptr<Pickers> ownPickers_;
    Pickers* pickers_;
    ResultsHandler showResults_;
    std::string resultsTitle_;

    HistoryComboBox* source_;
    HistoryComboBox* target_;
    QPushButton* compare_;
    QPushButton* swap_;
    SettingsMenu* menu_;
    ElidedLabel* summary_;
    // One for the program's run, so that its fields stay between openings.
    FtpConnectionsDialog* ftpConnections_ = nullptr;
    SftpConnectionsDialog* sftpConnections_ = nullptr;
};

}  // namespace ravelmoor
