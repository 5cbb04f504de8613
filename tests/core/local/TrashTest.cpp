// The freedesktop.org trash: where things go, what the info file says, that a
// free name is always found within the name limit, and that a trash inside a
// compared tree is never listed.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/engine/FileList.h"
#include "core/engine/ScanFolder.h"
#include "core/local/FreedesktopTrash.h"
#include "core/local/LocalFileSystem.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        names.insert(entry.path().filename().string());
    return names;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// What `gio trash --list` prints for the home trash (through a private
// session bus, where the trash is served); empty when it cannot run here.
std::string GioTrashList(const std::string& home, const std::string& dataHome) {
    if (std::system("command -v gio >/dev/null && command -v dbus-run-session >/dev/null") != 0)
        return {};
    const std::string command = "HOME='" + home + "' XDG_DATA_HOME='" + dataHome +
                                "' dbus-run-session -- gio trash --list 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string out;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

class TrashTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ::setenv("HOME", home.Path().c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home.Path() + "/data").c_str(), 1);
    }
    std::string HomeTrash() const { return home.Path() + "/data/Trash"; }

    test::TempTree home;
    test::TempTree tree;
    LocalFileSystem local;
};

TEST_F(TrashTest, InfoFilesEncodeEveryOddByteAndStandardToolsReadThem) {
    const std::string longName(255, 'n');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plain.txt", "plain.txt"},
        {"50% off\nnew line.txt", "50%25%20off%0Anew%20line.txt"},
        {"caf\xE9 \xFF", "caf%E9%20%FF"},
        {"caf\xC3\xA9", "caf%C3%A9"},
        {"dir/" + longName, "dir/" + longName},
    };
    for (const auto& [name, encoded] : cases) {
        tree.Write(name, "x");
        ASSERT_EQ(local.MoveToTrash(tree.Root(), name).status, WriteStatus::Done) << name;
        EXPECT_FALSE(tree.Exists(name));
        const std::string base = name.substr(name.rfind('/') + 1);
        const std::string stored = base.substr(0, 245);  // room for ".trashinfo"
        EXPECT_TRUE(fs::exists(HomeTrash() + "/files/" + stored)) << name;
        const std::string info = ReadAll(HomeTrash() + "/info/" + stored + ".trashinfo");
        EXPECT_EQ(info.substr(0, info.find("DeletionDate=")),
                  "[Trash Info]\nPath=" + PercentEncodePath(tree.Path()) + "/" + encoded + "\n");
        EXPECT_NE(info.find("\nDeletionDate=20"), std::string::npos);
    }

    const std::string listed = GioTrashList(home.Path(), home.Path() + "/data");
    if (listed.empty()) GTEST_SKIP() << "gio trash --list cannot run here";
    // gio names each object by its original path; bytes it cannot show it writes as \xHH.
    EXPECT_NE(listed.find("\t" + tree.Path() + "/plain.txt\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("\t" + tree.Path() + "/50% off\\x0anew line.txt\n"), std::string::npos)
        << listed;
    EXPECT_NE(listed.find("\t" + tree.Path() + "/caf\\xe9 \\xff\n"), std::string::npos) << listed;
    const bool utf8Shown = listed.find("/caf\xC3\xA9\n") != std::string::npos;
    EXPECT_TRUE(utf8Shown || listed.find("/caf\\xc3\\xa9\n") != std::string::npos) << listed;
    EXPECT_NE(listed.find("\t" + tree.Path() + "/dir/" + longName + "\n"), std::string::npos);
}

TEST_F(TrashTest, AFreeNameIsFoundInBoundedStepsWithinTheNameLimit) {
    const std::string longName(255, 'L');
    for (int i = 0; i < 3; ++i) {
        const std::string path = "f" + std::to_string(i) + "/" + longName;
        tree.Write(path, std::to_string(i));
        ASSERT_EQ(local.MoveToTrash(tree.Root(), path).status, WriteStatus::Done);
    }
    // Every numbered name of "a.txt" taken: the next one still goes in.
    fs::create_directories(HomeTrash() + "/info");
    for (unsigned attempt = 0; attempt < kNumberedTrashNames; ++attempt) {
        std::ofstream(HomeTrash() + "/info/" + TrashCandidateName("a.txt", attempt, 245, 0) +
                      ".trashinfo");
    }
    tree.Write("a.txt", "a");
    ASSERT_EQ(local.MoveToTrash(tree.Root(), "a.txt").status, WriteStatus::Done);

    const auto files = Names(HomeTrash() + "/files");
    ASSERT_EQ(files.size(), 4u);
    for (const auto& name : files) {
        EXPECT_LE(name.size(), 245u);
        EXPECT_TRUE(fs::exists(HomeTrash() + "/info/" + name + ".trashinfo")) << name;
    }
    // A cut never splits a UTF-8 character.
    EXPECT_EQ(TrashCandidateName("\xC3\xA9\xC3\xA9", 0, 3, 0), "\xC3\xA9");
}

// A tmpfs of its own is a mount whose top folder takes the trash. Needs the
// right to mount; skipped where the test runs without it.
class MountedTrashTest : public TrashTest {
  protected:
    void SetUp() override {
        TrashTest::SetUp();
        if (::mount("tmpfs", tree.Path().c_str(), "tmpfs", 0, "size=4m,mode=0755") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here";
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) ::umount2(tree.Path().c_str(), MNT_DETACH);
    }

    std::set<std::string> Scanned() {
        FileList list;
        ScanOptions options;
        options.includeSubFolders = true;
        options.recordFolders = true;
        ScanFolder(local, list, tree.Root(), options);
        std::set<std::string> paths;
        for (size_t i = 0; i < list.GetSize(); ++i)
            paths.insert(list.ElementAt(i).path.str());
        return paths;
    }

    bool mounted_ = false;
};

TEST_F(MountedTrashTest, TopFolderTrashTakesFilesAndIsNeverListed) {
    const std::string uid = std::to_string(::geteuid());
    tree.Write("docs/a b.txt", "x");
    ASSERT_EQ(local.MoveToTrash(tree.Root(), "docs/a b.txt").status, WriteStatus::Done);
    const std::string own = tree.Path() + "/.Trash-" + uid;
    EXPECT_TRUE(fs::exists(own + "/files/a b.txt"));
    const std::string info = ReadAll(own + "/info/a b.txt.trashinfo");
    EXPECT_EQ(info.substr(0, info.find("DeletionDate=")),
              "[Trash Info]\nPath=docs/a%20b.txt\n");  // relative to the top folder
    EXPECT_FALSE(fs::exists(HomeTrash() + "/files/a b.txt"));

    // A shared .Trash with the sticky bit is used before .Trash-UID.
    ASSERT_EQ(::mkdir((tree.Path() + "/.Trash").c_str(), 01777), 0);
    ::chmod((tree.Path() + "/.Trash").c_str(), 01777);
    tree.Write("b.txt", "y");
    ASSERT_EQ(local.MoveToTrash(tree.Root(), "b.txt").status, WriteStatus::Done);
    EXPECT_TRUE(fs::exists(tree.Path() + "/.Trash/" + uid + "/files/b.txt"));

    // Neither trash is part of the compared tree; a folder of that name
    // below the top is an ordinary folder.
    tree.Write("docs/.Trash-" + uid + "/kept.txt", "z");
    EXPECT_EQ(Scanned(), (std::set<std::string>{"docs", "docs/.Trash-" + uid,
                                                "docs/.Trash-" + uid + "/kept.txt"}));
}

}  // namespace
}  // namespace ravelmoor
