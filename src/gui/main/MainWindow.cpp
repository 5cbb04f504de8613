#include "gui/main/MainWindow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/engine/ComparisonRun.h"
#include "core/engine/Prompter.h"
#include "core/folders/FolderText.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/launch/CompareLaunch.h"
#include "core/launch/StartComparison.h"
#include "core/local/LocalFileSystem.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsStore.h"
#include "gui/filters/FilterListDialog.h"
#include "gui/ftp/FtpConnectionsDialog.h"
#include "gui/main/AboutDialog.h"
#include "gui/main/ShowResultsWindow.h"
#include "gui/progress/BackgroundTask.h"
#include "gui/progress/ProgressDialog.h"
#include "gui/results/UndoAction.h"
#include "gui/settings/BackgroundSetup.h"
#include "gui/settings/GeneralSettingsDialog.h"
#include "gui/settings/SettingsMenu.h"
#include "gui/sftp/SftpConnectionsDialog.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/ElidedLabel.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/HelpWindow.h"
#include "gui/widgets/HistoryComboBox.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/Pickers.h"
#include "gui/widgets/ShowOutcome.h"

namespace ravelmoor {
namespace {

// The settings file dialogs share their filter and extension.
FileChoice SettingsFileChoice(const QString& title, const std::string& initial) {
    return {title, QObject::tr("Ravelmoor Settings (*.zvs)"),
            QString::fromLatin1(kSettingsFileExtension), initial};
}

}  // namespace

MainWindow::MainWindow(Settings& settings, SettingsStore& store, Prompter& prompter,
                       QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      store_(store),
      prompter_(prompter),
      sides_(prompter, std::make_shared<LocalFileSystem>()),
      comparison_(sides_),
      ownPickers_(std::make_unique<DialogPickers>()),
      pickers_(ownPickers_.get()),
      showResults_(ShowResultsWindow) {
    setWindowIcon(ProgramIcon("ravelmoor"));
    UseBackground(*this);

    source_ = new HistoryComboBox(FolderHistory::kSourceSection, this);
    target_ = new HistoryComboBox(FolderHistory::kTargetSection, this);
    auto* sourceLabel = new QLabel(tr("S&ource:"), this);
    sourceLabel->setBuddy(source_);
    auto* targetLabel = new QLabel(tr("&Target:"), this);
    targetLabel->setBuddy(target_);
    auto* browseSource = MakeSmallIconButton("browse", tr("Select Source Folder."), this);
    auto* browseTarget = MakeSmallIconButton("browse", tr("Select Target Folder."), this);
    connect(browseSource, &QToolButton::clicked, this, [this] { OnBrowse(true); });
    connect(browseTarget, &QToolButton::clicked, this, [this] { OnBrowse(false); });
    auto* ftpSource = MakeSmallIconButton("ftp", tr("Use an FTP connection as the Source"), this);
    auto* ftpTarget = MakeSmallIconButton("ftp", tr("Use an FTP connection as the Target"), this);
    connect(ftpSource, &QToolButton::clicked, this, [this] { OnFtpConnections(source_); });
    connect(ftpTarget, &QToolButton::clicked, this, [this] { OnFtpConnections(target_); });
    auto* sftpSource =
        MakeSmallIconButton("sftp", tr("Use an SFTP connection as the Source"), this);
    auto* sftpTarget =
        MakeSmallIconButton("sftp", tr("Use an SFTP connection as the Target"), this);
    connect(sftpSource, &QToolButton::clicked, this, [this] { OnSftpConnections(source_); });
    connect(sftpTarget, &QToolButton::clicked, this, [this] { OnSftpConnections(target_); });

    // Source and Target change places, each box with its history.
    swap_ = MakeIconButton(tr("S&wap"), "swap", tr("Exchange the Source and Target folders"), this);
    swap_->setAutoDefault(false);
    connect(swap_, &QPushButton::clicked, this, &MainWindow::OnSwap);

    compare_ =
        MakeIconButton(tr("Compare"), "compare", tr("Compare the Source and Target folders"), this);
    QFont bold = compare_->font();
    bold.setBold(true);
    compare_->setFont(bold);
    compare_->setDefault(true);
    connect(compare_, &QPushButton::clicked, this, &MainWindow::OnCompare);

    summary_ = new ElidedLabel(this, Qt::ElideRight);
    auto* statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    statusBar->addWidget(summary_, 1);

    auto* folders = new QGridLayout;
    folders->addWidget(sourceLabel, 0, 0);
    folders->addWidget(source_, 0, 1);
    folders->addWidget(browseSource, 0, 2);
    folders->addWidget(ftpSource, 0, 3);
    folders->addWidget(sftpSource, 0, 4);
    folders->addWidget(targetLabel, 1, 0);
    folders->addWidget(target_, 1, 1);
    folders->addWidget(browseTarget, 1, 2);
    folders->addWidget(ftpTarget, 1, 3);
    folders->addWidget(sftpTarget, 1, 4);
    folders->addWidget(swap_, 0, 5, 2, 1);
    folders->setColumnStretch(1, 1);
    auto* compareRow = new QHBoxLayout;
    compareRow->addStretch();
    compareRow->addWidget(compare_);
    compareRow->addStretch();
    auto* body = new QVBoxLayout;
    body->setContentsMargins(style()->pixelMetric(QStyle::PM_LayoutLeftMargin),
                             style()->pixelMetric(QStyle::PM_LayoutTopMargin),
                             style()->pixelMetric(QStyle::PM_LayoutRightMargin),
                             style()->pixelMetric(QStyle::PM_LayoutBottomMargin));
    body->addLayout(folders);
    body->addSpacing(4);
    body->addLayout(compareRow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body);
    layout->addWidget(statusBar);
    BuildMenus();

    source_->Load(store_);
    target_->Load(store_);
    settings_.LoadMainWindowFields(store_);
    ShowFolderTexts();
    RefreshSettingsView();
    // Wide enough for the summary of a few rules; only the width can change.
    resize(std::max(sizeHint().width(), 560), sizeHint().height());
    setFixedHeight(sizeHint().height());
}

MainWindow::~MainWindow() {
    settings_.SaveAtExit(store_, source_->History(), target_->History());
    source_->Save(store_);
    target_->Save(store_);
    ShowOutcome(prompter_, store_.Sync());
}

void MainWindow::BuildMenus() {
    auto* bar = new QMenuBar(this);
    menu_ = new SettingsMenu(bar);
    bar->addMenu(menu_);
    QMenu* sync = bar->addMenu(tr("S&ynchronisation"));
    QAction* undo = sync->addAction(tr("Undo Last Synchronisation..."));
    connect(undo, &QAction::triggered, this, [this] { UndoAction(prompter_, this).Run(); });
    QMenu* help = bar->addMenu(tr("&Help"));
    QAction* contents = help->addAction(tr("&Contents"));
    contents->setShortcut(QKeySequence::HelpContents);
    QAction* about = help->addAction(tr("&About"));
    layout()->setMenuBar(bar);

    connect(menu_->includeSubFolders, &QAction::triggered, this, &MainWindow::OnToggleSubFolders);
    connect(menu_->sizeAndTimestamp, &QAction::triggered, this,
            [this] { OnMethod(ComparisonMethod::SizeAndTimestamp); });
    connect(menu_->crc, &QAction::triggered, this, [this] { OnMethod(ComparisonMethod::Crc); });
    connect(menu_->both, &QAction::triggered, this, [this] { OnMethod(ComparisonMethod::Both); });
    connect(menu_->filters, &QAction::triggered, this, &MainWindow::OnFilters);
    connect(menu_->generalSettings, &QAction::triggered, this, &MainWindow::OnGeneralSettings);
    connect(menu_->ftpConnections, &QAction::triggered, this,
            [this] { OnFtpConnections(nullptr); });
    connect(menu_->sftpConnections, &QAction::triggered, this,
            [this] { OnSftpConnections(nullptr); });
    connect(menu_->loadSettings, &QAction::triggered, this, &MainWindow::OnLoadSettings);
    connect(menu_->saveSettings, &QAction::triggered, this, &MainWindow::OnSaveSettings);
    connect(menu_->restoreDefaults, &QAction::triggered, this, &MainWindow::OnRestoreDefaults);
    connect(menu_->background, &QAction::triggered, this, &MainWindow::OnToggleBackground);
    connect(contents, &QAction::triggered, this,
            [this] { HelpWindow::Show(help_topics::kMain, this); });
    connect(about, &QAction::triggered, this, [this] { AboutDialog(this).exec(); });
}

void MainWindow::OnSwap() {
    const std::string source = source_->Text();
    source_->SetText(target_->Text());
    target_->SetText(source);
}

QString MainWindow::SummaryLine() const {
    return summary_->text();
}

void MainWindow::LoadSettingsFromCommandLine(const std::string& argument) {
    const bool loaded =
        ShowOutcome(prompter_, ravelmoor::LoadSettingsFromCommandLine(argument, settings_));
    ShowFolderTexts();
    RefreshSettingsView();
    // Started from the event loop, once the window is up with the loaded values.
    if (loaded) QMetaObject::invokeMethod(this, &MainWindow::OnCompare, Qt::QueuedConnection);
}

void MainWindow::OnCompare() {
    TakeFolderTexts();
    resultsTitle_ = windowTitle().toStdString();

    ComparisonStart start =
        StartComparison(settings_, StoredConnectionLookup(store_), comparison_, prompter_);
    // A first backup goes to a folder that is not there yet: offered, as
    // rsync and rclone make it.
    if (start.outcome.status == LaunchStatus::TargetNotFound &&
        IsMissingPath(settings_.targetFolder)) {
        if (!prompter_.AskYesNo(tr("Target folder not found. Make it?").toStdString())) {
            ShowFolderTexts();
            return;
        }
        start.outcome = MakeMissingFolder(settings_.targetFolder);
        if (start.outcome.Ok()) {
            start =
                StartComparison(settings_, StoredConnectionLookup(store_), comparison_, prompter_);
        }
    }
    ShowFolderTexts();
    if (!ShowOutcome(prompter_, start.outcome)) return;
    source_->AddToHistory(settings_.sourceFolder);
    target_->AddToHistory(settings_.targetFolder);
    lastSourceFtp_ = start.source.ftp;
    ComparisonRun& run = *start.run;
    {
        BackgroundTask task;
        ProgressDialog progress(task, {}, this);
        progress.Follow(run);
        // Should the program quit meanwhile, the run stops as on Cancel.
        task.SetInterrupt([&run] {
            run.Cancel();
            run.InterruptSides();
        });
        task.Run([&run] { run.Wait(); }, &progress);
    }
    lastPhase_ = run.Phase();
    if (lastPhase_ != ComparisonPhase::Completed) return;
    if (showResults_) showResults_(*this, comparison_);
}

void MainWindow::OnBrowse(bool source) {
    TakeFolderTexts();
    NormaliseFolders();
    std::string& folder = source ? settings_.sourceFolder : settings_.targetFolder;
    const QString title = source ? tr("Select Source Folder.") : tr("Select Target Folder.");
    if (const auto chosen = pickers_->PickFolder(this, title, folder)) folder = *chosen;
    NormaliseFolders();
    ShowFolderTexts();
}

void MainWindow::NormaliseFolders() {
    for (std::string* folder : {&settings_.sourceFolder, &settings_.targetFolder}) {
        if (!DesignatesRemoteFolder(*folder)) *folder = NormaliseFolder(*folder);
    }
}

void MainWindow::OnToggleSubFolders() {
    settings_.includeSubFolders = !settings_.includeSubFolders;
    RefreshSettingsView();
}

void MainWindow::OnMethod(ComparisonMethod method) {
    settings_.SetMethod(method);
    RefreshSettingsView();
}

void MainWindow::OnFilters() {
    FilterListDialog dialog(settings_.filterRules, prompter_, this);
    dialog.exec();
    RefreshSettingsView();
}

void MainWindow::OnGeneralSettings() {
    GeneralSettingsDialog dialog(settings_, store_, prompter_, *pickers_, this);
    dialog.exec();
    RefreshSettingsView();
}

void MainWindow::OnFtpConnections(HistoryComboBox* box) {
    if (ftpConnections_ == nullptr)
        ftpConnections_ = new FtpConnectionsDialog(store_, prompter_, this);
    if (ftpConnections_->exec() != QDialog::Accepted || box == nullptr) return;
    box->SetText(std::string(kFtpFolderPrefix) + ftpConnections_->Name());
}

void MainWindow::OnSftpConnections(HistoryComboBox* box) {
    if (sftpConnections_ == nullptr)
        sftpConnections_ = new SftpConnectionsDialog(store_, prompter_, *pickers_, this);
    if (sftpConnections_->exec() != QDialog::Accepted || box == nullptr) return;
    box->SetText(std::string(kSftpFolderPrefix) + sftpConnections_->Name());
}

void MainWindow::OnLoadSettings() {
    TakeFolderTexts();
    const auto chosen = pickers_->PickFileToOpen(
        this, SettingsFileChoice(tr("Load settings from a file"), settings_.settingsFileName));
    if (chosen) {
        ShowOutcome(prompter_, LoadChosenSettingsFile(*chosen, settings_));
        ShowFolderTexts();
    }
    RefreshSettingsView();
}

void MainWindow::OnSaveSettings() {
    TakeFolderTexts();
    const auto chosen = pickers_->PickFileToSave(
        this, SettingsFileChoice(tr("Save settings to a file"), settings_.settingsFileName));
    if (chosen) ShowOutcome(prompter_, SaveChosenSettingsFile(*chosen, settings_));
    RefreshSettingsView();
}

void MainWindow::OnRestoreDefaults() {
    settings_.RestoreDefaults();
    ShowFolderTexts();
    RefreshSettingsView();
}

void MainWindow::OnToggleBackground() {
    // Every open window repaints with the new background, or without one.
    ToggleBackground(settings_, store_, prompter_, PrimaryScreenDepth);
    RefreshSettingsView();
}

void MainWindow::TakeFolderTexts() {
    settings_.sourceFolder = source_->Text();
    settings_.targetFolder = target_->Text();
}

void MainWindow::ShowFolderTexts() {
    source_->SetText(settings_.sourceFolder);
    target_->SetText(settings_.targetFolder);
}

void MainWindow::RefreshSettingsView() {
    setWindowTitle(FromStd(SettingsWindowTitle(settings_.settingsFileName)));
    menu_->Refresh(settings_);
    summary_->setText(FromStd(settings_.SummaryText()));
}

}  // namespace ravelmoor
