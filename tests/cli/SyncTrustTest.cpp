#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/CommandTest.h"
#include "core/journal/RootLock.h"

namespace ravelmoor {
namespace {

using ::testing::HasSubstr;

using test::RunRavelmoor;
namespace fs = std::filesystem;

// Every file below a tree with its content and time.
std::map<std::string, std::string> Contents(const test::TempTree& tree) {
    std::map<std::string, std::string> state;
    for (const auto& item : fs::recursive_directory_iterator(tree.Path())) {
        const std::string relative = item.path().string().substr(tree.Path().size() + 1);
        state[relative] = item.is_regular_file()
                              ? tree.Read(relative) + " @" + std::to_string(tree.Time(relative))
                              : "folder";
    }
    return state;
}

class SyncTrustTest : public test::CommandTest {};

// A byte changed while the copy was written (by a library in front of the
// program, standing in for a bad disk, cable or driver) was put in place with
// exit status 0. Now each copy is read back before it goes in place: the old
// files stay, the copies are named, exit status 1; nothing half-written stays.
TEST_F(SyncTrustTest, ByteChangedOnItsWay_CorruptedCopyPassed) {
    source.Write("big.bin", std::string(3000000, 'b'), 2000);
    source.Write("small.txt", "small and new", 2000);
    target.Write("big.bin", "old big", 1000);
    target.Write("small.txt", "old small", 1000);
    const auto before = Contents(target);
    auto environment = Environment();
    environment["LD_PRELOAD"] = RAVELMOOR_FLIP_LIBRARY;
    environment["ASAN_OPTIONS"] = "verify_asan_link_order=0";
    auto args = std::vector<std::string>{"sync", "--method", "update", "--yes"};
    args.insert(args.end(), {source.Path(), target.Path()});

    const auto flipped = RunRavelmoor(args, environment);
    EXPECT_EQ(flipped.exitCode, 1) << flipped.out << flipped.err;
    for (const char* name : {"big.bin", "small.txt"}) {
        EXPECT_THAT(flipped.err, HasSubstr("Can not copy \"" + source.Full(name) + "\" to \"" +
                                           target.Full(name) +
                                           "\": the copy read back differs from the original; it "
                                           "was not put in place."));
    }
    EXPECT_EQ(Contents(target), before);

    const auto whole = RunRavelmoor(args, Environment());
    EXPECT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(Contents(target), Contents(source));
}

// One byte changed in a larger copy: first, on either side of where one
// piece of the read-back ends and the next begins, in the last piece, last.
// Each is caught and nothing goes in place; a copy left alone goes in place
// with every byte (a read-back compared at the wrong place would refuse it).
TEST_F(SyncTrustTest, OneByteChangedAnywhereInTheCopy_IsCaught) {
    constexpr size_t kPiece = 128 * 1024;
    constexpr size_t kSize = 3 * kPiece + 5;
    std::string data(kSize, '\0');
    uint32_t x = 2463534242u;
    for (char& c : data) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    source.Write("data.bin", data, 2000);
    struct Case {
        const char* what;
        size_t at;
        bool caught;
    };
    const Case cases[] = {
        {"first byte", 0, true},
        {"last byte of a piece", kPiece - 1, true},
        {"first byte of the next", kPiece, true},
        {"in the last piece", 3 * kPiece + 2, true},
        {"last byte", kSize - 1, true},
        {"no byte", kSize + 1, false},
    };
    for (const Case& c : cases) {
        auto environment = Environment();
        environment["LD_PRELOAD"] = RAVELMOOR_FLIP_LIBRARY;
        environment["ASAN_OPTIONS"] = "verify_asan_link_order=0";
        environment["RAVELMOOR_FLIP_AT"] = std::to_string(c.at);
        const auto synced = RunRavelmoor(
            {"sync", "--method", "update", "--yes", source.Path(), target.Path()}, environment);
        if (c.caught) {
            EXPECT_EQ(synced.exitCode, 1) << c.what << ": " << synced.err;
            EXPECT_THAT(synced.err, HasSubstr("the copy read back differs from the original"))
                << c.what;
            EXPECT_TRUE(Contents(target).empty()) << c.what;
        } else {
            EXPECT_EQ(synced.exitCode, 0) << c.what << ": " << synced.err;
            EXPECT_EQ(target.Read("data.bin"), data) << c.what;
        }
    }
}

// A sync whose journal could not be written went on ("it can not be
// undone") and exited 0; undo then said it changed nothing. Now it refuses
// before changing anything, naming the journal and the reason, unless the
// person says --no-journal.
TEST_F(SyncTrustTest, JournalCanNotBeWritten_RefusesBeforeChangingAnything) {
    WriteDifferingTrees();
    const auto before = Contents(target);
    // A file where the state folder should be: no journal can be made below it.
    home.Write("state-file", "in the way");
    auto environment = Environment();
    environment["XDG_STATE_HOME"] = home.Full("state-file");
    auto args = std::vector<std::string>{"sync", "-r", "--method", "update-prune", "--yes"};
    args.insert(args.end(), {source.Path(), target.Path()});

    const auto refused = RunRavelmoor(args, environment);
    EXPECT_EQ(refused.exitCode, 2) << refused.err;
    EXPECT_THAT(refused.err, HasSubstr("Can not write the journal \"" + home.Full("state-file") +
                                       "/ravelmoor/journal/"));
    EXPECT_THAT(refused.err, HasSubstr("Not a directory."));
    EXPECT_THAT(refused.err, HasSubstr("Nothing was copied or deleted: add --no-journal"));
    EXPECT_EQ(Contents(target), before);

    args.insert(args.begin() + 1, "--no-journal");
    const auto knowingly = RunRavelmoor(args, environment);
    EXPECT_EQ(knowingly.exitCode, 0) << knowingly.err;
    EXPECT_EQ(target.Read("docs/report.txt"), "new");
}

// The disk under the journal fills up midway (a file size limit stands in
// for it): the sync stops before the change it could not write down, exits
// non-zero, and undo takes back every change it made.
TEST_F(SyncTrustTest, JournalFillsUpMidway_StopsAndEverythingDoneCanBeUndone) {
    for (int i = 0; i < 60; ++i)
        source.Write("file-with-a-longish-name-" + std::to_string(i) + ".txt", "x", 2000);
    const auto before = Contents(target);

    // Inherited by the program: writes past 2,048 bytes fail with "File too
    // large" instead of ending the process.
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const struct rlimit small = {2048, old.rlim_max};
    const sighandler_t previous = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    const auto synced = RunOnTrees({"sync", "--method", "force", "--yes"});
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, previous);

    EXPECT_EQ(synced.exitCode, 2) << synced.out << synced.err;
    EXPECT_THAT(synced.err, HasSubstr("File too large."));
    EXPECT_THAT(synced.err, HasSubstr("The synchronisation stopped before its next change"));
    const size_t copied = Contents(target).size();
    EXPECT_GT(copied, 0u);
    EXPECT_LT(copied, 60u);

    const auto undo = RunRavelmoor({"undo", "--yes"}, Environment());
    EXPECT_EQ(undo.exitCode, 0) << undo.out << undo.err;
    EXPECT_EQ(Contents(target), before);
}

// A Source sub-folder that could not be read made `compare` say the trees
// were identical (exit 0, JSON "identical": true) and `sync` exit 0. Now
// compare exits 3 naming what it could not read and never says identical;
// sync does what it can and exits 1; neither touches what lies below.
TEST_F(SyncTrustTest, UnreadableSourceSubfolder_CompareSaidIdentical) {
    for (auto* tree : {&source, &target}) {
        tree->Write("same.txt", "same", 1000);
        tree->Write("Private/x.txt", "x", 1000);
        tree->Write("secret.txt", "one", 1000);
    }
    target.Write("Private/x.txt", "target's own", 1000);
    target.Write("secret.txt", "two", 1000);
    source.Write("new.txt", "new", 2000);
    source.Chmod("Private", 0);
    source.Chmod("secret.txt", 0);
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        std::vector<std::string> out;
        std::vector<std::string> err;
    };
    const std::string folder = "Source: " + source.Full("Private/");
    const std::vector<Case> cases = {
        {"compare",
         {"compare", "-r"},
         3,
         {"1 difference: 1 only in Source. 3 rows match, 1 row is excluded. 1 object could not "
          "be read.\n"},
         {"Some folders could not be read", folder}},
        {"compare by content",
         {"compare", "-r", "--by", "crc"},
         3,
         {"2 objects could not be read.\n"},
         {"Some files could not be read.", "\n  secret.txt"}},
        {"compare as JSON",
         {"compare", "-r", "--format", "json"},
         3,
         {R"("identical":false,"complete":false,)",
          R"("unread":[{"side":"source","kind":"folder","path":"Private/"}])"},
         {folder}},
        {"sync",
         {"sync", "-r", "--method", "update", "--yes"},
         1,
         {"1 file copied"},
         {folder, "were left out: the folders are not known to agree."}},
    };
    for (const Case& c : cases) {
        auto args = c.args;
        args.insert(args.end(), {source.Path(), target.Path()});
        bool bound = false;
        const auto result = test::RunRavelmoorBoundByPermissions(args, Environment(), bound);
        if (!bound) GTEST_SKIP() << "file permissions can not be made to bind a run here";
        EXPECT_EQ(result.exitCode, c.exitCode) << c.name << result.out << result.err;
        EXPECT_THAT(result.out, ::testing::Not(HasSubstr("identical (")));
        for (const std::string& words : c.out)
            EXPECT_THAT(result.out, HasSubstr(words)) << c.name;
        for (const std::string& words : c.err)
            EXPECT_THAT(result.err, HasSubstr(words)) << c.name;
    }
    EXPECT_EQ(target.Read("Private/x.txt"), "target's own");
    EXPECT_EQ(target.Read("secret.txt"), "two");
    EXPECT_EQ(target.Read("new.txt"), "new");
}

// Two syncs on one Target both ran and left it a mix of both. Now a second
// sync or undo of a root in use (by any of its names) is refused with exit
// status 2, naming the holder; a lock whose holder is gone is taken over.
TEST_F(SyncTrustTest, TwoSyncsOnOneTarget_TheSecondIsRefusedNamingTheHolder) {
    WriteDifferingTrees();
    const auto synced = RunOnTrees({"sync", "-r", "--method", "update", "--yes"});
    ASSERT_EQ(synced.exitCode, 0) << synced.err;
    source.Write("later.txt", "later", 3000);
    const auto before = Contents(target);
    test::TempTree links;
    fs::create_directory_symlink(target.Path(), links.Full("another-name"));
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::string holder = "(process " + std::to_string(::getpid()) + " on " + host +
                               "); try again once it has ended.";
    struct Case {
        const char* name;
        std::vector<std::string> args;
    };
    const std::vector<Case> cases = {
        {"sync", {"sync", "--method", "update", "--yes", source.Path(), target.Path()}},
        {"sync through a link",
         {"sync", "--method", "update", "--yes", source.Path(), links.Full("another-name")}},
        {"undo", {"undo", "--yes"}},
    };
    RootLock held;
    ASSERT_TRUE(held.Take({target.Root(), target.Root(), true}).Ok());
    for (const Case& c : cases) {
        const auto refused = RunRavelmoor(c.args, Environment());
        EXPECT_EQ(refused.exitCode, 2) << c.name << refused.err;
        EXPECT_THAT(refused.err, HasSubstr("is being synchronised or undone by another run"));
        EXPECT_THAT(refused.err, HasSubstr(holder)) << c.name;
        EXPECT_EQ(Contents(target), before) << c.name;
    }
    held.Release();

    // A holder that died without a word: its lock is taken over.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string lock = RootLock::PathFor({target.Root(), target.Root(), true});
    std::ofstream(lock) << gone << " " << host << "\n";
    const auto taken = RunOnTrees({"sync", "--method", "update", "--yes"});
    EXPECT_EQ(taken.exitCode, 0) << taken.err;
    EXPECT_EQ(target.Read("later.txt"), "later");
    EXPECT_FALSE(fs::exists(lock));
}

}  // namespace
}  // namespace ravelmoor
