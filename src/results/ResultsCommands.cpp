// What the results window does to the files: synchronise, preview, and the
// context menu's copy, delete and visualise.

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QProcess>

#include "app/GeneralSettingsDialog.h"
#include "app/Settings.h"
#include "engine/FolderComparer.h"
#include "engine/Prompter.h"
#include "results/PreviewWindow.h"
#include "results/RecomparingWindow.h"
#include "results/ResultsWindow.h"
#include "results/SelectionRules.h"
#include "results/VisualiseDifferences.h"
#include "sync/PlanSync.h"
#include "sync/RowOperations.h"
#include "sync/SyncGuards.h"
#include "ui/OverrideCursor.h"
#include "ui/VirtualReportView.h"

namespace ravelmoor {
namespace {

constexpr const char* kCopyQuestion = "Do you want to copy the selected objects?";

// Starts the file-comparison program and opens General Settings for it.
class DesktopViewerHost : public ViewerHost {
  public:
    DesktopViewerHost(const ResultsContext& context, QWidget* parent)
        : context_(context), parent_(parent) {}

    bool Start(const std::string& commandLine) override {
        QStringList words = QProcess::splitCommand(QString::fromStdString(commandLine));
        if (words.isEmpty()) return false;
        const QString program = words.takeFirst();
        return QProcess::startDetached(program, words);
    }

    bool EditSettings() override {
        GeneralSettingsDialog dialog(context_.settings, context_.store, context_.prompter,
                                     context_.pickers, parent_);
        return dialog.exec() == QDialog::Accepted;
    }

  private:
    const ResultsContext& context_;
    QWidget* parent_;
};

// Marks a manual command: the lists keep their selections meanwhile, and the
// focus goes back where it was afterwards.
class ManualCommand {
  public:
    explicit ManualCommand(bool& busy) : busy_(busy), focus_(QApplication::focusWidget()) {
        busy_ = true;
    }
    ~ManualCommand() {
        if (focus_) focus_->setFocus(Qt::OtherFocusReason);
        busy_ = false;
    }
    ManualCommand(const ManualCommand&) = delete;
    ManualCommand& operator=(const ManualCommand&) = delete;

  private:
    bool& busy_;
    QPointer<QWidget> focus_;
};

}  // namespace

bool ResultsWindow::VisualiseAllowed() const {
    // An FTP side has no local path to hand to a program.
    return !context_.comparer.SourceIsFtp() && !context_.comparer.TargetIsFtp();
}

void ResultsWindow::RunRowOperations(const std::function<void(RowOperations&)>& work) {
    commandRunning_ = true;
    {
        const OverrideCursor wait(Qt::WaitCursor);
        // A side on FTP gets a connection again: the comparison closed its own.
        RecomparingWindow progress(this);
        RowOperations operations(context_.comparer, SidesOf(context_.comparer), context_.prompter);
        operations.SetProgress(&progress);
        operations.SetKeepReplaced(context_.settings.keepReplaced);
        work(operations);
        RefreshLists();
    }
    commandRunning_ = false;
}

std::optional<SyncPlan> ResultsWindow::PlanForMethod() {
    SyncPlan plan;
    {
        const OverrideCursor wait(Qt::WaitCursor);
        plan =
            PlanSync(context_.comparer.SourceResults(), context_.comparer.TargetResults(), method_);
    }
    const std::string_view problem = PlanProblem(method_, plan);
    if (method_ != SyncMethod::None) {
        const std::string refused = ProtectedFolderProblem(method_, context_.comparer);
        if (!refused.empty()) {
            context_.prompter.Warn(refused);
            return std::nullopt;
        }
    }
    if (!problem.empty()) {
        context_.prompter.Warn(problem);
        return std::nullopt;
    }
    return plan;
}

void ResultsWindow::OnSynchronise() {
    const std::optional<SyncPlan> plan = PlanForMethod();
    if (!plan) return;
    if (!context_.prompter.AskYesNo(ConfirmSyncQuestion(method_))) return;
    const DeletionShare deletions = CountDeletions(context_.comparer, *plan);
    if (deletions.IsMass() && !context_.prompter.AskYesNoDefaultNo(MassDeletionQuestion(
                                  deletions, context_.comparer.TargetFolder()))) {
        return;
    }
    RunRowOperations([&plan](RowOperations& operations) { RunSyncPlan(operations, *plan); });
}

void ResultsWindow::OnPreview() {
    std::optional<SyncPlan> plan = PlanForMethod();
    if (!plan) return;
    commandRunning_ = true;
    PreviewWindow preview(ListedSidesOf(context_.comparer), std::move(*plan), this);
    preview.exec();
    commandRunning_ = false;
}

void ResultsWindow::ShowContextMenu(ListSide side, const QPoint& globalPosition) {
    menuSide_ = side;
    const FileList& source = context_.comparer.SourceResults();
    const FileList& target = context_.comparer.TargetResults();
    const std::vector<int> items = SelectedItems(side);

    QMenu menu(this);
    QAction* visualise = menu.addAction(tr("Visualise Differences"));
    menu.addSeparator();
    QAction* copy = menu.addAction(side == ListSide::Source ? tr("Copy to Target  >>>")
                                                            : tr("<<< Copy to Source"));
    QAction* remove = menu.addAction(tr("Delete"));
    const bool someToCopy = !RowsToCopyOrDelete(side, source, target, visibleRows_, items).empty();
    copy->setEnabled(someToCopy);
    remove->setEnabled(someToCopy);
    visualise->setEnabled(VisualiseAllowed() &&
                          !RowsToVisualise(source, target, visibleRows_, items).empty());

    const QAction* chosen = menu.exec(globalPosition);
    if (chosen == copy) {
        CopySelected();
    } else if (chosen == remove) {
        DeleteSelected();
    } else if (chosen == visualise) {
        VisualiseSelected();
    }
}

void ResultsWindow::CopySelected() {
    const ManualCommand command(busy_);
    const std::vector<uint32_t> rows = RowsToCopyOrDelete(
        menuSide_, context_.comparer.SourceResults(), context_.comparer.TargetResults(),
        visibleRows_, SelectedItems(menuSide_));
    if (rows.empty() || !context_.prompter.AskYesNo(kCopyQuestion)) return;
    const bool toTarget = menuSide_ == ListSide::Source;
    RunRowOperations(
        [&rows, toTarget](RowOperations& operations) { operations.CopyRows(rows, toTarget); });
    ClearSelections();
}

void ResultsWindow::DeleteSelected() {
    const ManualCommand command(busy_);
    const std::vector<uint32_t> rows = RowsToCopyOrDelete(
        menuSide_, context_.comparer.SourceResults(), context_.comparer.TargetResults(),
        visibleRows_, SelectedItems(menuSide_));
    if (rows.empty()) return;
    // The deletion asks its own question before anything goes to the trash.
    const bool sourceSide = menuSide_ == ListSide::Source;
    RunRowOperations([&rows, sourceSide](RowOperations& operations) {
        operations.DeleteRows(rows, sourceSide);
    });
    ClearSelections();
}

void ResultsWindow::VisualiseSelected() {
    const ManualCommand command(busy_);
    const FileList& source = context_.comparer.SourceResults();
    const FileList& target = context_.comparer.TargetResults();
    const std::vector<int> items = SelectedItems(menuSide_);
    std::vector<PathPair> pairs;
    if (VisualiseAllowed()) {
        for (const uint32_t row : RowsToVisualise(source, target, visibleRows_, items)) {
            pairs.push_back({source.ElementAt(row).FullPath(context_.comparer.SourceFolder()),
                             target.ElementAt(row).FullPath(context_.comparer.TargetFolder())});
        }
    }
    DesktopViewerHost host(context_, this);
    VisualiseDifferences(items.size(), pairs, context_.settings, context_.prompter, host);
    for (VirtualReportView* list : lists_)
        list->viewport()->update();
}

}  // namespace ravelmoor
