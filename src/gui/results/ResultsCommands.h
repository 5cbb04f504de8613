#pragma once

#include <QCoreApplication>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/launch/RunProgress.h"
#include "core/launch/StartSync.h"
#include "core/sync/ManualAction.h"
#include "core/sync/PlanSync.h"
#include "gui/results/EditedPlan.h"

class QPoint;

namespace ravelmoor {

class BackgroundTask;
class Prompter;
class ResultsWindow;
class RowOperations;
class SyncLocks;
class ProgressDialog;
class VirtualReportView;
struct ResultsContext;

// What the results window does to the files: synchronise, preview, and the
// context menu's copy, delete and visualise of the selected rows. Each
// command works on the window's comparison, asks through its prompter, and
// leaves the window's lists up to date; while one is under way (Running())
// the window stays open and its folder check waits. Its texts are the
// window's.
class ResultsCommands {
    Q_DECLARE_TR_FUNCTIONS(ravelmoor::ResultsWindow)

  public:
    // `window` shows the rows the commands work on; both outlive this
    // object, which may be made before the window's lists are.
    ResultsCommands(ResultsWindow& window, ResultsContext& context);

    // "Synchronise": the plan of the window's method, after the user's
    // confirmation (and a second one for a mass deletion), then what was
    // done in the window's status bar.
    void Synchronise();
    // "Undo": takes back the last synchronisation made from the window, as
    // the main window's "Undo Last Synchronisation..." does, then reads the
    // rows it changed again. Only while CanUndo().
    void Undo();
    // A synchronisation made from the window is the last change made here.
    bool CanUndo() const { return !undoId_.empty(); }
    // "Preview": the plan of the window's method (as last edited there), to
    // edit; Synchronise then runs the edit.
    void Preview();
    // The context menu of the `side` list, at a point of the screen.
    void ShowContextMenu(ListSide side, const QPoint& globalPosition);
    // The menu's commands on the rows selected in the `side` list.
    void CopySelected(ListSide side);
    void DeleteSelected(ListSide side);
    void VisualiseSelected(ListSide side);

    // Some command is under way.
    bool Running() const { return running_; }
    // A manual copy, delete or visualise is under way: a list that loses the
    // focus keeps its selection.
    bool Busy() const { return busy_; }

  private:
    // Runs `work` on a worker thread behind the progress dialog titled
    // `title` (following `snapshot` when given), whose Cancel stops the work
    // between objects and inside a long copy, the lists held meanwhile, then
    // refreshes the lists.
    void RunBehindProgress(const QString& title,
                           const std::function<void(BackgroundTask&, ProgressDialog&)>& work,
                           std::function<RunSnapshot()> snapshot = {});
    // Copies or deletes through `work` so. The work asks through the
    // window's prompter, which carries questions over to this thread.
    void RunRowOperations(const std::function<void(RowOperations&, BackgroundTask&)>& work);
    // A copy or deletion chosen by hand, run as a small sync: journaled (so
    // that "Undo" and `ravelmoor undo` take it back), its summary in the
    // status bar. The roots' locks are taken first.
    void RunManual(ManualAction action);
    // The plan that "Synchronise" runs, or nothing (and the reason said)
    // when there is no method or nothing to do.
    std::optional<SyncPlan> PlanToRun();
    // The plan of the chosen method (the preview's edit of it, if any), or
    // nothing (and the reason said) when there is no method or nothing to do.
    std::optional<SyncPlan> PlanForMethod();
    // The user's Yes to `plan` (and a second one for a mass deletion).
    bool ConfirmSync(const SyncPlan& plan);
    // The job of a one-way sync of `plan` with the window's settings.
    SyncJob JobFor(SyncPlan plan) const;
    // Whether a sync that `started` so goes on: at once when its journal is
    // open, else on the user's word that it can then not be undone.
    bool GoOn(const StartOutcome& started);
    // Carries `sync` out behind the progress dialog; with
    // `refreshBetweenBatches` the lists are brought up to date between its
    // batches, so that the next batch asks over current ones.
    void RunSync(SyncExecution& sync, bool refreshBetweenBatches);
    // "Synchronise Both Ways": the plan against the pair's memory with the
    // settlements made in the lists, shown first (`showPlan`, where more may
    // be settled) or confirmed, then run through the one start of a sync.
    void SynchroniseBothWays(bool showPlan);

    // Keeps other runs off both roots while a command changes them; false
    // (and the holder named) when another run has one of them.
    bool TakeLocks(SyncLocks& locks);
    std::array<VirtualReportView*, 2> Lists() const;
    // The journal that "Undo" takes back; empty when there is none.
    void SetUndoId(std::string id);

    ResultsWindow& window_;
    ResultsContext& context_;
    bool busy_ = false;
    bool running_ = false;
    std::string undoId_;
    EditedPlan edited_;  // the preview's, until a synchronisation runs it
};

}  // namespace ravelmoor
