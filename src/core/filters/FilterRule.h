#pragma once

#include <string>
#include <vector>

namespace ravelmoor {

// One include or exclude rule as the settings keep it: the type text and the
// expression as typed. The rule includes exactly when the type text is
// "Include" (case-sensitive); any other text makes it an exclude rule.
struct FilterRule {
    std::string type;
    std::string expression;

    static constexpr const char* kInclude = "Include";
    static constexpr const char* kExclude = "Exclude";

    bool IsInclude() const { return type == kInclude; }
    bool operator==(const FilterRule&) const = default;
};

using FilterRules = std::vector<FilterRule>;

}  // namespace ravelmoor
