#pragma once

#include <cstdio>
#include <string>

#include "cli/CompareOptions.h"
#include "cli/PlannedActions.h"

namespace ravelmoor {

// What the lines of a plan say about old versions and deletions: where
// each side keeps them, and whether replaced files are kept there.
struct PlanWording {
    KeptIn targetKeeps = KeptIn::Trash;
    KeptIn sourceKeeps = KeptIn::Trash;
    bool keepReplaced = true;

    KeptIn Keeps(ListSide side) const {
        return side == ListSide::Target ? targetKeeps : sourceKeeps;
    }
};

// One action of a dry run as a sentence, its path escaped as every name the
// command line prints ("would copy docs/a.txt to Target", "would make folder
// new/ in Target", "would replace b.txt in Target, keeping the old version
// in the trash", "would move gone/ in Target to the trash", "would delete
// gone.txt in Target, keeping it on the server").
std::string PlanLine(const PlannedAction& action, const PlanWording& wording);

// One action as a tab-separated line: ACTION (copy, replace, delete), SIDE
// (source, target), KIND (file, folder, link), OUTCOME (planned, done,
// skipped, failed, declined) and the escaped PATH below that side's root.
std::string TsvActionLine(const PlannedAction& action);

// The last line of a dry run: what the plan would do in all, and that
// nothing was changed.
std::string DryRunSummary(const PlannedActions& actions, const PlanWording& wording);

// The actions of a plan on `out`, planned (a dry run) or carried out: the copies in the order of
// the rows, then the deletions as they are carried out (files, then folders deepest first);
// sentences, or with `itemised` the lines a sync prints with -v (SyncProgress::ItemLine); with
// OutputFormat::Tsv their tab-separated lines. JSON is written elsewhere.
void PrintActions(const PlannedActions& actions, const PlanWording& wording, OutputFormat format,
                  bool itemised, FILE* out);

}  // namespace ravelmoor
