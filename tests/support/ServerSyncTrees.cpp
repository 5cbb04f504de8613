#include "support/ServerSyncTrees.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace ravelmoor::test {

ServerTreeState ServerSnapshot(const TempTree& tree) {
    return ServerSnapshot(tree.Path());
}

ServerTreeState ServerSnapshot(const std::string& folder) {
    ServerTreeState state;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string relative = item.path().string().substr(folder.size() + 1);
        if (item.is_directory()) {
            state[relative] = "folder";
            continue;
        }
        std::ifstream in(item.path(), std::ios::binary);
        struct stat facts {};
        ::lstat(item.path().c_str(), &facts);
        state[relative] = std::string(std::istreambuf_iterator<char>(in), {}) + " @" +
                          std::to_string(facts.st_mtim.tv_sec);
    }
    return state;
}

void WriteServerSyncSides(TempTree& source, TempTree& target) {
    for (auto* tree : {&source, &target})
        tree->Write("same.txt", "same", 1000);
    source.Write("newer.txt", "source is newer", 2000);
    target.Write("newer.txt", "target is old", 1000);
    source.Write("older.txt", "source old", 1000);
    target.Write("older.txt", "target is newer", 2000);
    source.Write("only-source.txt", "s", 1500);
    target.Write("only-target.txt", "t", 1600);
    source.Write("Fresh Folder/deep/f.txt", "f", 1700);
    target.Write("stale/inner/g.txt", "g", 1800);
    target.Write("stale/h.txt", "h", 1900);
}

void ExpectedAfterSync(const std::string& method, const ServerTreeState& source,
                       const ServerTreeState& target, ServerTreeState& sourceAfter,
                       ServerTreeState& targetAfter) {
    sourceAfter = source;
    targetAfter = source;
    if (method != "align") return;
    targetAfter = target;
    for (const auto& [path, state] : source)
        targetAfter[path] = state;
    targetAfter["older.txt"] = target.at("older.txt");
    sourceAfter = targetAfter;
}

}  // namespace ravelmoor::test
