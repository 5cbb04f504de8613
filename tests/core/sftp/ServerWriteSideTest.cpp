#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <memory>

#include "core/ftp/FtpOpener.h"
#include "core/local/LocalFileSystem.h"
#include "core/sftp/SftpFileSystem.h"
#include "core/sftp/SftpOpener.h"
#include "support/FaultyFileSystem.h"
#include "support/FtpTestServer.h"
#include "support/ScriptedPrompter.h"
#include "support/ServerSyncTrees.h"
#include "support/SshTestServer.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::ServerSnapshot;

// The write side of a server called directly (FTP when the parameter is
// true, SFTP otherwise), against the server's folder on disk.
class ServerWriteSide : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            ftp = std::make_unique<test::FtpTestServer>(served.Path());
            ASSERT_TRUE(ftp->Running());
            side = OpenFtpSide(ftp->Connection("/"), prompter, nullptr).value;
            root = "/";
        } else {
            sftp = std::make_unique<test::SshTestServer>();
            ASSERT_TRUE(sftp->Running());
            side = OpenSftpSide(sftp->Connection(served.Root()), prompter, nullptr,
                                UnknownHostKey::Accept)
                       .value;
            root = served.Root();
        }
        ASSERT_NE(side, nullptr) << ::testing::PrintToString(prompter.Texts());
    }

    test::TempTree served;
    test::TempTree local;
    std::unique_ptr<test::FtpTestServer> ftp;
    std::unique_ptr<test::SshTestServer> sftp;
    test::ScriptedPrompter prompter;
    std::unique_ptr<FileSystem> side;
    std::string root;  // the side's folder, as its calls name it
};

INSTANTIATE_TEST_SUITE_P(Servers, ServerWriteSide, ::testing::Values(true, false),
                         [](const auto& ftp) { return ftp.param ? "Ftp" : "Sftp"; });

TEST_P(ServerWriteSide, AnswersLikeTheLocalSide) {
    served.Write("Docs/keep.txt", "kept");
    served.Write("Docs/old.txt", "old content", 1000);
    served.Write("file.txt", "x");
    served.Write("moving.txt", "m", 1500);
    served.MakeFolder("empty");
    local.Write("new.txt", "new content", 1234);
    const std::string from = local.Full("new.txt");
    LocalFileSystem localFs;
    CopyControl replace;
    replace.replaceExisting = true;
    struct Case {
        const char* call;
        WriteStatus status;
        WriteOutcome outcome;
    };
    const Case cases[] = {
        {"copy to a new place", WriteStatus::Done,
         side->CopyIn(localFs, from, root, "A/B/new.txt", {})},
        {"copy onto a file without replacing", WriteStatus::Exists,
         side->CopyIn(localFs, from, root, "Docs/keep.txt", {})},
        {"copy onto a file, replacing", WriteStatus::Done,
         side->CopyIn(localFs, from, root, "Docs/old.txt", replace)},
        {"copy below a file", WriteStatus::Refused,
         side->CopyIn(localFs, from, root, "file.txt/x", replace)},
        {"copy through ..", WriteStatus::Refused,
         side->CopyIn(localFs, from, root, "Docs/../x", replace)},
        {"make a folder that is there", WriteStatus::Exists, side->MakeFolder(root, "Docs")},
        {"make nested folders", WriteStatus::Done, side->MakeFolder(root, "N1/N2")},
        {"remove a folder with a file", WriteStatus::NotEmpty, side->RemoveFolder(root, "Docs")},
        {"remove an empty folder", WriteStatus::Done, side->RemoveFolder(root, "empty")},
        // A rename keeps what a sync takes on the server: never over anything.
        {"rename onto a file", WriteStatus::Exists,
         side->Rename(root, "Docs/old.txt", "Docs/keep.txt")},
        {"rename into new folders", WriteStatus::Done,
         side->Rename(root, "moving.txt", "R/S/moved.txt")},
        {"move to the trash", WriteStatus::NoTrash, side->MoveToTrash(root, "file.txt")},
        {"delete a file", WriteStatus::Done, side->DeletePermanently(root, "file.txt")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.outcome.status, c.status) << c.call << ": " << c.outcome.reason;
    EXPECT_FALSE(side->HasTrash());
    EXPECT_EQ(ServerSnapshot(served), (test::ServerTreeState{{"A", "folder"},
                                                             {"A/B", "folder"},
                                                             {"A/B/new.txt", "new content @1234"},
                                                             {"Docs", "folder"},
                                                             {"Docs/keep.txt", "kept @1600000000"},
                                                             {"Docs/old.txt", "new content @1234"},
                                                             {"N1", "folder"},
                                                             {"N1/N2", "folder"},
                                                             {"R", "folder"},
                                                             {"R/S", "folder"},
                                                             {"R/S/moved.txt", "m @1500"}}));
    EXPECT_TRUE(prompter.Texts().empty()) << ::testing::PrintToString(prompter.Texts());
}

// A name that is not UTF-8 landed on an FTP server under another name and was
// reported as copied; the next compare showed two rows. FTP refuses it per
// file and the server keeps nothing; SFTP stores the bytes as they are.
TEST_P(ServerWriteSide, NonUtf8NameReportedCopiedUnderAnotherName) {
    const std::string name = "caf\xe9.txt";
    local.Write(name, "bytes");
    LocalFileSystem localFs;
    const WriteOutcome copied = side->CopyIn(localFs, local.Full(name), root, name, {});
    const WriteOutcome made = side->MakeFolder(root, "dir\xff");
    if (GetParam()) {
        EXPECT_EQ(copied.status, WriteStatus::Refused);
        EXPECT_EQ(copied.reason,
                  "the name is not UTF-8, so the server would keep it under another name");
        EXPECT_EQ(made.status, WriteStatus::Refused);
        EXPECT_TRUE(ServerSnapshot(served).empty());
    } else {
        EXPECT_EQ(copied.status, WriteStatus::Done) << copied.reason;
        EXPECT_EQ(made.status, WriteStatus::Done) << made.reason;
        EXPECT_EQ(ServerSnapshot(served).count(name), 1U);
    }
}

TEST_P(ServerWriteSide, FailedOrCancelledUploadLeavesTheDestinationAsItWas) {
    served.Write("target.bin", "the old content", 1000);
    local.Write("big.bin", std::string(300000, 'n'));
    const test::ServerTreeState before = ServerSnapshot(served);
    test::FaultyFileSystem breaking;
    breaking.FailReadAfter("big.bin", 100000);
    CopyControl replace;
    replace.replaceExisting = true;
    const WriteOutcome failed =
        side->CopyIn(breaking, local.Full("big.bin"), root, "target.bin", replace);
    EXPECT_EQ(failed.status, WriteStatus::Failed);
    EXPECT_EQ(ServerSnapshot(served), before);

    std::atomic<int32_t> cancel{1};
    replace.cancel = &cancel;
    LocalFileSystem localFs;
    const WriteOutcome cancelled =
        side->CopyIn(localFs, local.Full("big.bin"), root, "target.bin", replace);
    EXPECT_EQ(cancelled.status, WriteStatus::Cancelled);
    EXPECT_EQ(ServerSnapshot(served), before);
}

// An upload keeps many writes in flight: a connection that drops while their
// answers come back ends the copy as failed, says so once, and leaves the
// server's file as it was; the writes that were answered took every byte in
// order (a large copy over a good connection arrives whole).
TEST(SftpPipelinedUpload, ArrivesWholeAndADropMidwayLeavesTheDestination) {
    test::SshTestServer server;
    ASSERT_TRUE(server.Running());
    test::TempTree served;
    test::TempTree local;
    std::string content(5 * 1024 * 1024 + 12345, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>((i * 7919) >> 5);
    local.Write("big.bin", content, 1234);
    served.Write("target.bin", "the old content", 1000);
    LocalFileSystem localFs;
    CopyControl replace;
    replace.replaceExisting = true;
    {
        test::ScriptedPrompter prompter;
        auto side = OpenSftpSide(server.Connection(served.Root()), prompter, nullptr,
                                 UnknownHostKey::Accept)
                        .value;
        ASSERT_NE(side, nullptr);
        const WriteOutcome copied =
            side->CopyIn(localFs, local.Full("big.bin"), served.Root(), "whole.bin", replace);
        EXPECT_EQ(copied.status, WriteStatus::Done) << copied.reason;
        EXPECT_EQ(served.Read("whole.bin"), content);
        EXPECT_EQ(served.Time("whole.bin"), 1234);
    }
    ASSERT_EQ(::unlink(served.Full("whole.bin").c_str()), 0);
    const test::ServerTreeState before = ServerSnapshot(served);
    // The answers before the upload (version, folders, facts, the open) are
    // far below this; 160 write answers are far above it.
    server.DropAfter(3000);
    test::ScriptedPrompter prompter;
    auto side =
        OpenSftpSide(server.Connection(served.Root()), prompter, nullptr, UnknownHostKey::Accept)
            .value;
    ASSERT_NE(side, nullptr);
    const WriteOutcome dropped =
        side->CopyIn(localFs, local.Full("big.bin"), served.Root(), "target.bin", replace);
    EXPECT_EQ(dropped.status, WriteStatus::Failed);
    EXPECT_NE(dropped.reason.find("writing the file"), std::string::npos) << dropped.reason;
    EXPECT_EQ(prompter.Texts().size(), 1U) << ::testing::PrintToString(prompter.Texts());
    side.reset();
    // Only the temporary copy may be left where the connection broke: never
    // under the destination's name.
    test::ServerTreeState after = ServerSnapshot(served);
    std::erase_if(after, [](const auto& item) { return IsTemporaryName(item.first); });
    EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace ravelmoor
