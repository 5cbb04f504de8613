#include "core/sync/SyncGuards.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/engine/Comparison.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// Whether the local folder `root` is "/", the home folder or one directly below "/".
bool IsProtected(const std::string& root) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(root, error);
    if (error) return false;
    if (real == real.root_path() || real.parent_path() == real.root_path()) return true;
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return false;
    const std::filesystem::path realHome = std::filesystem::canonical(home, error);
    return !error && real == realHome;
}

size_t CountPresent(const FileList& list) {
    size_t count = 0;
    for (size_t row = 0; row < list.GetSize(); ++row) {
        if (!list.ElementAt(row).IsBlank()) ++count;
    }
    return count;
}

}  // namespace

Outcome<GuardStatus> CheckProtectedFolders(SyncMethod method, const Comparison& comparison) {
    const bool targetAtRisk = method == SyncMethod::UpdateAndPrune || method == SyncMethod::Force ||
                              method == SyncMethod::Align || method == SyncMethod::TwoWay;
    const bool sourceAtRisk = method == SyncMethod::Align || method == SyncMethod::TwoWay;
    const std::string* refused = nullptr;
    if (targetAtRisk && comparison.Sides().IsLocal(Side::Target) &&
        IsProtected(comparison.TargetFolder())) {
        refused = &comparison.TargetFolder();
    } else if (sourceAtRisk && comparison.Sides().IsLocal(Side::Source) &&
               IsProtected(comparison.SourceFolder())) {
        refused = &comparison.SourceFolder();
    }
    if (refused == nullptr) return {};
    return Outcome<GuardStatus>(
        GuardStatus::Refused,
        FillIn(QCoreApplication::translate(
                   "SyncGuards",
                   "\"%1\" would delete or replace objects in \"%2\", which is the system's "
                   "root, the home folder or a system folder: choose a folder below it."),
               {SyncMethodText(method), *refused}));
}

DeletionShare CountDeletions(const Comparison& comparison, const SyncPlan& plan) {
    DeletionShare share;
    share.deleting = plan.deleteInTarget.size();
    if (share.deleting == 0) return share;
    share.total = CountPresent(comparison.TargetResults());
    share.sourceEmpty = CountPresent(comparison.SourceResults()) == 0;
    return share;
}

std::string MassDeletionQuestion(const DeletionShare& share, const std::string& targetRoot) {
    return FillIn(QCoreApplication::translate("SyncGuards",
                                              "The synchronisation will delete %1 of %2 objects in "
                                              "Target \"%3\". Do you want to go on?"),
                  {std::to_string(share.deleting), std::to_string(share.total), targetRoot});
}

}  // namespace ravelmoor
