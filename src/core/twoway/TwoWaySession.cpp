#include "core/twoway/TwoWaySession.h"

#include <algorithm>
#include <ctime>

#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"
#include "core/journal/JournalWriter.h"
#include "core/sync/SyncSides.h"
#include "core/twoway/TwoWayRun.h"

namespace ravelmoor {
namespace {

std::string NowStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[24];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

}  // namespace

TwoWaySession::TwoWaySession(Comparison& comparison, TwoWayOptions options)
    : comparison_(comparison), options_(options), stamp_(NowStamp()) {}

MemoryOutcome TwoWaySession::Open() {
    const JournalHeader header = JournalHeaderOf(comparison_, "");
    const auto identity = [&](Side side, const std::string& root, const std::string& shown) {
        return comparison_.Sides().IsLocal(side) ? LocalRootIdentity(root).text
                                                 : RemoteRootIdentity(shown).text;
    };
    sourceIdentity_ = identity(Side::Source, comparison_.SourceRoot(), header.source.shown);
    targetIdentity_ = identity(Side::Target, comparison_.TargetRoot(), header.target.shown);
    return memory_.Open(PairMemory::FileFor(header.source.shown, header.target.shown));
}

TwoWayInput TwoWaySession::Input() const {
    TwoWayInput input;
    input.sourceRoot = comparison_.SourceRoot();
    input.targetRoot = comparison_.TargetRoot();
    input.sourceFolder = comparison_.SourceFolder();
    input.targetFolder = comparison_.TargetFolder();
    input.sourceLocal = comparison_.Sides().IsLocal(Side::Source);
    input.targetLocal = comparison_.Sides().IsLocal(Side::Target);
    input.sourceFs = &comparison_.Sides().FileSystemOf(Side::Source);
    input.targetFs = &comparison_.Sides().FileSystemOf(Side::Target);
    input.sourceIdentity = sourceIdentity_;
    input.targetIdentity = targetIdentity_;
    // Only the first pass takes the pair as new: the renames after it were
    // this run's own.
    input.firstSync = options_.firstSync && !planned_;
    input.prefer = options_.prefer;
    input.keepBoth = options_.keepBoth;
    input.conflictStamp = stamp_;
    input.toleranceSeconds = comparison_.Rules().toleranceSeconds;
    input.ignoreOneHour = comparison_.Rules().ignoreOneHour;
    return input;
}

TwoWayOutcome TwoWaySession::Plan(SyncPlan& plan) {
    plan = SyncPlan();
    TwoWayOutcome planned = PlanTwoWay(comparison_.SourceResults(), comparison_.TargetResults(),
                                       memory_, Input(), plan);
    planned_ = true;
    if (planned.status == TwoWayStatus::Damaged)
        return TwoWayOutcome(TwoWayStatus::Damaged, memory_.SetAside(planned.reason).reason);
    return planned;
}

void TwoWaySession::Settle(SyncPlan& plan, size_t index, Settlement how) const {
    // Kept both: Target's version stays beside Source's under a conflict name.
    SettleConflict(plan, index, how, /*loserIsSource=*/false, comparison_.SourceResults(),
                   comparison_.TargetResults(), stamp_);
}

std::string TwoWaySession::MassDeletion(const SyncPlan& plan) const {
    const std::pair<const std::vector<uint32_t>*, bool> sides[] = {
        {&plan.deleteInTarget, false}, {&plan.twoWay.deleteInSource, true}};
    for (const auto& [rows, onSource] : sides) {
        const FileList& list = onSource ? comparison_.SourceResults() : comparison_.TargetResults();
        size_t present = 0;
        for (size_t row = 0; row < list.GetSize(); ++row)
            present += list.ElementAt(row).IsBlank() ? 0 : 1;
        if (rows->size() >= 10 && rows->size() * 2 > present) {
            return "The synchronisation would delete " + std::to_string(rows->size()) + " of " +
                   std::to_string(present) + " objects in " + (onSource ? "Source " : "Target ") +
                   EscapeName(onSource ? comparison_.SourceRoot() : comparison_.TargetRoot()) + ".";
        }
    }
    return {};
}

bool TwoWaySession::RunPass(const SyncPlan& plan, RowOperations& operations, SyncObserver* observer,
                            ActionRecorder* recorder, const std::string& runId) {
    TwoWayRun run(operations, SidesOf(comparison_), memory_,
                  comparison_.Sides().IsLocal(Side::Source),
                  comparison_.Sides().IsLocal(Side::Target));
    run.SetObserver(observer);
    run.SetRecorder(recorder);
    const bool done = run.Run(plan, runId, sourceIdentity_, targetIdentity_);
    if (!done) problem_ += run.Problem();
    lastPassRenames_ = run.RenamesDone();
    renamesDone_ += lastPassRenames_;
    return done;
}

}  // namespace ravelmoor
