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
    bool anyInclude = false;
    for (const FilterRule& rule : rules) {
        rules_.push_back({rule.IsInclude(), rule.expression, Regex()});
        anyInclude = anyInclude || rule.IsInclude();
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

bool FilterSet::IsExcluded(std::string_view relativePath) const {
    CompileOnce();
    subject_.clear();
    AppendFolded(relativePath, subject_);
    RemoveFolderMarkers(subject_);
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
