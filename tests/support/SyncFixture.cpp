#include "support/SyncFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <QByteArray>
#include <QUrl>
#include <memory>

#include "core/filters/FilterSet.h"

namespace fs = std::filesystem;

namespace ravelmoor::test {
namespace {

// Keeps every test away from the real trash of whoever runs them.
class TrashHome : public ::testing::Environment {
  public:
    void SetUp() override {
        home_ = std::make_unique<TempTree>();
        ::setenv("HOME", home_->Path().c_str(), 1);
        ::setenv("XDG_DATA_HOME", home_->Full("data").c_str(), 1);
    }
    void TearDown() override { home_.reset(); }

  private:
    std::unique_ptr<TempTree> home_;
};

[[maybe_unused]] const auto* const kTrashHome = ::testing::AddGlobalTestEnvironment(new TrashHome);

std::string Time(const struct stat& st) {
    return "@" + std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

std::string Mode(const struct stat& st) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%o", st.st_mode & 07777);
    return mode;
}

std::string StateOf(const fs::path& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    if (S_ISDIR(st.st_mode)) return "folder";
    if (S_ISLNK(st.st_mode)) return "link " + fs::read_symlink(path).string() + " " + Time(st);
    std::ifstream in(path, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), {});
    return content + " " + Time(st) + " " + Mode(st);
}

}  // namespace

TreeState Snapshot(const TempTree& tree) {
    TreeState state;
    for (const auto& item : fs::recursive_directory_iterator(tree.Path())) {
        const std::string relative = item.path().string().substr(tree.Path().size() + 1);
        state[relative] = StateOf(item.path());
    }
    return state;
}

TreeState FullSnapshot(const TempTree& tree) {
    TreeState state = Snapshot(tree);
    const auto folder = [](const std::string& path) {
        struct stat st {};
        ::lstat(path.c_str(), &st);
        return "folder " + Mode(st) + " " + Time(st);
    };
    for (auto& [relative, value] : state) {
        if (value == "folder") value = folder(tree.Full(relative));
    }
    state["."] = folder(tree.Path());
    return state;
}

TreeState TrashedByOrigin() {
    TreeState state;
    std::error_code error;
    const std::string trash = DataHome() + "/Trash";
    for (const auto& item : fs::directory_iterator(trash + "/files", error)) {
        const std::string name = item.path().filename().string();
        std::ifstream info(trash + "/info/" + name + ".trashinfo");
        std::string line;
        std::string origin = "(no .trashinfo) " + name;
        while (std::getline(info, line)) {
            if (line.starts_with("Path="))
                origin = QUrl::fromPercentEncoding(QByteArray::fromStdString(line.substr(5)))
                             .toStdString();
        }
        state[origin] = StateOf(item.path());
    }
    return state;
}

std::string DataHome() {
    const char* home = std::getenv("XDG_DATA_HOME");
    return home != nullptr ? home : "";
}

std::set<std::string> TrashedNames() {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(DataHome() + "/Trash/files", error))
        names.insert(item.path().filename().string());
    return names;
}

void EmptyTrash() {
    std::error_code error;
    fs::remove_all(DataHome() + "/Trash", error);
}

void MakeEndStateTrees(TempTree& source, TempTree& target) {
    for (auto* tree : {&source, &target})
        tree->Write("same.txt", "same", 1000);
    source.Write("newer.txt", "src-new", 2000);
    source.SetTime("newer.txt", 2000, 123456789);
    target.Write("newer.txt", "tgt-old", 1000);
    source.Write("older.txt", "src-old", 1000);
    target.Write("older.txt", "tgt-new!", 2000);
    source.Write("only-src.txt", "s", 1500);
    source.Chmod("only-src.txt", 0640);
    target.Write("only-tgt.txt", "t", 1600);
    source.Write("Fresh/deep/f.txt", "f", 1700);
    target.Write("stale/h.txt", "h", 1900);
    target.Write("stale/inner/g.txt", "g", 1800);
    source.Write("Docs/Report.txt", "v2", 3000);
    source.Write("Docs/added.txt", "a", 3100);
    target.Write("docs/report.txt", "v1", 2500);
    source.Symlink("ln", "same.txt");
    source.SetTime("ln", 1234, 5);
}

void SyncTest::Compare(const std::vector<std::string>& excludes) {
    excludes_ = excludes;
    CompareWith(comparer);
}

void SyncTest::CompareWith(test::ComparisonHarness& with) {
    with.Reset({});
    std::shared_ptr<FilterSet> filter;
    if (!excludes_.empty()) {
        FilterRules rules;
        for (const std::string& expression : excludes_)
            rules.push_back({FilterRule::kExclude, expression});
        filter = std::make_shared<FilterSet>();
        filter->Prepare(rules);
    }
    with.SetFilter(filter);
    with.Start(source.Root(), target.Root(), /*includeSubFolders=*/true, {}, {});
    with.Wait();
    ASSERT_EQ(with.Phase(), ComparisonPhase::Completed);
}

SyncTally SyncTest::Run(SyncMethod method) {
    const SyncPlan plan = Plan(method);
    RowOperations operations(comparer.Rules(), Sides(), prompter);
    RunSyncPlan(operations, plan);
    return operations.Tally();
}

std::vector<std::string> SyncTest::FreshRows() {
    test::ComparisonHarness fresh(prompter);
    CompareWith(fresh);
    return Rows(fresh);
}

void SyncTest::ClearTrees() {
    for (TempTree* tree : {&source, &target}) {
        for (const auto& item : fs::directory_iterator(tree->Path()))
            fs::remove_all(item.path());
    }
}

uint32_t SyncTest::RowOf(const std::string& path) {
    const auto rows = Rows(comparer);
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string& row = rows[i];
        if (row.size() >= path.size() + 1 && row.ends_with(" " + path)) return uint32_t(i);
    }
    ADD_FAILURE() << "no row " << path;
    return 0;
}

}  // namespace ravelmoor::test
