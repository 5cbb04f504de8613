#include "gui/results/UndoAction.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>

#include "core/engine/NameEscape.h"
#include "core/engine/Prompter.h"
#include "core/journal/JournalStore.h"
#include "core/sync/SyncSummary.h"
#include "core/text/Translated.h"
#include "gui/progress/BackgroundTask.h"
#include "gui/progress/ProgressDialog.h"
#include "gui/widgets/FromStd.h"

namespace ravelmoor {

namespace {

// The method's name as the window shows it; an undo is named by what it undid.
QString MethodName(const std::string& method) {
    constexpr std::string_view kUndo = "undo ";
    if (method.rfind(kUndo, 0) == 0) {
        return UndoAction::tr("undo of %1").arg(FromStd(method.substr(kUndo.size())));
    }
    return FromStd(Translated("SyncMethod", method));
}

}  // namespace

std::string UndoAction::UndoQuestion(const SyncJournal& journal,
                                     const std::vector<UndoStep>& steps) {
    std::string question =
        FillIn(tr("Undo the synchronisation \"%1\" of \"%2\" and \"%3\"?"),
               {MethodName(journal.header.method).toStdString(),
                EscapeName(journal.header.source.shown), EscapeName(journal.header.target.shown)});
    // Only what there is, each count in the plural form its number takes. A
    // server has no trash: what the sync made there is deleted for good, and
    // what it replaced or deleted there comes back from the versions the
    // server keeps.
    struct Part {
        UndoStepKind kind;
        bool onServer;
        const char* one;
        const char* many;
    };
    static constexpr Part kParts[] = {
        {UndoStepKind::RemoveCreated, false, "%1 file it made goes to the trash",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction", "%1 files it made go to the trash")},
        {UndoStepKind::RemoveCreated, true, "%1 file it made on the server is deleted for good",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction",
                             "%1 files it made on the server are deleted for good")},
        {UndoStepKind::PutBackReplaced, false, "%1 replaced file comes back from the trash",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction",
                             "%1 replaced files come back from the trash")},
        {UndoStepKind::PutBackReplaced, true,
         "%1 replaced file comes back from the versions kept on the server",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction",
                             "%1 replaced files come back from the versions kept on the server")},
        {UndoStepKind::PutBackDeleted, false, "%1 deleted object comes back from the trash",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction",
                             "%1 deleted objects come back from the trash")},
        {UndoStepKind::PutBackDeleted, true,
         "%1 deleted object comes back from the versions kept on the server",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction",
                             "%1 deleted objects come back from the versions kept on the server")},
        {UndoStepKind::RemoveMadeFolder, false, "%1 folder it made is removed",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction", "%1 folders it made are removed")},
        {UndoStepKind::RemakeFolder, false, "%1 folder is made again",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction", "%1 folders are made again")},
        {UndoStepKind::RenameBack, false, "%1 renamed object gets its old name back",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction",
                             "%1 renamed objects get their old names back")},
        {UndoStepKind::CannotUndo, false, "%1 change can not be undone",
         QT_TRANSLATE_N_NOOP("ravelmoor::UndoAction", "%1 changes can not be undone")},
    };
    // Only the three kinds above read their side's kind; the rest count on both.
    const auto onServer = [&journal](const UndoStep& step, UndoStepKind kind) {
        const bool split = kind == UndoStepKind::RemoveCreated ||
                           kind == UndoStepKind::PutBackReplaced ||
                           kind == UndoStepKind::PutBackDeleted;
        return split && !(step.target ? journal.header.target : journal.header.source).local;
    };
    std::vector<std::string> said;
    for (const Part& part : kParts) {
        const auto n = static_cast<size_t>(
            std::count_if(steps.begin(), steps.end(), [&](const UndoStep& step) {
                return step.kind == part.kind && onServer(step, part.kind) == part.onServer;
            }));
        if (n > 0) said.push_back(TranslatedCount("ravelmoor::UndoAction", part.one, part.many, n));
    }
    // The counts on a line of their own, apart from the roots' texts.
    for (size_t i = 0; i < said.size(); ++i)
        question += (i == 0 ? "\n" : "; ") + said[i];
    if (!said.empty()) question += ".";
    if (!journal.problem.empty()) {
        question += " " + FillIn(tr("The journal can not be read in full (%1): only the changes "
                                    "it names before that are undone."),
                                 {journal.problem});
    }
    return question;
}

bool UndoAction::Confirm(const std::string& question, const QStringList& lines) {
    QDialog dialog(over_);
    dialog.setWindowTitle(tr("Undo Last Synchronisation"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(FromStd(question), &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    // A model view: tens of thousands of lines open at once.
    auto* list = new QListView(&dialog);
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setModel(new QStringListModel(lines, list));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, &dialog);
    buttons->button(QDialogButtonBox::No)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 400);
    return dialog.exec() == QDialog::Accepted;
}

bool UndoAction::Read(const std::string& id, QStringList& lines) {
    const char* nothing = nullptr;
    JournalOutcome read;
    BackgroundTask task;
    ProgressDialog progress(task, tr("Undoing the synchronisation..."), over_);
    progress.Show(tr("Reading the journal...").toStdString());
    task.Run(
        [&] {
            if (JournalStore::Ids().empty()) {
                nothing = QT_TR_NOOP("There is no synchronisation to undo.");
                return;
            }
            // A plain undo after one that was left unfinished goes on with that one.
            read = JournalStore::Read(id.empty() ? JournalStore::IdToUndo() : id, job_.journal);
            if (!read.Ok()) return;
            job_.steps = PlanUndo(job_.journal);
            if (job_.steps.empty())
                nothing = QT_TR_NOOP("Nothing to undo: the last synchronisation changed nothing.");
            const JournalHeader& header = job_.journal.header;
            lines.reserve(static_cast<qsizetype>(job_.steps.size()));
            for (const UndoStep& step : job_.steps) {
                if (task.CancelRequested()) return;
                const JournalSide& side = step.target ? header.target : header.source;
                lines.push_back(FromStd(Translated("UndoPlan", UndoStepWord(step.kind)) + ": " +
                                        EscapeName(side.shown + step.path)));
            }
        },
        &progress);
    if (nothing != nullptr) {
        prompter_.Inform(tr(nothing).toStdString());
        return false;
    }
    if (!read.Ok()) {
        prompter_.Warn(read.reason);
        return false;
    }
    return !task.CancelRequested();
}

bool UndoAction::Carry(std::vector<std::string>& left) {
    UndoStart start;
    std::atomic<const UndoExecution*> running{nullptr};
    bool ran = false;
    {
        BackgroundTask task;
        ProgressDialog progress(task, tr("Undoing the synchronisation..."), over_);
        progress.Follow([&running, planned = job_.steps.size()] {
            const UndoExecution* run = running.load();
            if (run != nullptr) return run->Snapshot();
            RunSnapshot none;
            none.itemsPlanned = planned;
            return none;
        });
        task.Run(
            [&] {
                start = StartUndo(job_, prompter_);
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
                const std::vector<UndoStep>& steps = run.Job().steps;
                run.SetCancelWord(&task.CancelWord());
                run.SetReport([&](size_t index, UndoResult, const std::string& words) {
                    if (index + 1 < steps.size()) progress.Show(run.FullPath(steps[index + 1]));
                    if (!words.empty()) left.push_back(words);
                });
                running.store(&run);
                run.Run();
                const UndoEnd& end = run.End();
                summary_ =
                    UndoSummaryText(end.done, end.already, end.left, end.stopped, end.seconds);
                run.Finish(summary_);
                if (!end.memoryProblem.empty()) left.push_back(end.memoryProblem);
            },
            &progress);
    }
    // Declined without a journal, or a side or a root that could not be had.
    if (!ran && start.outcome.status != StartStatus::WithoutJournal)
        prompter_.Warn(start.outcome.reason);
    return ran;
}

bool UndoAction::Run(const std::string& id) {
    job_ = {};
    summary_.clear();
    QStringList lines;
    if (!Read(id, lines)) return false;
    if (!Confirm(UndoQuestion(job_.journal, job_.steps), lines)) return false;
    std::vector<std::string> left;
    if (!Carry(left)) return false;
    if (!left.empty()) {
        std::string text = tr("Not undone:").toStdString();
        for (const std::string& words : left)
            text += "\n" + words;
        prompter_.Warn(text);
    }
    return true;
}

}  // namespace ravelmoor
