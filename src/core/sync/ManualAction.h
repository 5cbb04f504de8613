#pragma once

#include <QtGlobal>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/sync/PlanSync.h"

namespace ravelmoor {

// A copy or a deletion chosen by hand on rows of one results list (its
// context menu) rather than planned by a method. It runs as a small sync
// plan through the same start, journal, trash and checks as a method's.
enum class ManualKind : uint8_t { Copy, Delete };

struct ManualAction {
    ManualKind kind = ManualKind::Copy;
    // The list the rows were chosen in: a copy goes from it to the other
    // side, a deletion happens on it.
    ListSide side = ListSide::Source;
    std::vector<uint32_t> rows;  // ascending: a folder before what it holds
};

// The word a journal (and so `history` and the undo question) names the
// action by: "Manual Copy" or "Manual Delete". English, marked for
// translation in the "SyncMethod" context beside the methods' names.
std::string_view ManualActionText(ManualKind kind);

// The plan that carries `action` out: the rows as copies to the other side,
// or as deletions on the chosen one (in Source: the plan's deletions in
// Source, which RunSyncPlan carries out last).
SyncPlan ManualPlan(const ManualAction& action);

}  // namespace ravelmoor
