#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/journal/JournalStore.h"
#include "core/journal/RootLock.h"
#include "core/launch/StartSync.h"
#include "core/launch/StartUndo.h"
#include "support/SyncFixture.h"

namespace ravelmoor::test {
namespace {

// The one start of a sync and of an undo that both front ends drive.
class StartRunTest : public SyncTest {
  protected:
    void SetUp() override {
        SyncTest::SetUp();
        ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
        MakeEndStateTrees(source, target);
    }
    void TearDown() override { ::unsetenv("XDG_STATE_HOME"); }

    // Starts and runs a sync of `method` over a fresh comparison.
    SyncEnd Synchronise(SyncMethod method, bool withoutJournal = false) {
        Compare();
        SyncJob job{method, Plan(method)};
        job.withoutJournal = withoutJournal;
        const SyncStart start = StartSync(comparer, job, prompter);
        EXPECT_TRUE(start.outcome.Ok()) << start.outcome.reason;
        start.run->Run();
        const RunSnapshot seen = start.run->Snapshot();
        EXPECT_EQ(seen.itemsSettled, seen.itemsPlanned);
        EXPECT_EQ(seen.bytesSettled, seen.bytesPlanned);
        EXPECT_EQ(seen.bytesMoving, 0U);
        return start.run->End();
    }
    UndoStart Undo(const std::string& id) {
        SyncJournal journal;
        const JournalOutcome read = JournalStore::Read(id, journal);
        EXPECT_TRUE(read.Ok()) << read.reason;
        const std::vector<UndoStep> steps = PlanUndo(journal);
        return StartUndo({journal, steps}, prompter);
    }

    TempTree state;
};

// Every planned object comes back as a value, the run is journaled, and the
// undo started from that journal puts both trees back.
TEST_F(StartRunTest, SyncEndsWithEachObjectsOutcomeAndItsUndoPutsTheTreesBack) {
    for (const SyncMethod method : {SyncMethod::UpdateAndPrune, SyncMethod::Align}) {
        SCOPED_TRACE(std::string(SyncMethodText(method)));
        const TreeState sourceBefore = FullSnapshot(source);
        const TreeState targetBefore = FullSnapshot(target);
        Compare();
        const SyncPlan plan = Plan(method);
        const SyncEnd end = Synchronise(method);
        ASSERT_FALSE(end.stopped);
        EXPECT_EQ(end.tally.notDone, 0U);
        EXPECT_EQ(end.items.size(),
                  plan.copyToTarget.size() + plan.copyToSource.size() + plan.deleteInTarget.size());
        for (const SyncItemOutcome& item : end.items)
            EXPECT_EQ(item.result, ItemResult::Done) << item.row << " " << item.reason;
        ASSERT_EQ(end.journalId, JournalStore::Ids().back());

        UndoStart undo = Undo(end.journalId);
        ASSERT_TRUE(undo.outcome.Ok()) << undo.outcome.reason;
        undo.run->Run();
        undo.run->Finish("done");
        EXPECT_EQ(undo.run->End().left, 0U);
        EXPECT_EQ(undo.run->End().done, undo.run->Job().steps.size());
        EXPECT_EQ(FullSnapshot(source), sourceBefore);
        EXPECT_EQ(FullSnapshot(target), targetBefore);
        ClearTrees();
        MakeEndStateTrees(source, target);
    }
}

// A copy or deletion chosen by hand runs as a small journaled sync: only the
// chosen rows change, in the direction or on the side chosen, the journal
// names it by its own word (what `history` and the undo question show), and
// its undo puts both trees back.
TEST_F(StartRunTest, ManualActionIsJournaledUnderItsOwnWordAndUndone) {
    struct Case {
        ManualKind kind;
        ListSide side;
        std::vector<std::string> rows;
        const char* word;
        // What the action changes: path -> content after it ("" gone).
        std::map<std::string, std::string> source;
        std::map<std::string, std::string> target;
    };
    const std::vector<Case> cases = {
        {ManualKind::Copy,
         ListSide::Source,
         {"newer.txt", "only-src.txt"},
         "Manual Copy",
         {},
         {{"newer.txt", "src-new"}, {"only-src.txt", "s"}}},
        {ManualKind::Copy,
         ListSide::Target,
         {"older.txt"},
         "Manual Copy",
         {{"older.txt", "tgt-new!"}},
         {}},
        {ManualKind::Delete,
         ListSide::Target,
         {"only-tgt.txt", "same.txt"},
         "Manual Delete",
         {},
         {{"only-tgt.txt", ""}, {"same.txt", ""}}},
        {ManualKind::Delete,
         ListSide::Source,
         {"newer.txt", "Fresh", "Fresh/deep", "Fresh/deep/f.txt"},
         "Manual Delete",
         {{"newer.txt", ""}, {"Fresh", ""}, {"Fresh/deep", ""}, {"Fresh/deep/f.txt", ""}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.word) + " " + c.rows.front());
        const TreeState sourceBefore = FullSnapshot(source);
        const TreeState targetBefore = FullSnapshot(target);
        Compare();
        ManualAction action{c.kind, c.side, {}};
        for (const std::string& path : c.rows)
            action.rows.push_back(RowOf(path));
        std::sort(action.rows.begin(), action.rows.end());
        SyncJob job;
        job.plan = ManualPlan(action);
        job.manual = c.kind;
        const SyncStart start = StartSync(comparer, job, prompter);
        ASSERT_TRUE(start.outcome.Ok()) << start.outcome.reason;
        start.run->Run();
        const SyncEnd& end = start.run->End();
        EXPECT_EQ(end.tally.notDone, 0U);

        const auto check = [](const TempTree& tree, const auto& changes, TreeState was) {
            TreeState now = FullSnapshot(tree);
            // The root's own time moves with what is made or removed in it.
            now.erase(".");
            was.erase(".");
            for (const auto& [path, content] : changes) {
                EXPECT_EQ(now.contains(path), !content.empty()) << path;
                if (!content.empty()) {
                    EXPECT_EQ(tree.Read(path), content) << path;
                }
                now.erase(path);
                was.erase(path);
            }
            EXPECT_EQ(now, was) << "nothing else changes";
        };
        check(source, c.source, sourceBefore);
        check(target, c.target, targetBefore);

        SyncJournal journal;
        ASSERT_TRUE(JournalStore::Read(end.journalId, journal).Ok());
        EXPECT_EQ(journal.header.method, c.word);
        UndoStart undo = Undo(end.journalId);
        ASSERT_TRUE(undo.outcome.Ok()) << undo.outcome.reason;
        undo.run->Run();
        undo.run->Finish("done");
        EXPECT_EQ(undo.run->End().left, 0U);
        EXPECT_EQ(FullSnapshot(source), sourceBefore);
        EXPECT_EQ(FullSnapshot(target), targetBefore);
    }
}

// An undo that can not have its sides or its roots starts nothing and
// changes nothing; a sync without a journal keeps none.
TEST_F(StartRunTest, RefusedStartsChangeNothing) {
    const SyncEnd unjournaled = Synchronise(SyncMethod::Update, /*withoutJournal=*/true);
    EXPECT_TRUE(unjournaled.journalId.empty());
    EXPECT_TRUE(JournalStore::Ids().empty());

    ClearTrees();
    MakeEndStateTrees(source, target);
    const SyncEnd end = Synchronise(SyncMethod::Update);
    const TreeState synced = FullSnapshot(target);
    SyncJournal journal;
    ASSERT_TRUE(JournalStore::Read(end.journalId, journal).Ok());

    SyncLocks held;
    ASSERT_TRUE(held.Take(journal.header).Ok());
    const UndoStart locked = Undo(end.journalId);
    EXPECT_EQ(locked.outcome.status, StartStatus::RootInUse) << locked.outcome.reason;
    EXPECT_EQ(locked.run, nullptr);
    EXPECT_EQ(FullSnapshot(target), synced);

    const std::string moved = source.Path() + ".moved";
    ASSERT_EQ(std::rename(source.Path().c_str(), moved.c_str()), 0);
    const UndoStart gone = Undo(end.journalId);
    std::rename(moved.c_str(), source.Path().c_str());
    EXPECT_EQ(gone.outcome.status, StartStatus::SideUnreachable) << gone.outcome.reason;
    EXPECT_EQ(gone.run, nullptr);
    EXPECT_EQ(FullSnapshot(target), synced);
    EXPECT_EQ(JournalStore::Ids().size(), 1U);
}

// What a display of the run reads while a large file is copied: the bytes
// move piece by piece before the file is settled, never back, never past the
// plan, and end at the plan with nothing left on its way; the front end's
// own progress is told of the same pieces.
TEST_F(StartRunTest, SnapshotBytesMoveDuringALargeCopy) {
    struct Seen : ProgressText {
        void Show(std::string_view) override {}
        void Moved(uint64_t bytes) override {
            told += bytes;
            const RunSnapshot now = run->Snapshot();
            samples.push_back({now.BytesDone(), now.itemsSettled, now.bytesPlanned});
        }
        struct Sample {
            uint64_t bytes;
            size_t settled;
            uint64_t planned;
        };
        SyncExecution* run = nullptr;
        uint64_t told = 0;
        std::vector<Sample> samples;
    };
    struct Case {
        const char* name;
        bool verify;  // a checked copy goes through the buffer, else through the kernel
        size_t size;
    };
    for (const Case& c :
         {Case{"checked", true, size_t{3} << 20}, Case{"unchecked", false, size_t{20} << 20}}) {
        SCOPED_TRACE(c.name);
        ClearTrees();
        source.Write("large.bin", std::string(c.size, 'x'), 1000);
        source.Write("small.txt", "s", 1000);
        Compare();
        SyncJob job{SyncMethod::Update, Plan(SyncMethod::Update)};
        job.verify = c.verify;
        const SyncStart start = StartSync(comparer, job, prompter);
        ASSERT_TRUE(start.outcome.Ok()) << start.outcome.reason;
        Seen seen;
        seen.run = start.run.get();
        start.run->SetProgress(&seen);
        start.run->Run();

        EXPECT_EQ(seen.told, c.size + 1);
        size_t before = 0;  // samples taken before the large file was settled
        uint64_t last = 0;
        for (const Seen::Sample& sample : seen.samples) {
            EXPECT_GE(sample.bytes, last);
            EXPECT_LE(sample.bytes, sample.planned);
            last = sample.bytes;
            if (sample.settled == 0 && sample.bytes > 0 && sample.bytes < sample.planned) ++before;
        }
        EXPECT_GE(before, 2U);
        const RunSnapshot end = start.run->Snapshot();
        EXPECT_EQ(end.BytesDone(), c.size + 1);
        EXPECT_EQ(end.bytesMoving, 0U);
        EXPECT_EQ(target.Read("large.bin").size(), c.size);
    }
}

}  // namespace
}  // namespace ravelmoor::test
