#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/engine/FdGuard.h"
#include "core/journal/JournalStore.h"
#include "core/journal/JournalWriter.h"
#include "core/journal/UndoRun.h"
#include "core/local/FreedesktopTrash.h"
#include "core/local/LocalFileSystem.h"
#include "support/SyncFixture.h"

namespace fs = std::filesystem;

namespace ravelmoor::test {
namespace {

struct Undone {
    std::vector<UndoResult> results;
    std::vector<std::string> words;
    std::string problem;
};

class UndoTest : public SyncTest {
  protected:
    void SetUp() override {
        SyncTest::SetUp();
        ::setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
        MakeEndStateTrees(source, target);
        target.Chmod("stale/inner", 0750);
        for (const char* folder : {"stale/inner", "stale", "docs"})
            target.SetTime(folder, 1400, 77);
        source.SetTime("Fresh", 1300, 0);
    }
    void TearDown() override { ::unsetenv("XDG_STATE_HOME"); }

    JournalHeader Header(SyncMethod method) {
        return JournalHeaderOf(comparer, SyncMethodText(method));
    }
    // Plans `method` and carries it out with a journal.
    void JournaledRun(SyncMethod method, ActionRecorder* recorder = nullptr) {
        JournalWriter journal;
        const JournalOutcome opened = journal.Open(Header(method));
        ASSERT_TRUE(opened.Ok()) << opened.reason;
        RowOperations operations(comparer.Rules(), Sides(), prompter);
        operations.SetRecorder(recorder != nullptr ? recorder : &journal);
        RunSyncPlan(operations, Plan(method));
        journal.Finish("done");
    }
    // Undoes the last journal of the store.
    Undone UndoLast(bool force = false) {
        const auto ids = JournalStore::Ids();
        if (ids.empty()) {
            ADD_FAILURE() << "no journal";
            return {};
        }
        return UndoId(ids.back(), force);
    }
    // Undoes the journal `id`, stopping after `stopAfter` steps.
    Undone UndoId(const std::string& id, bool force = false, size_t stopAfter = SIZE_MAX) {
        Undone undone;
        SyncJournal journal;
        const JournalOutcome read = JournalStore::Read(id, journal);
        EXPECT_TRUE(read.Ok()) << read.reason;
        undone.problem = journal.problem;
        JournalWriter record;
        JournalHeader header = journal.header;
        header.method = "undo " + journal.id;
        const JournalOutcome kept = record.Open(header);
        EXPECT_TRUE(kept.Ok()) << kept.reason;
        LocalFileSystem local;
        UndoRun run(journal, local, local);
        run.SetForce(force);
        run.SetRecorder(&record);
        std::atomic<int32_t> stop{0};
        run.SetCancelWord(&stop);
        run.SetReport([&](size_t index, UndoResult, const std::string& words) {
            if (!words.empty()) undone.words.push_back(words);
            if (index + 1 >= stopAfter) stop = 1;
        });
        undone.results = run.Run(PlanUndo(journal));
        record.Finish("undone", RunEnd(run.Stopped(), false));
        return undone;
    }
    std::string LastJournalPath() { return JournalStore::PathOf(JournalStore::Ids().back()); }

    TempTree state;
};

class UndoByMethod : public UndoTest, public ::testing::WithParamInterface<SyncMethod> {};

// Sync, undo: both trees are as before, byte for byte, times and modes of
// files, links and folders included. Undo of that undo gives the synced trees.
TEST_P(UndoByMethod, PutsBothTreesBackExactlyAndCanBeUndoneItself) {
    const TreeState sourceBefore = FullSnapshot(source);
    const TreeState targetBefore = FullSnapshot(target);
    Compare();
    JournaledRun(GetParam());
    const TreeState sourceSynced = FullSnapshot(source);
    const TreeState targetSynced = FullSnapshot(target);
    ASSERT_NE(targetSynced, targetBefore);

    const Undone undone = UndoLast();
    EXPECT_TRUE(undone.words.empty()) << undone.words.front();
    EXPECT_EQ(FullSnapshot(source), sourceBefore);
    EXPECT_EQ(FullSnapshot(target), targetBefore);

    const Undone again = UndoLast();
    EXPECT_TRUE(again.words.empty()) << again.words.front();
    EXPECT_EQ(FullSnapshot(source), sourceSynced);
    EXPECT_EQ(FullSnapshot(target), targetSynced);
}

INSTANTIATE_TEST_SUITE_P(Methods, UndoByMethod,
                         ::testing::Values(SyncMethod::Align, SyncMethod::Augment,
                                           SyncMethod::Refresh, SyncMethod::Update,
                                           SyncMethod::UpdateAndPrune, SyncMethod::Force),
                         [](const ::testing::TestParamInfo<SyncMethod>& method) {
                             std::string name(SyncMethodText(method.param));
                             std::erase(name, ' ');
                             return name;
                         });

// What was disturbed after a Force sync, and what undo must then do.
struct Disturbance {
    const char* name;
    std::function<void(TempTree& target, const std::string& journal)> disturb;
    bool force;
    // The message undo gives (empty: none), and the state of target paths after it.
    std::string message;
    std::map<std::string, std::string> targetAfter;  // path -> content, "" for absent
    // What else must hold after the undo (none when empty).
    std::function<void(const std::string& journal)> alsoAfter = {};
};

class UndoDisturbed : public UndoTest, public ::testing::WithParamInterface<Disturbance> {};

void PrintTo(const Disturbance& d, std::ostream* out) {
    *out << d.name;
}

std::string Damage(const std::string& path, const std::function<void(std::string&)>& change) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    change(text);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return text;
}

std::string TrashItemOf(const std::string& journalPath, const std::string& name);

// A file of another folder, trashed the way any program trashes it.
void TrashAnother(const std::string& name, const std::string& content) {
    TempTree elsewhere;
    elsewhere.Write(name, content, 1600);
    const FdGuard folder(::open(elsewhere.Path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_EQ(MoveToFreedesktopTrash(folder.get(), name, nullptr).status, WriteStatus::Done);
}

std::string TrashItemOf(const std::string& journalPath, const std::string& name) {
    std::ifstream in(journalPath);
    std::string line;
    std::string number;
    while (std::getline(in, line)) {
        if (line.starts_with("B\t") && line.find("\t" + name + "\t") != std::string::npos)
            number = line.substr(2, line.find('\t', 2) - 2);
        const std::string start = "T\t" + number + "\t";
        if (!number.empty() && line.starts_with(start)) {
            const std::string rest = line.substr(start.size());
            return rest.substr(0, rest.find('\t'));
        }
    }
    return {};
}

const Disturbance kDisturbances[] = {
    {"EditedAfterSyncIsLeftAlone",
     [](TempTree& target, const std::string&) { target.Write("newer.txt", "edited", 5000); },
     false,
     "changed since the synchronisation; left as it is.",
     {{"newer.txt", "edited"}, {"only-tgt.txt", "t"}, {"only-src.txt", ""}}},
    {"EditedAfterSyncWithForceIsUndone",
     [](TempTree& target, const std::string&) { target.Write("newer.txt", "edited", 5000); },
     true,
     "",
     {{"newer.txt", "tgt-old"}, {"only-tgt.txt", "t"}, {"only-src.txt", ""}}},
    {"TrashItemRemovedByHand",
     [](TempTree&, const std::string& journal) {
         fs::remove(TrashItemOf(journal, "only-tgt.txt"));
     },
     false,
     "/only-tgt.txt is no longer in the trash.",
     {{"newer.txt", "tgt-old"}, {"only-tgt.txt", ""}, {"only-src.txt", ""}}},
    {"JournalCutShortUndoesWhatItNames",
     [](TempTree&, const std::string& journal) {
         // Cut in the middle of the first deletion's line: the copies before stand.
         Damage(journal, [](std::string& text) { text.resize(text.find("\tdelete\t") + 3); });
     },
     false,
     "",
     {{"newer.txt", "tgt-old"}, {"only-tgt.txt", ""}, {"only-src.txt", ""}}},
    // The user emptied the trash; another folder's file of the same name was
    // trashed since and took the name there. It stays in the trash.
    {"TrashEmptiedThenAnotherFileTookItsName",
     [](TempTree&, const std::string& journal) {
         const std::string item = TrashItemOf(journal, "only-tgt.txt");
         fs::remove(item);
         fs::remove(fs::path(item).parent_path().parent_path() / "info" / "only-tgt.txt.trashinfo");
         TrashAnother("only-tgt.txt", "another folder's");
     },
     false,
     "/only-tgt.txt is no longer in the trash.",
     {{"newer.txt", "tgt-old"}, {"only-tgt.txt", ""}, {"only-src.txt", ""}},
     [](const std::string&) {
         size_t kept = 0;
         for (const auto& [origin, state] : TrashedByOrigin()) {
             if (state.starts_with("another folder's ")) ++kept;
         }
         EXPECT_EQ(kept, 1u);
     }},
    // Same name, same Path=, another object: a different size.
    {"TrashItemSwappedForAnotherObject",
     [](TempTree&, const std::string& journal) {
         std::ofstream(TrashItemOf(journal, "only-tgt.txt"), std::ios::trunc) << "other";
     },
     false,
     "/only-tgt.txt is no longer in the trash.",
     {{"newer.txt", "tgt-old"}, {"only-tgt.txt", ""}, {"only-src.txt", ""}}},
    // A journal edited to take a file from outside any trash.
    {"HandEditedJournalPointsOutsideTheTrash",
     [](TempTree&, const std::string& journal) {
         const std::string outside = fs::path(journal).parent_path() / "outside.txt";
         std::ofstream(outside) << "t";
         Damage(journal, [&](std::string& text) {
             const std::string item = TrashItemOf(journal, "only-tgt.txt");
             const std::string encoded = PercentEncodePath(item);
             text.replace(text.find(encoded), encoded.size(), PercentEncodePath(outside));
         });
     },
     false,
     "/only-tgt.txt is no longer in the trash.",
     {{"newer.txt", "tgt-old"}, {"only-tgt.txt", ""}, {"only-src.txt", ""}},
     [](const std::string& journal) {
         EXPECT_TRUE(fs::exists(fs::path(journal).parent_path() / "outside.txt"));
     }},
    {"JournalDamagedInTheMiddle",
     [](TempTree&, const std::string& journal) {
         Damage(journal, [](std::string& text) {
             const size_t at = text.find("\tdelete\t");
             text.replace(text.rfind('\n', at) + 1, 1, "?");
         });
     },
     false,
     "",
     {{"newer.txt", "tgt-old"}, {"only-tgt.txt", ""}, {"only-src.txt", ""}}},
};

TEST_P(UndoDisturbed, UndoesWhatItCanAndSaysWhatItLeaves) {
    const Disturbance& d = GetParam();
    Compare();
    JournaledRun(SyncMethod::Force);
    d.disturb(target, LastJournalPath());
    const Undone undone = UndoLast(d.force);
    const bool damaged = std::string(d.name).starts_with("Journal");
    EXPECT_EQ(!undone.problem.empty(), damaged) << undone.problem;
    if (d.message.empty()) {
        EXPECT_TRUE(undone.words.empty()) << undone.words.front();
    } else {
        ASSERT_EQ(undone.words.size(), 1u);
        EXPECT_TRUE(undone.words[0].ends_with(d.message)) << undone.words[0];
    }
    for (const auto& [path, content] : d.targetAfter) {
        EXPECT_EQ(target.Exists(path) ? target.Read(path) : std::string(), content) << path;
    }
    if (d.alsoAfter) d.alsoAfter(LastJournalPath());
}

INSTANTIATE_TEST_SUITE_P(Cases, UndoDisturbed, ::testing::ValuesIn(kDisturbances),
                         [](const ::testing::TestParamInfo<Disturbance>& d) {
                             return std::string(d.param.name);
                         });

// Kills its own process at the start or the end of change `at` (after the
// journal line of its start, before that of its end).
class KillingRecorder : public ActionRecorder {
  public:
    KillingRecorder(JournalWriter& journal, size_t at, bool atEnd)
        : journal_(journal), at_(at), atEnd_(atEnd) {}
    size_t Begin(ActionKind kind, FileSystem& fs, const std::string& root, const std::string& path,
                 bool exists, const EntryFacts& before, const EntryFacts& expected) override {
        const size_t n = journal_.Begin(kind, fs, root, path, exists, before, expected);
        if (n == at_ && !atEnd_) ::kill(::getpid(), SIGKILL);
        return n;
    }
    void Trashed(size_t action, std::string_view trashPath) override {
        journal_.Trashed(action, trashPath);
    }
    void End(size_t action, bool done) override {
        if (action == at_ && atEnd_) ::kill(::getpid(), SIGKILL);
        journal_.End(action, done);
    }

  private:
    JournalWriter& journal_;
    size_t at_;
    bool atEnd_;
};

struct Kill {
    size_t at;
    bool atEnd;
};

class UndoAfterKill : public UndoTest, public ::testing::WithParamInterface<Kill> {};

// A sync killed midway leaves a journal that undo understands: the trees come
// back as they were, whether the change in hand had been made or not.
TEST_P(UndoAfterKill, PutsTheTreesBack) {
    const TreeState sourceBefore = FullSnapshot(source);
    const TreeState targetBefore = FullSnapshot(target);
    Compare();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        JournalWriter journal;
        if (!journal.Open(Header(SyncMethod::Force)).Ok()) ::_exit(3);
        KillingRecorder killer(journal, GetParam().at, GetParam().atEnd);
        RowOperations operations(comparer.Rules(), Sides(), prompter);
        operations.SetRecorder(&killer);
        RunSyncPlan(operations, Plan(SyncMethod::Force));
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
    const Undone undone = UndoLast();
    EXPECT_TRUE(undone.words.empty()) << undone.words.front();
    EXPECT_EQ(FullSnapshot(source), sourceBefore);
    EXPECT_EQ(FullSnapshot(target), targetBefore);
}

// Change 2 is a new file, 8 a replacement, 11 a deletion, 12 a folder removal.
INSTANTIATE_TEST_SUITE_P(Points, UndoAfterKill,
                         ::testing::Values(Kill{0, false}, Kill{2, true}, Kill{8, false},
                                           Kill{8, true}, Kill{11, true}, Kill{12, true}),
                         [](const ::testing::TestParamInfo<Kill>& kill) {
                             return std::string(kill.param.atEnd ? "End" : "Begin") +
                                    std::to_string(kill.param.at);
                         });

// An undo stopped midway and run again finishes the work: what is back
// already counts as done, nothing is said to have changed, and both trees end
// as before the sync. Until then a plain undo goes on with that undo.
TEST_F(UndoTest, StoppedUndoRunAgainFinishes) {
    const TreeState sourceBefore = FullSnapshot(source);
    const TreeState targetBefore = FullSnapshot(target);
    Compare();
    JournaledRun(SyncMethod::Force);
    const std::string synced = JournalStore::Ids().back();
    for (const size_t stopAfter : {size_t{3}, size_t{7}}) {
        const Undone part = UndoId(synced, false, stopAfter);
        EXPECT_TRUE(part.words.empty()) << part.words.front();
        EXPECT_NE(FullSnapshot(target), targetBefore);
        EXPECT_EQ(JournalStore::IdToUndo(), synced);
    }
    const Undone rest = UndoId(synced);
    EXPECT_TRUE(rest.words.empty()) << rest.words.front();
    EXPECT_EQ(std::count(rest.results.begin(), rest.results.end(), UndoResult::NotReached), 0);
    EXPECT_EQ(FullSnapshot(source), sourceBefore);
    EXPECT_EQ(FullSnapshot(target), targetBefore);
    // Finished: a plain undo now takes the undo itself back.
    EXPECT_NE(JournalStore::IdToUndo(), synced);
}

// A sync stopped with Ctrl-C midway: `history` called it finished and counted
// the copy it stopped as made (one more new file than the sync's summary).
// The journal says the run was stopped and ends the stopped copy as not done.
TEST_F(UndoTest, StoppedSyncHistoryCountedOneCopyMoreThanTheSummary) {
    Compare();
    std::atomic<int32_t> cancel{0};
    JournalWriter journal;
    ASSERT_TRUE(journal.Open(Header(SyncMethod::Force)).Ok());
    // Stops the run as its second file copy begins.
    struct StopAtSecondCopy : ActionRecorder {
        JournalWriter* journal = nullptr;
        std::atomic<int32_t>* cancel = nullptr;
        int copies = 0;
        size_t Begin(ActionKind kind, FileSystem& fs, const std::string& root,
                     const std::string& path, bool exists, const EntryFacts& before,
                     const EntryFacts& expected) override {
            if ((kind == ActionKind::CopyNew || kind == ActionKind::Replace) && ++copies == 2)
                cancel->store(1);
            return journal->Begin(kind, fs, root, path, exists, before, expected);
        }
        void Trashed(size_t action, std::string_view trashPath) override {
            journal->Trashed(action, trashPath);
        }
        void End(size_t action, bool done) override { journal->End(action, done); }
    } recorder;
    recorder.journal = &journal;
    recorder.cancel = &cancel;
    RowOperations operations(comparer.Rules(), Sides(), prompter);
    operations.SetCancelWord(&cancel);
    operations.SetRecorder(&recorder);
    RunSyncPlan(operations, Plan(SyncMethod::Force));
    ASSERT_TRUE(operations.Aborted());
    journal.Finish("stopped", RunEnd(true, false));

    SyncJournal read;
    ASSERT_TRUE(JournalStore::Read(JournalStore::Ids().back(), read).Ok());
    EXPECT_TRUE(read.finished);
    EXPECT_TRUE(read.stopped);
    EXPECT_TRUE(read.partial);
    size_t copiesMade = 0;
    for (const JournalRecord& record : read.records) {
        EXPECT_TRUE(record.ended) << record.path << " began and never ended";
        const bool copy = record.kind == ActionKind::CopyNew || record.kind == ActionKind::Replace;
        if (copy && record.done) ++copiesMade;
    }
    EXPECT_EQ(copiesMade, operations.Tally().filesCopied);
}

}  // namespace
}  // namespace ravelmoor::test
