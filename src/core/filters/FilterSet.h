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
// does; with no include rule at all, everything is included. The order of
// the rules does not matter. Matching is a search anywhere in the
// case-folded path, folder names included. An exclude rule that matches a
// folder excludes everything below it too (`^sub$` leaves out sub/a.txt),
// whatever the entry's own path says; an include rule is not passed down.
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
    bool ExcludeRuleMatches(const std::string& subject) const;
    // Whether an exclude rule matches `folder` or a folder above it.
    bool FolderExcluded(std::string_view folder) const;

    struct Rule {
        bool include = false;
        std::string expression;
        Regex regex;
    };

    mutable std::vector<Rule> rules_;
    mutable bool compiled_ = false;
    bool anyExclude_ = false;
    mutable std::string subject_;  // reused: no allocation per entry
    // The entries of one folder come together: its answer is kept.
    mutable std::string folder_;
    mutable bool folderKnown_ = false;
    mutable bool folderExcluded_ = false;
    mutable std::string level_;
};

}  // namespace ravelmoor
