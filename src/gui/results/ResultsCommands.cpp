#include "gui/results/ResultsCommands.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <algorithm>

#include "core/engine/Comparison.h"
#include "core/engine/Prompter.h"
#include "core/filters/GlobExpression.h"
#include "core/journal/RootLock.h"
#include "core/launch/StartComparison.h"
#include "core/launch/StartSync.h"
#include "core/results/NotDoneList.h"
#include "core/results/SelectionRules.h"
#include "core/results/VisualiseDifferences.h"
#include "core/settings/Settings.h"
#include "core/sync/PlanEdit.h"
#include "core/sync/PlanSync.h"
#include "core/sync/RowOperations.h"
#include "core/sync/SyncGuards.h"
#include "core/text/Translated.h"
#include "core/twoway/TwoWaySession.h"
#include "gui/progress/BackgroundTask.h"
#include "gui/progress/ProgressDialog.h"
#include "gui/results/DesktopViewerHost.h"
#include "gui/results/PreviewWindow.h"
#include "gui/results/ResultsWindow.h"
#include "gui/results/UndoAction.h"
#include "gui/twoway/TwoWayLists.h"
#include "gui/twoway/TwoWayPlanDialog.h"
#include "gui/widgets/OverrideCursor.h"
#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor {
namespace {

constexpr const char* kCopyQuestion =
    QT_TRANSLATE_NOOP("ravelmoor::ResultsWindow", "Do you want to copy the selected objects?");

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

// Keeps the two lists from being drawn while a worker changes the result
// lists they read: they keep the picture they had meanwhile.
class ListsHeld {
  public:
    explicit ListsHeld(const std::array<VirtualReportView*, 2>& lists) : lists_(lists) {
        for (VirtualReportView* list : lists_)
            list->setUpdatesEnabled(false);
    }
    ~ListsHeld() {
        for (VirtualReportView* list : lists_)
            list->setUpdatesEnabled(true);
    }
    // While the worker waits: `window` refreshes the lists and they are
    // drawn once at once.
    static void ShowNow(const std::array<VirtualReportView*, 2>& lists, ResultsWindow& window) {
        for (VirtualReportView* list : lists)
            list->setUpdatesEnabled(true);
        window.RefreshLists();
        for (VirtualReportView* list : lists) {
            list->repaint();
            list->setUpdatesEnabled(false);
        }
    }
    ListsHeld(const ListsHeld&) = delete;
    ListsHeld& operator=(const ListsHeld&) = delete;

  private:
    std::array<VirtualReportView*, 2> lists_;
};

}  // namespace

ResultsCommands::ResultsCommands(ResultsWindow& window, ResultsContext& context)
    : window_(window), context_(context) {}

std::array<VirtualReportView*, 2> ResultsCommands::Lists() const {
    return {window_.List(ListSide::Source), window_.List(ListSide::Target)};
}

void ResultsCommands::RunBehindProgress(
    const QString& title, const std::function<void(BackgroundTask&, ProgressDialog&)>& work,
    std::function<RunSnapshot()> snapshot) {
    running_ = true;
    {
        BackgroundTask task;
        ProgressDialog progress(task, title, &window_);
        if (snapshot) progress.Follow(std::move(snapshot));
        const ListsHeld held(Lists());
        task.Run([&] { work(task, progress); }, &progress);
        window_.RefreshLists();
    }
    running_ = false;
}

void ResultsCommands::RunRowOperations(
    const std::function<void(RowOperations&, BackgroundTask&)>& work) {
    Prompter& asking = context_.prompter;
    const bool keepReplaced = context_.settings.keepReplaced;
    const int versionDays = context_.settings.versionDays;
    RunBehindProgress(
        tr("Re-Comparing files..."), [&](BackgroundTask& task, ProgressDialog& progress) {
            // A side on FTP gets a connection again: the comparison closed its own.
            context_.comparison.Reopen(&task.CancelWord());
            RowOperations operations(context_.comparison.Rules(),
                                     SidesOf(context_.comparison, {true, versionDays}), asking);
            operations.SetProgress(&progress);
            operations.SetCancelWord(&task.CancelWord());
            operations.SetKeepReplaced(keepReplaced);
            work(operations, task);
        });
}

std::optional<SyncPlan> ResultsCommands::PlanToRun() {
    return PlanForMethod();
}

std::optional<SyncPlan> ResultsCommands::PlanForMethod() {
    SyncPlan plan;
    {
        const OverrideCursor wait(Qt::WaitCursor);
        const FileList& source = context_.comparison.SourceResults();
        const FileList& target = context_.comparison.TargetResults();
        const auto edited = edited_.EntriesFor(window_.Method(), source, target);
        plan = edited ? PlanOf(*edited) : PlanSync(source, target, window_.Method());
    }
    const Outcome<PlanStatus> ready = CheckPlan(window_.Method(), plan);
    if (window_.Method() != SyncMethod::None) {
        const Outcome<GuardStatus> allowed =
            CheckProtectedFolders(window_.Method(), context_.comparison);
        if (!allowed.Ok()) {
            context_.prompter.Warn(allowed.reason);
            return std::nullopt;
        }
    }
    if (!ready.Ok()) {
        context_.prompter.Warn(Translated("PlanSync", ready.reason));
        return std::nullopt;
    }
    return plan;
}

bool ResultsCommands::TakeLocks(SyncLocks& locks) {
    const LockOutcome locked = locks.Take(JournalHeaderOf(context_.comparison, {}));
    if (!locked.Ok()) context_.prompter.Warn(locked.reason);
    return locked.Ok();
}

bool ResultsCommands::ConfirmSync(const SyncPlan& plan) {
    if (!context_.prompter.AskYesNo(ConfirmSyncQuestion(window_.Method()))) return false;
    const DeletionShare deletions = CountDeletions(context_.comparison, plan);
    return !deletions.IsMass() || context_.prompter.AskYesNoDefaultNo(MassDeletionQuestion(
                                      deletions, context_.comparison.TargetFolder()));
}

SyncJob ResultsCommands::JobFor(SyncPlan plan) const {
    SyncJob job;
    job.method = window_.Method();
    job.plan = std::move(plan);
    job.keepReplaced = context_.settings.keepReplaced;
    job.keeping = {true, context_.settings.versionDays};
    return job;
}

bool ResultsCommands::GoOn(const StartOutcome& started) {
    // No journal, no sync, unless the user says so knowing it can then not
    // be undone.
    return started.Ok() ||
           context_.prompter.AskYesNoDefaultNo(
               started.reason + " " +
               tr("Without a journal the synchronisation can not be undone. Synchronise anyway?")
                   .toStdString());
}

void ResultsCommands::RunSync(SyncExecution& sync, bool refreshBetweenBatches) {
    RunBehindProgress(
        tr("Synchronising..."),
        [&](BackgroundTask& task, ProgressDialog& progress) {
            sync.SetProgress(&progress);
            sync.SetCancelWord(&task.CancelWord());
            if (refreshBetweenBatches) {
                sync.SetBatchHooks({}, [this, &task] {
                    task.OnUiThread([this] { ListsHeld::ShowNow(Lists(), window_); });
                });
            }
            sync.Run();
        },
        [&sync] { return sync.Snapshot(); });
}

void ResultsCommands::Synchronise() {
    if (window_.Method() == SyncMethod::TwoWay) return SynchroniseBothWays(/*showPlan=*/false);
    std::optional<SyncPlan> plan = PlanToRun();
    if (!plan || !ConfirmSync(*plan)) return;
    SyncLocks locks;
    if (!TakeLocks(locks)) return;
    NotDoneList notDone(context_.comparison);
    const SyncStart start =
        StartSync(context_.comparison, JobFor(std::move(*plan)), context_.prompter);
    if (!GoOn(start.outcome)) return;
    start.run->SetObserver(&notDone);
    RunSync(*start.run, true);
    const SyncEnd& end = start.run->End();
    edited_.Drop();
    SetUndoId(end.journalId);
    window_.ShowSyncReport(end.summary, end.tally.notDone, notDone.Lines());
    if (!end.journalBroke.empty()) {
        context_.prompter.Warn(
            end.journalBroke + " " +
            tr("The synchronisation stopped before its next change; what it did can be undone.")
                .toStdString());
    }
}

void ResultsCommands::SynchroniseBothWays(bool showPlan) {
    if (const Outcome<GuardStatus> allowed =
            CheckProtectedFolders(SyncMethod::TwoWay, context_.comparison);
        !allowed.Ok()) {
        context_.prompter.Warn(allowed.reason);
        return;
    }
    SyncLocks locks;
    if (!TakeLocks(locks)) return;
    // Planned again with the memory held for the run, the settlements made
    // in the lists carried over.
    auto session = std::make_shared<TwoWaySession>(context_.comparison, TwoWayOptions{});
    SyncJob job;
    job.method = SyncMethod::TwoWay;
    job.keepReplaced = context_.settings.keepReplaced;
    // The pair's memory grows with the trees: read and planned on a worker.
    // Cancel is heard once the plan is made: nothing is shown then.
    TwoWayOutcome planned;
    bool cancelled = false;
    RunBehindProgress(tr("Planning the synchronisation both ways..."), [&](BackgroundTask& task,
                                                                           ProgressDialog&) {
        MemoryOutcome opened = session->Open();
        // A server side open again: the plan asks it for identities.
        if (opened.Ok()) context_.comparison.Reopen(&task.CancelWord());
        planned = opened.Ok() ? session->Plan(job.plan)
                              : TwoWayOutcome(TwoWayStatus::Refused, opened.reason);
        cancelled = task.CancelRequested();
    });
    if (cancelled) return;
    if (!planned.Ok()) {
        context_.prompter.Warn(planned.reason);
        return;
    }
    window_.TwoWay().CarrySettlements(*session, job.plan);
    if (showPlan) {
        running_ = true;
        TwoWayPlanDialog dialog(context_.comparison, *session, job.plan, &window_);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        running_ = false;
        if (!accepted) return;
    } else if (job.plan.Total() > 0 &&
               !context_.prompter.AskYesNo(ConfirmSyncQuestion(SyncMethod::TwoWay))) {
        return;
    }
    if (job.plan.Total() == 0) {
        if (!showPlan) context_.prompter.Inform(Translated("PlanSync", kNothingToDoMessage));
        return;
    }
    if (const std::string mass = session->MassDeletion(job.plan);
        !mass.empty() &&
        !context_.prompter.AskYesNoDefaultNo(mass + " " + tr("Delete them?").toStdString())) {
        return;
    }
    job.twoWay = session;
    // After renames the folders are compared again, on the run's thread, so
    // that what moved with them is paired under the new names.
    job.compareAgain = [this] {
        CompareJob again = context_.settings;
        const ComparisonStart start =
            StartComparison(again, StoredConnectionLookup(context_.store), context_.comparison,
                            context_.prompter, UnknownHostKey::Refuse);
        if (!start.outcome.Ok()) return false;
        start.run->Wait();
        return start.run->Phase() == ComparisonPhase::Completed;
    };
    const SyncStart start = StartSync(context_.comparison, std::move(job), context_.prompter);
    if (!GoOn(start.outcome)) return;
    RunSync(*start.run, false);
    const SyncEnd& end = start.run->End();
    SetUndoId(end.journalId);
    std::string summary = end.summary;
    if (end.conflictsLeft > 0)
        summary += " " + tr("Conflicts left: %1.").arg(end.conflictsLeft).toStdString();
    window_.ShowSyncReport(summary, end.tally.notDone, {});
    for (const std::string& problem : {end.twoWayProblem, end.journalBroke}) {
        if (!problem.empty()) context_.prompter.Warn(problem);
    }
    // What is left, planned with the memory the run still holds.
    window_.TwoWay().Replan(session.get());
    window_.RefreshLists();
}

void ResultsCommands::Undo() {
    if (undoId_.empty()) return;
    UndoAction action(context_.prompter, &window_);
    running_ = true;
    const bool changed = action.Run(undoId_);
    running_ = false;
    if (!changed) return;
    SetUndoId({});
    std::vector<std::string> sourcePaths;
    std::vector<std::string> targetPaths;
    for (const UndoStep& step : action.Steps())
        (step.target ? targetPaths : sourcePaths).push_back(step.path);
    // An object it brings back whose row a deletion dropped stays unlisted.
    RunRowOperations([&](RowOperations& operations, BackgroundTask&) {
        operations.ReadPathsAgain(sourcePaths, targetPaths);
    });
    window_.TwoWay().Replan();
    window_.RefreshLists();
    window_.ShowSyncReport(action.Summary(), 0, {});
}

void ResultsCommands::SetUndoId(std::string id) {
    undoId_ = std::move(id);
    window_.UndoButton()->setEnabled(!undoId_.empty());
}

void ResultsCommands::Preview() {
    // The two-way plan is shown, and may be settled, before it runs.
    if (window_.Method() == SyncMethod::TwoWay) return SynchroniseBothWays(/*showPlan=*/true);
    FileList& source = context_.comparison.SourceResults();
    FileList& target = context_.comparison.TargetResults();
    std::optional<std::vector<PlanEntry>> entries =
        edited_.EntriesFor(window_.Method(), source, target);
    if (!entries) {
        const std::optional<SyncPlan> plan = PlanForMethod();
        if (!plan) return;
        entries = EntriesOf(*plan);
    }
    running_ = true;
    PreviewWindow preview(ListedSidesOf(context_.comparison), *entries, &window_);
    preview.exec();
    running_ = false;
    edited_.Keep(window_.Method(), *entries, preview.Entries(), !preview.ExcludedRows().empty());
    // An excluded row stays out of later compares too, as an exclude rule.
    for (const uint32_t row : preview.ExcludedRows()) {
        const FilterRule rule{FilterRule::kExclude,
                              GlobToExpression(LiteralGlob(ExcludeRow(source, target, row)))};
        FilterRules& rules = context_.settings.filterRules;
        if (std::find(rules.begin(), rules.end(), rule) == rules.end()) rules.push_back(rule);
    }
    if (!preview.ExcludedRows().empty()) window_.RefreshLists();
}

void ResultsCommands::ShowContextMenu(ListSide side, const QPoint& globalPosition) {
    const FileList& source = context_.comparison.SourceResults();
    const FileList& target = context_.comparison.TargetResults();
    const std::vector<int> items = window_.SelectedItems(side);

    QMenu menu(&window_);
    QAction* visualise = menu.addAction(tr("Visualise Differences"));
    menu.addSeparator();
    QAction* copy = menu.addAction(side == ListSide::Source ? tr("Copy to Target  >>>")
                                                            : tr("<<< Copy to Source"));
    QAction* remove = menu.addAction(tr("Delete"));
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutVisibleInContextMenu(true);
    menu.addSeparator();
    QAction* onlyFolder = menu.addAction(tr("Show Only This Folder"));
    onlyFolder->setEnabled(window_.List(side)->currentIndex().isValid());
    QAction* again = menu.addAction(tr("Compare Again"));
    again->setShortcut(QKeySequence::Refresh);
    again->setShortcutVisibleInContextMenu(true);
    const bool someToCopy =
        !RowsToCopyOrDelete(side, source, target, window_.VisibleRows(), items).empty();
    copy->setEnabled(someToCopy);
    remove->setEnabled(someToCopy);
    visualise->setEnabled(!RowsToVisualise(source, target, window_.VisibleRows(), items).empty());
    std::vector<uint32_t> rows;
    rows.reserve(items.size());
    for (const int item : items)
        rows.push_back(window_.VisibleRows()[static_cast<size_t>(item)]);
    window_.TwoWay().AddSettleItems(menu, rows);

    const QAction* chosen = menu.exec(globalPosition);
    if (chosen == copy) {
        CopySelected(side);
    } else if (chosen == remove) {
        DeleteSelected(side);
    } else if (chosen == visualise) {
        VisualiseSelected(side);
    } else if (chosen == onlyFolder) {
        window_.ShowOnlyFolderOf(side);
    } else if (chosen == again) {
        window_.CompareAgain();
    }
}

void ResultsCommands::CopySelected(ListSide side) {
    const ManualCommand command(busy_);
    std::vector<uint32_t> rows = RowsToCopyOrDelete(
        side, context_.comparison.SourceResults(), context_.comparison.TargetResults(),
        window_.VisibleRows(), window_.SelectedItems(side));
    // In path order whatever the lists' order: a folder before what it holds.
    std::sort(rows.begin(), rows.end());
    if (rows.empty() || !context_.prompter.AskYesNo(tr(kCopyQuestion).toStdString())) return;
    RunManual({ManualKind::Copy, side, std::move(rows)});
}

void ResultsCommands::DeleteSelected(ListSide side) {
    const ManualCommand command(busy_);
    std::vector<uint32_t> rows = RowsToCopyOrDelete(
        side, context_.comparison.SourceResults(), context_.comparison.TargetResults(),
        window_.VisibleRows(), window_.SelectedItems(side));
    std::sort(rows.begin(), rows.end());
    // The deletion asks its own question before anything goes to the trash.
    if (!rows.empty()) RunManual({ManualKind::Delete, side, std::move(rows)});
}

void ResultsCommands::RunManual(ManualAction action) {
    SyncLocks locks;
    if (!TakeLocks(locks)) return;
    SyncJob job;
    job.plan = ManualPlan(action);
    job.manual = action.kind;
    job.keepReplaced = context_.settings.keepReplaced;
    job.keeping = {true, context_.settings.versionDays};
    const SyncStart start = StartSync(context_.comparison, std::move(job), context_.prompter);
    if (!start.outcome.Ok() &&
        !context_.prompter.AskYesNoDefaultNo(
            start.outcome.reason + " " +
            tr("Without a journal this can not be undone. Go on anyway?").toStdString())) {
        return;
    }
    RunSync(*start.run, false);
    const SyncEnd& end = start.run->End();
    SetUndoId(end.journalId);
    window_.ShowSyncReport(end.summary, end.tally.notDone, {});
    window_.ClearSelections();
    window_.TwoWay().Replan();
    window_.RefreshLists();
    if (!end.journalBroke.empty()) context_.prompter.Warn(end.journalBroke);
}

void ResultsCommands::VisualiseSelected(ListSide side) {
    const ManualCommand command(busy_);
    const FileList& source = context_.comparison.SourceResults();
    const FileList& target = context_.comparison.TargetResults();
    const std::vector<int> items = window_.SelectedItems(side);
    Comparison& comparison = context_.comparison;
    std::vector<PathPair> pairs;
    for (const uint32_t row : RowsToVisualise(source, target, window_.VisibleRows(), items)) {
        pairs.push_back({source.ElementAt(row).FullPath(comparison.SourceFolder()),
                         target.ElementAt(row).FullPath(comparison.TargetFolder())});
    }
    DesktopViewerHost host(context_, &window_);
    VisualiseDifferences(items.size(), pairs, context_.settings, context_.prompter, host);
    for (VirtualReportView* list : Lists())
        list->viewport()->update();
}

}  // namespace ravelmoor
