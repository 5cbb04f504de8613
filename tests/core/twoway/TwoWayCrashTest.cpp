#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/launch/StartSync.h"
#include "core/twoway/TwoWaySession.h"
#include "support/ComparisonHarness.h"
#include "support/RunProgram.h"
#include "support/ScriptedPrompter.h"
#include "support/SyncFixture.h"
#include "support/TempTree.h"

namespace ravelmoor::test {
namespace {

using Files = std::map<std::string, std::string>;

// The journals and pair memories of this test, apart from other tests'.
const TempTree& StateFolder() {
    static const TempTree folder;
    return folder;
}

ProgramResult RunIn(const std::vector<std::string>& args) {
    return RunRavelmoor(args, {{"XDG_STATE_HOME", StateFolder().Path()}});
}

ProgramResult TwoWay(const TempTree& a, const TempTree& b) {
    return RunIn({"sync", "--method", "two-way", "-r", "--yes", a.Path(), b.Path()});
}

// Kills its own process once `at` objects are settled: after the change and
// its journal record, before anything else learns of it.
class KillAfter : public SyncObserver {
  public:
    explicit KillAfter(size_t at) : at_(at) {}
    void ActionSettled(ListSide, bool, uint32_t, ItemResult, std::string_view) override {
        if (++settled_ > at_) ::kill(::getpid(), SIGKILL);
    }

  private:
    size_t at_;
    size_t settled_ = 0;
};

constexpr int64_t kLater = TempTree::kDefaultTime + 500;

// A run killed after each of several actions, then run again, ends with both
// trees holding every edit (one made after the kill too), with no conflict,
// and a third run finds nothing to do.
TEST(TwoWayCrash, KilledAfterAnyActionTheNextRunConverges) {
    const Files expected = {{"a.txt", "a2"}, {"b.txt", "b2"}, {"d.txt", "new on Target"},
                            {"e", "/"},      {"e/1", "one"},  {"e/2", "two"},
                            {"g2.txt", "g"}, {"keep", "/"},   {"keep/k", "k"}};
    for (const size_t at : {0, 1, 2, 3, 4, 5, 6}) {
        SCOPED_TRACE("killed after " + std::to_string(at) + " actions");
        EmptyTrash();
        TempTree a;
        TempTree b;
        for (TempTree* tree : {&a, &b}) {
            for (const char* name : {"a.txt", "b.txt", "c.txt", "f.txt", "g.txt"})
                tree->Write(name, std::string(1, name[0]));
            tree->Write("keep/k", "k");
        }
        ASSERT_EQ(TwoWay(a, b).exitCode, 0);
        a.Write("a.txt", "a2", kLater);
        b.Write("b.txt", "b2", kLater);
        std::filesystem::remove(a.Full("c.txt"));
        b.Write("d.txt", "new on Target", kLater);
        a.Write("e/1", "one", kLater);
        a.Write("e/2", "two", kLater);
        std::filesystem::remove(b.Full("f.txt"));
        std::filesystem::rename(a.Full("g.txt"), a.Full("g2.txt"));

        ScriptedPrompter prompter;
        ComparisonHarness comparison(prompter);
        comparison.Reset({});
        comparison.Start(a.Root(), b.Root(), true);
        comparison.Wait();
        ASSERT_EQ(comparison.Phase(), ComparisonPhase::Completed);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::setenv("XDG_STATE_HOME", StateFolder().Path().c_str(), 1);
            auto session = std::make_shared<TwoWaySession>(comparison, TwoWayOptions{});
            SyncJob job;
            job.method = SyncMethod::TwoWay;
            if (!session->Open().Ok() || !session->Plan(job.plan).Ok()) ::_exit(3);
            job.twoWay = session;
            job.compareAgain = [&] {
                comparison.Start(a.Root(), b.Root(), true);
                comparison.Wait();
                return comparison.Phase() == ComparisonPhase::Completed;
            };
            const SyncStart start = StartSync(comparison, std::move(job), prompter);
            if (!start.outcome.Ok()) ::_exit(3);
            KillAfter killer(at);
            start.run->SetObserver(&killer);
            start.run->Run();
            ::_exit(4);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
        // An edit made after the kill, over what the killed run had copied,
        // is an edit on one side only: no conflict.
        Files want = expected;
        if (b.Read("a.txt") == "a2") {
            b.Write("a.txt", "a3", kLater + 100);
            want["a.txt"] = "a3";
        }

        const ProgramResult again = TwoWay(a, b);
        EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
        EXPECT_EQ(again.out.find("conflict"), std::string::npos) << again.out;
        EXPECT_EQ(a.Contents(), want);
        EXPECT_EQ(b.Contents(), want);
        // What was deleted is in the trash, from whichever run deleted it.
        const TreeState trashed = TrashedByOrigin();
        EXPECT_TRUE(trashed.contains(b.Full("c.txt")));
        EXPECT_TRUE(trashed.contains(a.Full("f.txt")));
        const ProgramResult third =
            RunIn({"sync", "--method", "two-way", "-r", "-n", a.Path(), b.Path()});
        EXPECT_EQ(third.exitCode, 0) << third.out << third.err;
    }
}

}  // namespace
}  // namespace ravelmoor::test
