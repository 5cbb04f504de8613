#include "core/results/NotDoneList.h"

#include <QCoreApplication>

#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"
#include "core/sync/Destinations.h"
#include "core/text/Translated.h"

namespace ravelmoor {

NotDoneList::NotDoneList(const Comparison& comparison) : comparison_(comparison) {}
NotDoneList::~NotDoneList() = default;

void NotDoneList::ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                                std::string_view reason) {
    if (result == ItemResult::Done || result == ItemResult::NotReached) return;
    const FileList& source = comparison_.SourceResults();
    const FileList& target = comparison_.TargetResults();
    const bool onSource = side == ListSide::Source;
    const FileList& changed = onSource ? source : target;
    if (row >= source.GetSize() || row >= target.GetSize()) return;
    // A copy is named where it was to go, a deletion where the object is.
    std::string path = onSource ? comparison_.SourceRoot() : comparison_.TargetRoot();
    if (deletion) {
        changed.ElementAt(row).path.AppendTo(path);
    } else {
        std::unique_ptr<Destinations>& destinations = onSource ? toSource_ : toTarget_;
        if (!destinations)
            destinations = std::make_unique<Destinations>(onSource ? target : source, changed);
        path += destinations->For(row);
    }
    const std::string why = !reason.empty() ? std::string(reason)
                            : result == ItemResult::Declined
                                ? FillIn(QCoreApplication::translate("NotDoneList", "answered No"))
                                : FillIn(QCoreApplication::translate("NotDoneList", "not done"));
    lines_.push_back(
        FillIn(QCoreApplication::translate("NotDoneList", "%1: %2"), {EscapeName(path), why}));
}

}  // namespace ravelmoor
