#include "core/engine/Comparison.h"

#include "core/engine/NameEscape.h"
#include "core/text/Translated.h"

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
    unreadableFiles_.clear();
    targetIgnoresCase_ = false;
    exactTimesAsked_ = 0;
    caseClashes_.clear();
}

std::string Comparison::UnlistableFoldersWarning() const {
    if (unlistableSource_.empty() && unlistableTarget_.empty()) return {};
    std::string text =
        FillIn(QCoreApplication::translate("Comparison",
                                           "Some folders could not be read. The rows below them "
                                           "were excluded, so no synchronisation will copy over "
                                           "them or delete them:"));
    for (const auto& folder : unlistableSource_)
        text += "\n  " + FillIn(QCoreApplication::translate("Comparison", "Source: %1"),
                                {EscapeName(SourceFolder() + folder)});
    for (const auto& folder : unlistableTarget_)
        text += "\n  " + FillIn(QCoreApplication::translate("Comparison", "Target: %1"),
                                {EscapeName(TargetFolder() + folder)});
    return text;
}

std::string Comparison::UnreadableFilesWarning() const {
    if (unreadableFiles_.empty()) return {};
    std::string text = FillIn(QCoreApplication::translate(
        "Comparison",
        "Some files could not be read. Their rows were excluded, so no synchronisation will copy "
        "over them or delete them:"));
    for (const auto& path : unreadableFiles_)
        text += "\n  " + EscapeName(path);
    return text;
}

std::string Comparison::CaseClashWarning() const {
    if (caseClashes_.empty()) return {};
    std::string text = FillIn(QCoreApplication::translate(
        "Comparison",
        "The Target's file system does not tell upper and lower case apart, so these Source "
        "names would be written over each other. Their rows were excluded:"));
    for (const auto& path : caseClashes_)
        text += "\n  " + FillIn(QCoreApplication::translate("Comparison", "Source: %1"),
                                {EscapeName(SourceFolder() + path)});
    return text;
}

}  // namespace ravelmoor
