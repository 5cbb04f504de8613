#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "core/ftp/FtpConnection.h"
#include "core/launch/CompareLaunch.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

TEST(NormaliseFolder, TrimsAndMakesAbsolute) {
    test::TempTree tree;
    tree.MakeFolder("Data/Sub");
    ASSERT_EQ(::chdir(tree.Path().c_str()), 0);
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"  Data/Sub/ ", tree.Path() + "/Data/Sub"},
        {"Data/./Sub", tree.Path() + "/Data/Sub"},
        {tree.Path() + "/Data//", tree.Path() + "/Data"},
        {"/", "/"},
        {"  ", ""},
        {"no/such/folder/", "no/such/folder"},  // kept as typed when nothing is there
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormaliseFolder(c.in), c.out) << "'" << c.in << "'";
}

TEST(CheckCompareSides, MessagesInLaunchOrder) {
    test::TempTree tree;
    tree.MakeFolder("a");
    tree.MakeFolder("b");
    tree.Write("file", "x");
    // "Work" is stored as an FTP connection without a user, and as an SFTP
    // one; "Box" as an SFTP one.
    ConnectionLookup lookup;
    lookup.ftp = [](std::string_view name) {
        return name == "Work" ? FtpConnection{"127.0.0.1:1", "", "", "/pub", false}
                              : FtpConnection{};
    };
    lookup.sftp = [](std::string_view name) {
        SftpConnection connection;
        if (name != "Work" && name != "Box") return connection;
        connection.host = "127.0.0.1";
        connection.directory = std::string(name);
        return connection;
    };
    // A resolved FTP side: its directory gets its '/', an empty user logs on
    // anonymously. An SFTP side names its connection's directory.
    struct Case {
        std::string source, target, message;
        std::string sourceFtpDirectory = {}, targetFtpUser = {}, sftpDirectory = {};
    };
    const Case cases[] = {
        {tree.Full("missing"), tree.Full("also-missing"), "Source folder not found."},
        {"", tree.Full("a"), "Source folder not found."},
        {tree.Full("file"), tree.Full("a"), "Source folder not found."},
        {tree.Full("a"), " " + tree.Full("a") + "/ ", "Source and Target Folders are the same."},
        {tree.Full("a"), tree.Full("file"), "Target folder not found."},
        {"(ftp) Nope", tree.Full("b"), "Source FTP connection not found"},
        {tree.Full("a"), "(ftp) Nope", "Target FTP connection not found"},
        {"(ftp) Nope", "(ftp) Work", "Source FTP connection not found"},
        {"(ftp) Work", "(ftp) Other",
         "Sorry this version does not support comparison between two FTP directories.", "/pub/"},
        // The prefix is written in lower case; anything else is a local path.
        {"(FTP) Work", tree.Full("b"), "Source folder not found."},
        {"(ftp)Work", tree.Full("b"), "Source folder not found."},
        {"(ftp) Work", tree.Full("b"), "", "/pub/"},
        {tree.Full("a"), "(ftp) Work", "", "", "anonymous"},
        {tree.Full("a"), tree.Full("b"), ""},
        {"(sftp) Nope", tree.Full("b"), "Source SFTP connection not found"},
        {tree.Full("a"), "(sftp) Nope", "Target SFTP connection not found"},
        {"(sftp) Box", "(sftp) Work", "Only one of Source and Target can be a folder on a server.",
         "", "", "Box"},
        {"(ftp) Work", "(sftp) Box", "Only one of Source and Target can be a folder on a server.",
         "/pub/"},
        {"(SFTP) Box", tree.Full("b"), "Source folder not found."},
        {"(sftp) Box", tree.Full("b"), "", "", "", "Box"},
        {tree.Full("a"), "(sftp) Work", "", "", "", "Work"},
    };
    for (const Case& c : cases) {
        std::string source = c.source;
        std::string target = c.target;
        SideConnection sourceSide;
        SideConnection targetSide;
        EXPECT_EQ(CheckCompareSides(source, target, lookup, sourceSide, targetSide).reason,
                  c.message)
            << c.source << " | " << c.target;
        EXPECT_EQ(sourceSide.ftp.directory, c.sourceFtpDirectory) << c.source;
        EXPECT_EQ(targetSide.ftp.user, c.targetFtpUser) << c.target;
        EXPECT_EQ(sourceSide.sftp.directory + targetSide.sftp.directory, c.sftpDirectory)
            << c.source << " | " << c.target;
    }
}

// One folder under two names, or one inside the other, never reaches a
// comparison: a sync of the two would copy or delete the folders themselves.
TEST(CheckFoldersApart, SameNestedAliasedOrBound) {
    test::TempTree tree;
    tree.MakeFolder("a/sub");
    tree.MakeFolder("b");
    tree.MakeFolder("bound");
    tree.Symlink("alias", tree.Full("a"));
    tree.Symlink("b/into-a", tree.Full("a/sub"));
    // A bind mount of "a" at "bound", where this machine lets the test mount.
    const bool mounted =
        std::system(("mount --bind " + tree.Full("a") + " " + tree.Full("bound") + " 2>/dev/null")
                        .c_str()) == 0;
    const auto both = [&](const std::string& s, const std::string& t) {
        return "Source \"" + tree.Full(s) + "\" and Target \"" + tree.Full(t) + "\"";
    };
    const std::string same = " are the same folder under two names.";
    const std::string nested =
        " lie one inside the other: a synchronisation would copy or delete the folders "
        "themselves.";
    struct Case {
        std::string source, target, message;
        bool needsMount = false;
    };
    const Case cases[] = {
        {"a", "b", ""},
        {"a", "alias", both("a", "alias") + same},
        {"a/sub", "a", both("a/sub", "a") + nested},
        {"a", "a/sub", both("a", "a/sub") + nested},
        {"alias/sub", "a", both("alias/sub", "a") + nested},
        {"b/into-a", "a", both("b/into-a", "a") + nested},
        {"bound", "a", both("bound", "a") + same, true},
        {"a", "bound/sub", both("a", "bound/sub") + nested, true},
    };
    for (const Case& c : cases) {
        if (c.needsMount && !mounted) continue;
        EXPECT_EQ(CheckFoldersApart(tree.Full(c.source), tree.Full(c.target)).reason, c.message)
            << c.source << " | " << c.target;
    }
    if (mounted) std::system(("umount " + tree.Full("bound")).c_str());
}

}  // namespace
}  // namespace ravelmoor
