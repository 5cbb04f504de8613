#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <string>
#include <vector>

#include "core/journal/Journal.h"
#include "core/journal/UndoPlan.h"
#include "core/launch/StartUndo.h"

class QWidget;

namespace ravelmoor {

class Prompter;

// Undoes a synchronisation from the window: reads its journal and plans the
// steps on a worker thread (the windows repaint meanwhile), shows the steps
// with their counts and asks, then takes the changes back on a worker behind
// the progress dialog, and says what was left as it was.
class UndoAction {
    Q_DECLARE_TR_FUNCTIONS(ravelmoor::UndoAction)

  public:
    // Questions and messages go through `prompter`; dialogs are shown over `over`.
    UndoAction(Prompter& prompter, QWidget* over) : prompter_(prompter), over_(over) {}

    // Undoes the synchronisation `id` (the last one when empty). Returns
    // whether anything may have changed.
    bool Run(const std::string& id = {});
    // The steps of the last Run, with the side and path of each object.
    const std::vector<UndoStep>& Steps() const { return job_.steps; }
    // What the last Run did, in the words of a sync's summary; empty when
    // it changed nothing.
    const std::string& Summary() const { return summary_; }

    // The question before an undo of `journal` by `steps`: the method and
    // both roots, then the count of each kind of step there is.
    static std::string UndoQuestion(const SyncJournal& journal, const std::vector<UndoStep>& steps);

  private:
    // Reads the journal `id` and plans its undo into `job_`, with one line
    // per step in `lines`; false (and why said) when there is nothing to undo.
    bool Read(const std::string& id, QStringList& lines);
    // Shows the steps and asks; true on Yes.
    bool Confirm(const std::string& question, const QStringList& lines);
    // Starts the undo and carries it out; false when it did not begin.
    bool Carry(std::vector<std::string>& left);

    Prompter& prompter_;
    QWidget* over_;
    UndoJob job_;
    std::string summary_;
};

}  // namespace ravelmoor
