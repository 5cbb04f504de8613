#include "core/engine/Comparison.h"

#include "core/engine/NameEscape.h"

namespace ravelmoor {

Comparison::Comparison(Prompter& prompter) : sides_(prompter) {
    Reset(ComparisonRules(), {}, {});
}

void Comparison::Reset(const ComparisonRules& rules, std::string sourceRoot,
                       std::string targetRoot) {
    rules_ = rules;
    sides_.Reset(std::move(sourceRoot), std::move(targetRoot));
    sourceResults_.Init();
    targetResults_.Init();
    allIdentical_ = true;
    unlistableSource_.clear();
    unlistableTarget_.clear();
    targetIgnoresCase_ = false;
    caseClashes_.clear();
}

std::string Comparison::UnlistableFoldersWarning() const {
    if (unlistableSource_.empty() && unlistableTarget_.empty()) return {};
    std::string text =
        "Some folders could not be read. The rows below them were excluded, so no "
        "synchronisation will copy over them or delete them:";
    for (const auto& folder : unlistableSource_)
        text += "\n  Source: " + EscapeName(SourceFolder() + folder);
    for (const auto& folder : unlistableTarget_)
        text += "\n  Target: " + EscapeName(TargetFolder() + folder);
    return text;
}

std::string Comparison::CaseClashWarning() const {
    if (caseClashes_.empty()) return {};
    std::string text =
        "The Target's file system does not tell upper and lower case apart, so these Source "
        "names would be written over each other. Their rows were excluded:";
    for (const auto& path : caseClashes_)
        text += "\n  Source: " + EscapeName(SourceFolder() + path);
    return text;
}

}  // namespace ravelmoor
