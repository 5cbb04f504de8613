#include <gtest/gtest.h>

#include <unistd.h>

#include "app/CompareLaunch.h"
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

TEST(CheckLocalFolders, MessagesInLaunchOrder) {
    test::TempTree tree;
    tree.MakeFolder("a");
    tree.MakeFolder("b");
    tree.Write("file", "x");
    struct Case {
        std::string source, target, message;
    };
    const Case cases[] = {
        {tree.Full("missing"), tree.Full("also-missing"), "Source folder not found."},
        {"", tree.Full("a"), "Source folder not found."},
        {tree.Full("file"), tree.Full("a"), "Source folder not found."},
        {tree.Full("a"), tree.Full("a") + "/", "Source and Target Folders are the same."},
        {tree.Full("a"), tree.Full("file"), "Target folder not found."},
        {tree.Full("a"), tree.Full("b"), ""},
    };
    for (const Case& c : cases) {
        std::string source = c.source;
        std::string target = c.target;
        EXPECT_EQ(CheckLocalFolders(source, target), c.message) << c.source << " | " << c.target;
    }
}

}  // namespace
}  // namespace ravelmoor
