#include "core/twoway/PlanWork.h"

namespace ravelmoor {

Change ChangeOf(const SideFacts& now, const SideFacts* base, const TwoWayInput& rules) {
    if (base == nullptr || !base->Present()) return now.Present() ? Change::New : Change::None;
    if (!now.Present()) return Change::Deleted;
    return now.SameAs(*base, rules.toleranceSeconds, rules.ignoreOneHour) ? Change::Same
                                                                          : Change::Modified;
}

namespace {

bool Changed(Change change) {
    return change == Change::Modified || change == Change::New;
}

}  // namespace

Decision Decide(Change a, Change b, bool equalNow) {
    if (equalNow)
        return a == Change::Same && b == Change::Same ? Decision::Nothing : Decision::Adopt;
    if (Changed(a) && (b == Change::Same || b == Change::None || b == Change::Deleted))
        return Decision::ToTarget;
    if (Changed(b) && (a == Change::Same || a == Change::None || a == Change::Deleted))
        return Decision::ToSource;
    if (a == Change::Deleted && b == Change::Same) return Decision::DeleteTarget;
    if (b == Change::Deleted && a == Change::Same) return Decision::DeleteSource;
    if (Changed(a) && Changed(b)) return Decision::Conflict;
    // Unchanged on both and yet different: the comparison's rules changed.
    if (a == Change::Same && b == Change::Same) return Decision::Conflict;
    return Decision::Nothing;
}

uint32_t PlanWork::SubtreeEnd(uint32_t row) const {
    if (!RowIsFolder(row)) return row + 1;
    const std::string prefix = RowPath(row) + "/";
    uint32_t end = row + 1;
    while (end < rows) {
        if (!Named(end).path.str().starts_with(prefix)) break;
        ++end;
    }
    return end;
}

}  // namespace ravelmoor
