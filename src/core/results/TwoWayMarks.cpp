#include "core/results/TwoWayMarks.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "core/engine/FileList.h"

namespace ravelmoor {
namespace {

TwoWayMark SettledMark(Settlement settled) {
    switch (settled) {
        case Settlement::KeepSource:
            return TwoWayMark::KeepSource;
        case Settlement::KeepTarget:
            return TwoWayMark::KeepTarget;
        case Settlement::KeepBoth:
            return TwoWayMark::KeepBoth;
        case Settlement::Left:
            break;
    }
    return TwoWayMark::Conflict;
}

}  // namespace

void TwoWayMarks::Clear() {
    marks_.clear();
    conflicts_.clear();
}

void TwoWayMarks::Index(const SyncPlan& plan, const FileList& source, const FileList& target) {
    Clear();
    const size_t rows = std::min(source.GetSize(), target.GetSize());
    marks_.assign(rows, TwoWayMark::None);
    const auto mark = [&](const std::vector<uint32_t>& list, TwoWayMark how) {
        for (const uint32_t row : list)
            if (row < rows) marks_[row] = how;
    };
    mark(plan.copyToTarget, TwoWayMark::ToTarget);
    mark(plan.copyToSource, TwoWayMark::ToSource);
    mark(plan.deleteInTarget, TwoWayMark::DeleteInTarget);
    mark(plan.twoWay.deleteInSource, TwoWayMark::DeleteInSource);

    // Renames name paths: one pass over the rows finds those that carry them.
    std::unordered_set<std::string> renamed;
    for (const RenameStep& step : plan.twoWay.renames) {
        if (step.memoryOnly || step.conflictCopy) continue;
        renamed.insert(step.from);
        renamed.insert(step.to);
    }
    if (!renamed.empty()) {
        for (size_t row = 0; row < rows; ++row) {
            for (const FileList* list : {&source, &target}) {
                const FileEntry& entry = list->ElementAt(row);
                if (!entry.IsBlank() && renamed.contains(entry.path.str()))
                    marks_[row] = TwoWayMark::Renamed;
            }
        }
    }

    const std::vector<TwoWayConflict>& conflicts = plan.twoWay.conflicts;
    for (size_t i = 0; i < conflicts.size(); ++i) {
        const TwoWayConflict& conflict = conflicts[i];
        std::vector<uint32_t> at{conflict.row};
        if (conflict.kind == ConflictKind::RenamedApart) at.push_back(conflict.targetRow);
        for (const uint32_t row : at) {
            if (row >= rows) continue;
            marks_[row] = SettledMark(conflict.settled);
            conflicts_[row] = i;
        }
    }
}

std::optional<size_t> TwoWayMarks::ConflictOf(uint32_t row) const {
    const auto found = conflicts_.find(row);
    if (found == conflicts_.end()) return std::nullopt;
    return found->second;
}

void TwoWayMarks::KeepConflicts(std::vector<uint32_t>& rows) const {
    std::erase_if(rows, [this](uint32_t row) { return !conflicts_.contains(row); });
}

std::string_view TwoWayMarks::Sign(TwoWayMark mark) {
    switch (mark) {
        case TwoWayMark::ToTarget:
        case TwoWayMark::KeepSource:
            return "→";
        case TwoWayMark::ToSource:
        case TwoWayMark::KeepTarget:
            return "←";
        case TwoWayMark::DeleteInTarget:
        case TwoWayMark::DeleteInSource:
            return "✕";
        case TwoWayMark::Renamed:
            return "↷";
        case TwoWayMark::Conflict:
            return "⚠";
        case TwoWayMark::KeepBoth:
            return "⇉";
        case TwoWayMark::None:
            break;
    }
    return "";
}

std::string_view TwoWayMarks::Meaning(TwoWayMark mark) {
    switch (mark) {
        case TwoWayMark::ToTarget:
            return QT_TRANSLATE_NOOP("TwoWayMarks", "Copied to Target");
        case TwoWayMark::ToSource:
            return QT_TRANSLATE_NOOP("TwoWayMarks", "Copied to Source");
        case TwoWayMark::DeleteInTarget:
            return QT_TRANSLATE_NOOP("TwoWayMarks", "Deleted in Target");
        case TwoWayMark::DeleteInSource:
            return QT_TRANSLATE_NOOP("TwoWayMarks", "Deleted in Source");
        case TwoWayMark::Renamed:
            return QT_TRANSLATE_NOOP("TwoWayMarks", "Renamed as on the other side");
        case TwoWayMark::Conflict:
            return QT_TRANSLATE_NOOP("TwoWayMarks", "Conflict: left as it is");
        case TwoWayMark::KeepSource:
            return QT_TRANSLATE_NOOP("TwoWayMarks", "Conflict: Source's version is kept");
        case TwoWayMark::KeepTarget:
            return QT_TRANSLATE_NOOP("TwoWayMarks", "Conflict: Target's version is kept");
        case TwoWayMark::KeepBoth:
            return QT_TRANSLATE_NOOP("TwoWayMarks", "Conflict: both versions are kept");
        case TwoWayMark::None:
            break;
    }
    return "";
}

}  // namespace ravelmoor
