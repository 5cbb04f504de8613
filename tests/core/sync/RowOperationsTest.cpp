#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>

#include "support/FaultyFileSystem.h"
#include "support/SyncFixture.h"

namespace ravelmoor::test {
namespace {

// The answers to the overwrite questions of a batch, then to the question
// before the trash (declined): No, Yes and Yes to all go on; Cancel stops the
// plan with nothing half-written, and the deletions after it do not run. The
// old version of each replaced file is in the trash, and nothing else.
TEST_F(SyncTest, UpdateAndPrune_AnswersToTheQuestions_AreFollowed) {
    using A = BatchAnswer;
    struct Case {
        A first, second;
        const char* a;
        const char* b;
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        {A::No, A::Yes, "old a", "new b", {"overwrite", "overwrite", "trash"}},
        {A::YesToAll, A::No, "new a", "new b", {"overwrite", "trash"}},
        {A::Cancel, A::Yes, "old a", "old b", {"overwrite"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a + std::string(" ") + c.b);
        EmptyTrash();
        for (const char* name : {"a.txt", "b.txt"}) {
            source.Write(name, std::string("new ") + name[0], 2000);
            target.Write(name, std::string("old ") + name[0], 1000);
        }
        target.Write("old/x.txt", "x");
        target.Write("old/y.txt", "y");
        Compare();
        prompter.ScriptBatch({c.first, c.second});
        prompter.Script({false});
        const size_t before = prompter.Log().size();
        Run(SyncMethod::UpdateAndPrune);

        EXPECT_EQ(target.Read("a.txt"), c.a);
        EXPECT_EQ(target.Read("b.txt"), c.b);
        EXPECT_EQ(Snapshot(target).size(), 5u);  // no temporary file, nothing deleted
        EXPECT_EQ(Rows(comparer), FreshRows());
        const auto log = prompter.Log();
        std::vector<std::string> asked;
        for (size_t k = before; k < log.size(); ++k)
            asked.push_back(log[k].kind);
        ASSERT_EQ(asked, c.asked);
        EXPECT_EQ(log[before].text, "\"" + target.Full("a.txt") +
                                        "\" already exists. Do you want to replace it with \"" +
                                        source.Full("a.txt") + "\"?");
        if (c.asked.back() == "trash") {
            EXPECT_EQ(log.back().text,
                      "Are you sure you want to move these 2 objects to the trash?");
        }
        TreeState replaced;
        if (c.a == std::string("new a")) replaced[target.Full("a.txt")] = "old a @1000.0 644";
        if (c.b == std::string("new b")) replaced[target.Full("b.txt")] = "old b @1000.0 644";
        EXPECT_EQ(TrashedByOrigin(), replaced);
    }
}

// Where the Target has no trash (a server), replacing a file loses its old
// version: the replace question comes first, the question about losing the
// old version only after a Yes, and a replaced file is counted as replaced,
// never as a deleted object.
TEST_F(SyncTest, Update_TargetWithoutTrash_AsksToReplaceBeforeTheOldVersionIsLost) {
    using A = BatchAnswer;
    struct Case {
        std::vector<A> answers;
        const char* left;
        std::vector<std::string> asked;
        uint64_t replacedForGood;
    };
    const Case cases[] = {
        {{A::No}, "old", {"overwrite"}, 0},
        {{A::Yes, A::No}, "old", {"overwrite", "permanent"}, 0},
        {{A::Yes, A::Yes}, "new", {"overwrite", "permanent"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left + std::to_string(c.answers.size()));
        source.Write("a.txt", "new", 2000);
        target.Write("a.txt", "old", 1000);
        auto faulty = std::make_shared<FaultyFileSystem>();
        faulty->NoTrash();
        comparer.SetLocalFileSystem(faulty);
        Compare();
        if (c.answers.size() == 1) {
            prompter.ScriptBatch({c.answers[0]});
        } else {
            prompter.ScriptBatch({c.answers[0], c.answers[1]});
        }
        const size_t before = prompter.Log().size();
        const SyncTally tally = Run(SyncMethod::Update);

        EXPECT_EQ(target.Read("a.txt"), c.left);
        std::vector<std::string> asked;
        const auto log = prompter.Log();
        for (size_t k = before; k < log.size(); ++k)
            asked.push_back(log[k].kind);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(tally.replacedForGood, c.replacedForGood);
        EXPECT_EQ(tally.deletedForGood, 0u);
        EXPECT_EQ(tally.notDone, c.replacedForGood == 0 ? 1u : 0u);
    }
}

TEST_F(SyncTest, CopyRows_StoppedBatch_ChangedOnlyWhenSomeDestinationExists) {
    source.Write("a.txt", "new a", 2000);
    target.Write("a.txt", "old a", 1000);
    source.Write("b.txt", "only in source");
    auto faulty = std::make_shared<FaultyFileSystem>();
    faulty->FailWrite("/b.txt", ENOSPC);
    comparer.SetLocalFileSystem(faulty);
    Compare();
    const uint32_t a = RowOf("a.txt");
    const uint32_t b = RowOf("b.txt");
    for (const bool withExisting : {false, true}) {
        prompter.ScriptBatch({BatchAnswer::No});
        prompter.Script({false});  // Cancel after the failure
        RowOperations operations(comparer.Rules(), Sides(), prompter);
        const std::vector<uint32_t> rows =
            withExisting ? std::vector<uint32_t>{a, b} : std::vector<uint32_t>{b};
        EXPECT_EQ(operations.CopyRows(rows, true), withExisting);
        EXPECT_TRUE(operations.Aborted());
    }
    EXPECT_FALSE(target.Exists("b.txt"));
}

// One object that changed or can not be reached is one object: it is left
// as it is, said once, and its neighbours are copied.
TEST_F(SyncTest, CopyRows_ObjectChangedOrUnreachable_NeighboursAreCopied) {
    const std::string changed = " changed since the comparison; left as it is" + std::string(kGoOn);
    struct Case {
        const char* name;
        std::function<void(TempTree& from, TempTree& to, FaultyFileSystem&)> change;
        bool onTarget;  // the object is the destination, not the original
        std::string text;
    };
    const Case cases[] = {
        {"source gone", [](TempTree& s, TempTree&, auto&) { std::remove(s.Full("b.txt").c_str()); },
         false, changed},
        {"source rewritten", [](TempTree& s, TempTree&, auto&) { s.Write("b.txt", "bb", 1500); },
         false, changed},
        {"source became a folder",
         [](TempTree& s, TempTree&, auto&) {
             std::remove(s.Full("b.txt").c_str());
             s.Write("b.txt/inner", "i");
         },
         false, changed},
        {"destination appeared", [](TempTree&, TempTree& t, auto&) { t.Write("b.txt", "m", 900); },
         true, changed},
        {"source unreachable", [](TempTree&, TempTree&, auto& f) { f.FailFacts("/b.txt", EACCES); },
         false, ": Permission denied" + std::string(kGoOn)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearTrees();
        for (const char* name : {"a.txt", "b.txt", "d/c.txt"})
            source.Write(name, name, 1000);
        auto faulty = std::make_shared<FaultyFileSystem>();
        comparer.SetLocalFileSystem(faulty);
        Compare();
        c.change(source, target, *faulty);
        const TreeState sourceBefore = Snapshot(source);
        TreeState targetAfter = Snapshot(target);
        const size_t asked = prompter.Texts().size();
        RowOperations operations(comparer.Rules(), Sides(), prompter);
        operations.CopyRows(Plan(SyncMethod::Augment).copyToTarget, true);

        for (const char* copied : {"a.txt", "d", "d/c.txt"})
            targetAfter[copied] = sourceBefore.at(copied);
        EXPECT_EQ(Snapshot(target), targetAfter);
        EXPECT_EQ(Snapshot(source), sourceBefore);
        EXPECT_EQ(operations.Tally().notDone, 1u);
        const std::string path = (c.onTarget ? target : source).Full("b.txt");
        const std::string said = c.text == changed
                                     ? "\"" + path + "\"" + c.text
                                     : "Can not access file: \"" + path + "\"" + c.text;
        const std::vector<std::string> texts = prompter.Texts();
        EXPECT_EQ(
            std::vector<std::string>(texts.begin() + static_cast<ptrdiff_t>(asked), texts.end()),
            std::vector<std::string>{said});
    }
}

// With old versions not kept, a Target file edited while its replacement
// was being copied (after its check) was overwritten. Now the edit is kept in
// the trash (and the journal says where); an untouched one is replaced.
TEST_F(SyncTest, NoKeepReplaced_TargetEditedDuringItsCopy_KeptInTheTrash) {
    struct Case {
        const char* name;
        bool edit;
        TreeState trashed;
    };
    const std::vector<Case> cases = {
        {"untouched", false, {}},
        {"edited", true, {{target.Full("a.txt"), "edited meanwhile @1500.0 644"}}},
    };
    for (const Case& c : cases) {
        EmptyTrash();
        source.Write("a.txt", std::string(300000, 's'), 2000);
        target.Write("a.txt", "old", 1000);
        auto faulty = std::make_shared<FaultyFileSystem>();
        comparer.SetLocalFileSystem(faulty);
        Compare();
        if (c.edit) {
            faulty->ChangeWhileReading("/a.txt",
                                       [this] { target.Write("a.txt", "edited meanwhile", 1500); });
        }
        RowOperations operations(comparer.Rules(), Sides(), prompter);
        operations.SetKeepReplaced(false);
        operations.CopyRows(Plan(SyncMethod::Update).copyToTarget, true);
        EXPECT_EQ(target.Read("a.txt"), source.Read("a.txt")) << c.name;
        EXPECT_EQ(TrashedByOrigin(), c.trashed) << c.name;
        EXPECT_EQ(operations.Tally().replacedToTrash, c.trashed.size()) << c.name;
        EXPECT_EQ(operations.Tally().notDone, 0u) << c.name;
    }
}

TEST_F(SyncTest, CopyRows_DestinationFolderMissing_CreatesParents) {
    source.Write("A/b/c.txt", "c", 1234);
    source.Write("A/other.txt", "o");
    Compare();
    RowOperations operations(comparer.Rules(), Sides(), prompter);
    EXPECT_TRUE(operations.CopyRows({RowOf("A/b/c.txt")}, true));

    EXPECT_EQ(target.Read("A/b/c.txt"), "c");
    EXPECT_EQ(Rows(comparer),
              (std::vector<std::string>{
                  "matched matched folder 0 A", "unmatched missing file 0 A/other.txt",
                  "matched matched folder 0 A/b", "matched matched file 0 A/b/c.txt"}));
}

struct CopyFault {
    const char* what;
    void (*inject)(FaultyFileSystem& fs);
    bool goOn;  // the answer to the question after the failure
    const char* reason;
};

const CopyFault kCopyFaults[] = {
    {"source read breaks midway",
     [](FaultyFileSystem& fs) { fs.FailReadAfter("1-big.bin", 1 << 20); }, true,
     "the original could not be read"},
    {"disk full", [](FaultyFileSystem& fs) { fs.FailWrite("/1-big.bin", ENOSPC); }, false,
     "No space left on device"},
    {"source vanished", [](FaultyFileSystem& fs) { fs.FailOpen("1-big.bin"); }, false,
     "the original can not be opened"},
};

TEST_F(SyncTest, CopyRows_FailingCopy_LeavesTheDestinationAndGoesOnAsAnswered) {
    const std::string big(3 << 20, 'n');
    for (const auto& fault : kCopyFaults) {
        SCOPED_TRACE(fault.what);
        source.Write("1-big.bin", big, 2000);
        target.Write("1-big.bin", "old", 1000);
        source.Write("2-next.txt", "next");
        std::remove(target.Full("2-next.txt").c_str());
        auto faulty = std::make_shared<FaultyFileSystem>();
        fault.inject(*faulty);
        comparer.SetLocalFileSystem(faulty);
        Compare();
        prompter.Script({fault.goOn});
        const size_t asked = prompter.Log().size();
        TreeState expected = Snapshot(target);
        if (fault.goOn) expected["2-next.txt"] = Snapshot(source).at("2-next.txt");
        Run(SyncMethod::Update);

        // The old file as it was, no temporary file left beside it.
        EXPECT_EQ(Snapshot(target), expected);
        EXPECT_EQ(Rows(comparer)[0], "newer older file 0 1-big.bin");
        const auto log = prompter.Log();
        ASSERT_EQ(std::count_if(log.begin() + asked, log.end(),
                                [](const auto& shown) { return shown.kind == "okcancel"; }),
                  1);
        EXPECT_EQ(prompter.Log().back().text, "Can not copy \"" + source.Full("1-big.bin") +
                                                  "\" to \"" + target.Full("1-big.bin") +
                                                  "\": " + fault.reason + kGoOn);
    }
}

TEST_F(SyncTest, DeleteRows_NoTrash_DeletesForGoodOnlyWhenAnsweredYes) {
    const std::string dataHome = DataHome();
    TempTree notAFolder;
    notAFolder.Write("data", "a file where the trash folder would go");
    for (const BatchAnswer answer : {BatchAnswer::No, BatchAnswer::Yes}) {
        target.Write("old/gone.txt", "g");
        Compare();
        ::setenv("XDG_DATA_HOME", notAFolder.Full("data").c_str(), 1);
        prompter.ScriptBatch({answer});
        Run(SyncMethod::UpdateAndPrune);
        ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);

        const bool yes = answer == BatchAnswer::Yes;
        EXPECT_EQ(target.Exists("old/gone.txt"), !yes);
        EXPECT_EQ(target.Exists("old"), !yes);
        const std::vector<std::string> kept = {"missing unmatched folder 0 old",
                                               "missing unmatched file 0 old/gone.txt"};
        EXPECT_EQ(Rows(comparer), yes ? std::vector<std::string>() : kept);
        EXPECT_EQ(prompter.Log().back().text,
                  "\"" + target.Full("old/gone.txt") +
                      "\" can not be moved to the trash (there is no trash folder). Do you want "
                      "to delete it permanently?");
    }
    EXPECT_TRUE(TrashedNames().empty());
}

TEST_F(SyncTest, Force_ExcludedRows_AreNeverTouched) {
    source.Write("keep.txt", "source", 2000);
    target.Write("keep.txt", "target", 1000);
    target.Write("junk/keep.log", "log");
    target.Write("junk/x.txt", "x");
    Compare({"keep"});
    const SyncTally tally = Run(SyncMethod::Force);

    EXPECT_EQ(target.Read("keep.txt"), "target");
    EXPECT_EQ(target.Read("junk/keep.log"), "log");
    EXPECT_FALSE(target.Exists("junk/x.txt"));
    EXPECT_EQ(TrashedNames(), std::set<std::string>{"x.txt"});
    EXPECT_EQ(tally.notDone, 1u);  // the folder that still holds the excluded file
    EXPECT_EQ(Rows(comparer), (std::vector<std::string>{"newer older file 1 keep.txt",
                                                        "missing unmatched folder 0 junk",
                                                        "missing unmatched file 1 junk/keep.log"}));
}

}  // namespace
}  // namespace ravelmoor::test
