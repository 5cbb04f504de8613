#include "cli/ItemisedProgress.h"

#include <cstdio>

#include "cli/Terminal.h"

namespace ravelmoor {
namespace {

char Kind(const FileEntry& entry) {
    if (entry.IsFolder()) return 'd';
    return entry.IsSymlink() ? 'L' : 'f';
}

std::string Shown(const FileEntry& entry) {
    std::string path = entry.path.str();
    if (entry.IsFolder()) path += '/';
    return path;
}

}  // namespace

ItemisedProgress::ItemisedProgress(const SyncSides& sides, const SyncPlan& plan, ProgressText& next)
    : next_(next) {
    AddCopies(sides.source, sides.target, plan.copyToTarget, '>');
    AddCopies(sides.target, sides.source, plan.copyToSource, '<');
    for (const uint32_t row : plan.deleteInTarget) {
        const FileEntry& entry = sides.target.list->ElementAt(row);
        lines_[entry.FullPath(sides.target.root)] = "*deleting   " + Shown(entry);
    }
}

void ItemisedProgress::AddCopies(const SyncSide& from, const SyncSide& to,
                                 const std::vector<uint32_t>& rows, char direction) {
    for (const uint32_t row : rows) {
        const FileEntry& entry = from.list->ElementAt(row);
        const FileEntry& existing = to.list->ElementAt(row);
        std::string code = "  +++++++++";
        code[1] = Kind(entry);
        if (existing.IsBlank()) {
            code[0] = entry.IsFolder() || entry.IsSymlink() ? 'c' : direction;
        } else {
            code[0] = entry.IsSymlink() ? 'c' : direction;
            code.replace(2, 9, ".........");
            if (entry.size != existing.size) code[3] = 's';
            if (entry.lastWrite != existing.lastWrite) code[4] = 't';
        }
        lines_[entry.FullPath(from.root)] = code + " " + Shown(entry);
    }
}

void ItemisedProgress::Show(std::string_view text) {
    const auto line = lines_.find(std::string(text));
    if (line != lines_.end()) {
        Terminal::ClearProgress();
        std::printf("%s\n", line->second.c_str());
        std::fflush(stdout);
    }
    next_.Show(text);
}

}  // namespace ravelmoor
