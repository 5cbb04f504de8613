#include "core/sync/ManualAction.h"

namespace ravelmoor {

std::string_view ManualActionText(ManualKind kind) {
    return kind == ManualKind::Copy ? QT_TRANSLATE_NOOP("SyncMethod", "Manual Copy")
                                    : QT_TRANSLATE_NOOP("SyncMethod", "Manual Delete");
}

SyncPlan ManualPlan(const ManualAction& action) {
    SyncPlan plan;
    const bool fromSource = action.side == ListSide::Source;
    if (action.kind == ManualKind::Copy) {
        (fromSource ? plan.copyToTarget : plan.copyToSource) = action.rows;
    } else {
        (fromSource ? plan.twoWay.deleteInSource : plan.deleteInTarget) = action.rows;
    }
    return plan;
}

}  // namespace ravelmoor
