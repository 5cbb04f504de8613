#include "SyncFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

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

}  // namespace

TreeState Snapshot(const TempTree& tree) {
    TreeState state;
    for (const auto& item : fs::recursive_directory_iterator(tree.Path())) {
        const std::string relative = item.path().string().substr(tree.Path().size() + 1);
        struct stat st {};
        ::lstat(item.path().c_str(), &st);
        if (S_ISDIR(st.st_mode)) {
            state[relative] = "folder";
        } else if (S_ISLNK(st.st_mode)) {
            state[relative] = "link " + fs::read_symlink(item.path()).string() + " " + Time(st);
        } else {
            char mode[8];
            std::snprintf(mode, sizeof mode, "%o", st.st_mode & 07777);
            state[relative] = tree.Read(relative) + " " + Time(st) + " " + mode;
        }
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

void SyncTest::Compare(FolderComparer& with) {
    with.Reset({});
    with.Start(source.Root(), target.Root(), /*includeSubFolders=*/true, {}, {});
    with.Wait();
    ASSERT_EQ(with.Phase(), ComparisonPhase::Completed);
}

SyncTally SyncTest::Run(SyncMethod method) {
    const SyncPlan plan = Plan(method);
    RowOperations operations(comparer, Sides(), prompter);
    RunSyncPlan(operations, plan);
    return operations.Tally();
}

std::vector<std::string> SyncTest::FreshRows() {
    FolderComparer fresh(prompter);
    Compare(fresh);
    return Rows(fresh);
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
