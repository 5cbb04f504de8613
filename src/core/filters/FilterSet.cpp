#include "core/filters/FilterSet.h"

#include <algorithm>

#include "core/engine/CaseFold.h"
#include "core/engine/FileEntry.h"

namespace ravelmoor {
namespace {

// Without any include rule, everything is included.
constexpr const char* kIncludeEverything = ".*";

}  // namespace

bool IsValidExpression(const std::string& expression) {
    Regex regex;
    return regex.Compile(expression);
}

void FilterSet::Prepare(const FilterRules& rules) {
    rules_.clear();
    compiled_ = false;
    folderKnown_ = false;
    bool anyInclude = false;
    anyExclude_ = false;
    for (const FilterRule& rule : rules) {
        rules_.push_back({rule.IsInclude(), rule.expression, Regex()});
        anyInclude = anyInclude || rule.IsInclude();
        anyExclude_ = anyExclude_ || !rule.IsInclude();
    }
    if (!anyInclude) rules_.push_back({true, kIncludeEverything, Regex()});
}

void FilterSet::Compile() {
    CompileOnce();
}

void FilterSet::CompileOnce() const {
    if (compiled_) return;
    for (Rule& rule : rules_)
        rule.regex.Compile(rule.expression);
    compiled_ = true;
}

bool FilterSet::ExcludeRuleMatches(const std::string& subject) const {
    for (Rule& rule : rules_) {
        if (!rule.include && rule.regex.Find(subject) >= 0) return true;
    }
    return false;
}

bool FilterSet::FolderExcluded(std::string_view folder) const {
    if (folderKnown_ && folder == folder_) return folderExcluded_;
    folder_.assign(folder);
    folderKnown_ = true;
    folderExcluded_ = false;
    for (size_t end = folder.find('/');; end = folder.find('/', end + 1)) {
        level_.assign(folder.substr(0, end));
        if (ExcludeRuleMatches(level_)) {
            folderExcluded_ = true;
            break;
        }
        if (end == std::string_view::npos) break;
    }
    return folderExcluded_;
}

bool FilterSet::IsExcluded(std::string_view relativePath) const {
    CompileOnce();
    subject_.clear();
    AppendFolded(relativePath, subject_);
    RemoveFolderMarkers(subject_);
    const size_t slash = subject_.rfind('/');
    if (anyExclude_ && slash != std::string::npos &&
        FolderExcluded(std::string_view(subject_).substr(0, slash))) {
        return true;
    }
    bool included = false;
    for (Rule& rule : rules_) {
        if (rule.include && included) continue;  // it could not change the answer
        if (rule.regex.Find(subject_) < 0) continue;
        if (!rule.include) return true;
        included = true;
    }
    return !included;
}

}  // namespace ravelmoor
