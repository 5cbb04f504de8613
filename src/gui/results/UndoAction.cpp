#include "gui/results/UndoAction.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/engine/NameEscape.h"
#include "core/engine/Prompter.h"
#include "core/journal/JournalStore.h"
#include "core/launch/StartUndo.h"
#include "gui/progress/BackgroundTask.h"
#include "gui/progress/TaskProgressDialog.h"
#include "gui/widgets/FromStd.h"

namespace ravelmoor {

bool UndoAction::Confirm(const std::string& question, const std::vector<std::string>& lines) {
    QDialog dialog(over_);
    dialog.setWindowTitle(tr("Undo Last Synchronisation"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(FromStd(question), &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* list = new QListWidget(&dialog);
    for (const std::string& line : lines)
        list->addItem(FromStd(line));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, &dialog);
    buttons->button(QDialogButtonBox::No)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 400);
    return dialog.exec() == QDialog::Accepted;
}

bool UndoAction::Run(const std::string& id) {
    steps_.clear();
    const std::vector<std::string> ids = JournalStore::Ids();
    if (ids.empty()) {
        prompter_.Inform(tr("There is no synchronisation to undo.").toStdString());
        return false;
    }
    SyncJournal journal;
    // A plain undo after one that was left unfinished goes on with that one.
    const JournalOutcome read =
        JournalStore::Read(id.empty() ? JournalStore::IdToUndo() : id, journal);
    if (!read.Ok()) {
        prompter_.Warn(read.reason);
        return false;
    }
    steps_ = PlanUndo(journal);
    if (steps_.empty()) {
        prompter_.Inform(
            tr("Nothing to undo: the last synchronisation changed nothing.").toStdString());
        return false;
    }
    std::vector<std::string> lines;
    for (const UndoStep& step : steps_) {
        const JournalSide& side = step.target ? journal.header.target : journal.header.source;
        lines.push_back(std::string(UndoStepWord(step.kind)) + ": " +
                        EscapeName(side.shown + step.path));
    }
    QString question =
        tr("Undo the synchronisation \"%1\" of %2 and %3? %4 files it made go to the trash, %5 "
           "replaced files and %6 deleted objects come back from the trash, %7 folders it made "
           "are removed and %8 folders are made again.")
            .arg(FromStd(journal.header.method), FromStd(EscapeName(journal.header.source.shown)),
                 FromStd(EscapeName(journal.header.target.shown)))
            .arg(CountSteps(steps_, UndoStepKind::RemoveCreated))
            .arg(CountSteps(steps_, UndoStepKind::PutBackReplaced))
            .arg(CountSteps(steps_, UndoStepKind::PutBackDeleted))
            .arg(CountSteps(steps_, UndoStepKind::RemoveMadeFolder))
            .arg(CountSteps(steps_, UndoStepKind::RemakeFolder));
    const size_t never = CountSteps(steps_, UndoStepKind::CannotUndo);
    if (never > 0) question += " " + tr("%1 changes can not be undone.").arg(never);
    if (!journal.problem.empty()) {
        question += " " + tr("The journal can not be read in full (%1): only the changes it names "
                             "before that are undone.")
                              .arg(FromStd(journal.problem));
    }
    if (!Confirm(question.toStdString(), lines)) return false;

    UndoStart start;
    std::vector<std::string> left;
    bool ran = false;
    {
        BackgroundTask task;
        TaskProgressDialog progress(task, tr("Undoing the synchronisation..."), over_);
        task.Run(
            [&] {
                start = StartUndo({journal, steps_}, prompter_);
                // Undo is a sync like any other: it keeps a journal, and can
                // be undone. Without one it goes on only on the user's word.
                bool goOn = start.outcome.Ok();
                if (start.outcome.status == StartStatus::WithoutJournal) {
                    task.OnUiThread([&] {
                        goOn = prompter_.AskYesNoDefaultNo(
                            start.outcome.reason + " " +
                            tr("Without a journal the undo can not be undone or finished later. "
                               "Undo anyway?")
                                .toStdString());
                    });
                }
                if (!goOn) return;
                ran = true;
                UndoExecution& run = *start.run;
                run.SetCancelWord(&task.CancelWord());
                run.SetReport([&](size_t index, UndoResult, const std::string& words) {
                    if (index + 1 < steps_.size()) progress.Show(run.FullPath(steps_[index + 1]));
                    if (!words.empty()) left.push_back(words);
                });
                run.Run();
                run.Finish(run.End().stopped ? "stopped" : "done");
                if (!run.End().memoryProblem.empty()) left.push_back(run.End().memoryProblem);
            },
            &progress);
    }
    if (!ran) {
        // Declined without a journal, or a side or a root that could not be had.
        if (start.outcome.status != StartStatus::WithoutJournal)
            prompter_.Warn(start.outcome.reason);
        return false;
    }
    if (!left.empty()) {
        std::string text = tr("Not undone:").toStdString();
        for (const std::string& words : left)
            text += "\n" + words;
        prompter_.Warn(text);
    }
    return true;
}

}  // namespace ravelmoor
