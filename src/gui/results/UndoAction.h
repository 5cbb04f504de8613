#pragma once

#include <QCoreApplication>
#include <string>
#include <vector>

#include "core/journal/Journal.h"
#include "core/journal/UndoPlan.h"

class QWidget;

namespace ravelmoor {

class Prompter;

// Undoes a synchronisation from the window: reads its journal, shows the
// steps in a list with their counts and asks, then takes the changes back
// behind a progress dialog with Cancel, and says what was left as it was.
class UndoAction {
    Q_DECLARE_TR_FUNCTIONS(ravelmoor::UndoAction)

  public:
    // Questions and messages go through `prompter`; dialogs are shown over `over`.
    UndoAction(Prompter& prompter, QWidget* over) : prompter_(prompter), over_(over) {}

    // Undoes the synchronisation `id` (the last one when empty). Returns
    // whether anything may have changed.
    bool Run(const std::string& id = {});
    // The steps of the last Run, with the side and path of each object.
    const std::vector<UndoStep>& Steps() const { return steps_; }

    // The question before an undo of `journal` by `steps`: the method and
    // both roots, then the count of each kind of step there is.
    static std::string UndoQuestion(const SyncJournal& journal, const std::vector<UndoStep>& steps);

  private:
    // Shows the steps and asks; true on Yes.
    bool Confirm(const std::string& question, const std::vector<std::string>& lines);

    Prompter& prompter_;
    QWidget* over_;
    std::vector<UndoStep> steps_;
};

}  // namespace ravelmoor
