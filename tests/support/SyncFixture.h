#pragma once

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/sync/PlanSync.h"
#include "core/sync/RowOperations.h"
#include "core/sync/SyncSides.h"
#include "support/ComparisonHarness.h"
#include "support/ResultRows.h"
#include "support/ScriptedPrompter.h"
#include "support/TempTree.h"

namespace ravelmoor::test {

// Every object below a tree: "folder", "link TEXT @SEC.NSEC" or
// "CONTENT @SEC.NSEC MODE" (octal), by relative path.
using TreeState = std::map<std::string, std::string>;

// How the question after a failed object ends.
inline constexpr const char* kGoOn =
    ". Press \"OK\" to continue with the next object. Press \"CANCEL\" to stop.";
TreeState Snapshot(const TempTree& tree);
// Snapshot with every folder as "folder MODE @SEC.NSEC", the tree's own
// folder included as ".".
TreeState FullSnapshot(const TempTree& tree);

// The names in the trash of this test process (HOME and XDG_DATA_HOME point at
// a temp folder for the whole binary).
std::set<std::string> TrashedNames();
// What the trash holds, by the original path its .trashinfo names: the
// object's state as Snapshot writes it.
TreeState TrashedByOrigin();
void EmptyTrash();
std::string DataHome();

// Every status, folders on one side only and nested, a name spelled
// differently on the two sides, a symbolic link, a time with nanoseconds and
// a mode other than the default: the trees the end-state tests sync.
void MakeEndStateTrees(TempTree& source, TempTree& target);

// A Source and a Target tree, compared and synchronised in this process.
class SyncTest : public ::testing::Test {
  protected:
    void SetUp() override { EmptyTrash(); }

    // Compares the trees (with sub-folders), leaving out what `excludes` match.
    void Compare(const std::vector<std::string>& excludes = {});
    SyncSides Sides() {
        comparer.Reopen(nullptr);
        return SidesOf(comparer);
    }
    SyncPlan Plan(SyncMethod method) {
        return PlanSync(comparer.SourceResults(), comparer.TargetResults(), method);
    }
    // Plans `method` and carries the plan out.
    SyncTally Run(SyncMethod method);
    // The rows of a new comparison of the trees as they are now, with the
    // same filter.
    std::vector<std::string> FreshRows();
    // Empties both trees.
    void ClearTrees();
    // The row whose Source (or, without one, Target) path below the root is `path`.
    uint32_t RowOf(const std::string& path);

    TempTree source;
    TempTree target;
    ScriptedPrompter prompter;
    test::ComparisonHarness comparer{prompter};

  private:
    void CompareWith(test::ComparisonHarness& with);
    std::vector<std::string> excludes_;
};

}  // namespace ravelmoor::test
