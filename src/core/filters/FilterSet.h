#pragma once

#include <QtGlobal>

#include <string>
#include <string_view>
#include <vector>

#include "core/engine/EntryFilter.h"
#include "core/filters/FilterRule.h"
#include "core/filters/Regex.h"

namespace ravelmoor {

// What the filter dialog and the command line say about an expression that
// does not compile.
// English, marked for translation in the "FilterSet" context.
inline constexpr const char* kInvalidExpressionMessage =
    QT_TRANSLATE_NOOP("FilterSet", "This regular expression is not valid");

// True when `expression` compiles (checked with a fresh Regex).
bool IsValidExpression(const std::string& expression);

// The include and exclude rules of one comparison. An entry takes part when
// at least one include rule matches its relative path and no exclude rule
// does; with no include rule at all, everything is included. Matching is a
// search anywhere in the case-folded path, folder names included.
//
// Matching keeps per-rule state, so one FilterSet serves one thread at a time.
class FilterSet : public EntryFilter {
  public:
    // Takes the rules in list order (not compiled yet).
    void Prepare(const FilterRules& rules);
    // Compiles every rule once; a rule that does not compile never matches.
    void Compile() override;
    // `relativePath` is the path below the root, in any case, folder
    // markers allowed. Compiles first if Compile was not called.
    bool IsExcluded(std::string_view relativePath) const override;

  private:
    void CompileOnce() const;

    struct Rule {
        bool include = false;
        std::string expression;
        Regex regex;
    };

    mutable std::vector<Rule> rules_;
    mutable bool compiled_ = false;
    mutable std::string subject_;  // reused: no allocation per entry
};

}  // namespace ravelmoor
