#include "core/twoway/SettleConflict.h"

#include <algorithm>

#include "core/engine/FileList.h"

namespace ravelmoor {

void SettleConflict(SyncPlan& plan, size_t index, Settlement how, bool loserIsSource,
                    const FileList& source, const FileList& target, std::string_view stamp) {
    if (index >= plan.twoWay.conflicts.size()) return;
    TwoWayConflict& conflict = plan.twoWay.conflicts[index];
    const bool apart = conflict.kind == ConflictKind::RenamedApart;
    const uint32_t sourceRow = conflict.row;
    const uint32_t targetRow = apart ? conflict.targetRow : conflict.row;
    const std::string sourcePath =
        apart ? conflict.sourcePath : source.ElementAt(sourceRow).path.str();
    const std::string targetPath =
        apart ? conflict.targetPath : target.ElementAt(targetRow).path.str();
    // What an earlier answer planned for the conflict goes first.
    const auto drop = [](std::vector<uint32_t>& rows, uint32_t row) {
        rows.erase(std::remove(rows.begin(), rows.end(), row), rows.end());
    };
    drop(plan.copyToTarget, sourceRow);
    drop(plan.copyToSource, targetRow);
    std::erase_if(plan.twoWay.renames, [&](const RenameStep& step) {
        const std::string& mine = step.onSource ? sourcePath : targetPath;
        return (step.conflictCopy || apart) && step.from == mine;
    });
    conflict.settled = how;
    const auto add = [](std::vector<uint32_t>& rows, uint32_t row) {
        rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
    };
    if (how == Settlement::Left) return;
    if (apart) {
        if (how == Settlement::KeepBoth) {
            add(plan.copyToTarget, sourceRow);
            add(plan.copyToSource, targetRow);
            return;
        }
        // The other side takes the kept side's name.
        RenameStep step;
        step.onSource = how == Settlement::KeepTarget;
        step.from = step.onSource ? sourcePath : targetPath;
        step.to = step.onSource ? targetPath : sourcePath;
        step.folder = conflict.folder;
        plan.twoWay.renames.push_back(std::move(step));
        return;
    }
    if (how == Settlement::KeepBoth) {
        conflict.loserIsSource = loserIsSource;
        RenameStep step;
        step.onSource = loserIsSource;
        step.from = loserIsSource ? sourcePath : targetPath;
        step.to = ConflictCopyName(step.from, loserIsSource, stamp);
        step.conflictCopy = true;
        plan.twoWay.renames.push_back(std::move(step));
        add(loserIsSource ? plan.copyToSource : plan.copyToTarget, sourceRow);
        return;
    }
    add(how == Settlement::KeepSource ? plan.copyToTarget : plan.copyToSource, sourceRow);
}

std::string ConflictCopyName(std::string_view path, bool sourceSide, std::string_view stamp) {
    const size_t slash = path.rfind('/');
    const size_t nameAt = slash == std::string_view::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    // A name's leading dot (".profile") starts no extension.
    if (dot == std::string_view::npos || dot <= nameAt) dot = path.size();
    std::string name(path.substr(0, dot));
    name += ".conflict-";
    name += sourceSide ? "source-" : "target-";
    name += stamp;
    name += path.substr(dot);
    return name;
}

}  // namespace ravelmoor
