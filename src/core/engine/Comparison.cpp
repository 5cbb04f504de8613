#include "core/engine/Comparison.h"

#include "core/engine/NameEscape.h"
#include "core/text/Translated.h"

namespace ravelmoor {

Comparison::Comparison(SideProvider& sides) : sides_(sides) {
    Reset(ComparisonRules(), {}, {});
}

void Comparison::Reset(const ComparisonRules& rules, std::string sourceRoot,
                       std::string targetRoot) {
    rules_ = rules;
    sides_.Reset(std::move(sourceRoot), std::move(targetRoot));
    sourceResults_.Init();
    targetResults_.Init();
    // The leftovers stay: the run clears them when it starts.
    std::vector<std::string> leftoversSource = std::move(findings_.leftoversSource);
    std::vector<std::string> leftoversTarget = std::move(findings_.leftoversTarget);
    findings_ = ComparisonFindings();
    findings_.leftoversSource = std::move(leftoversSource);
    findings_.leftoversTarget = std::move(leftoversTarget);
}

std::string Comparison::UnlistableFoldersWarning() const {
    if (findings_.unlistableSource.empty() && findings_.unlistableTarget.empty()) return {};
    std::string text =
        FillIn(QCoreApplication::translate("Comparison",
                                           "Some folders could not be read. The rows below them "
                                           "were excluded, so no synchronisation will copy over "
                                           "them or delete them:"));
    for (const auto& folder : findings_.unlistableSource)
        text += "\n  " + FillIn(QCoreApplication::translate("Comparison", "Source: %1"),
                                {EscapeName(SourceFolder() + folder)});
    for (const auto& folder : findings_.unlistableTarget)
        text += "\n  " + FillIn(QCoreApplication::translate("Comparison", "Target: %1"),
                                {EscapeName(TargetFolder() + folder)});
    return text;
}

std::string Comparison::UnreadableFilesWarning() const {
    if (findings_.unreadableFiles.empty()) return {};
    std::string text = FillIn(QCoreApplication::translate(
        "Comparison",
        "Some files could not be read. Their rows were excluded, so no synchronisation will copy "
        "over them or delete them:"));
    for (const auto& path : findings_.unreadableFiles)
        text += "\n  " + EscapeName(path);
    return text;
}

std::string Comparison::CaseClashWarning() const {
    if (findings_.caseClashes.empty()) return {};
    std::string text = FillIn(QCoreApplication::translate(
        "Comparison",
        "The Target's file system does not tell upper and lower case apart, so these Source "
        "names would be written over each other. Their rows were excluded:"));
    for (const auto& path : findings_.caseClashes)
        text += "\n  " + FillIn(QCoreApplication::translate("Comparison", "Source: %1"),
                                {EscapeName(SourceFolder() + path)});
    return text;
}

}  // namespace ravelmoor
