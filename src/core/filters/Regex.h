#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/filters/RegexMatcher.h"

namespace ravelmoor {

// A small regular-expression engine over 8-bit text, case-sensitive and
// byte-wise. An expression is compiled once into a compact node program; Find
// then searches a subject for the leftmost match by backtracking.
//
// Syntax: `^` start and `$` end of the subject (anywhere in the expression),
// `.` any character, `[set]` and `[^set]` (a `]` or `-` first and a `-` last
// are members, `x-y` a range, no escapes), `(...)` a group (at most nine),
// `|` between alternatives (an empty one matches the empty string), `*`, `+`,
// `?` after an atom (not after another multiplier, and `*` and `+` only on
// what cannot match the empty string), `\c` the character c. Every other
// character, `{`, `}` and `-` included, stands for itself.
//
// The backtracker remembers which (node, position) pairs have failed, so
// expressions like `(a|a)*b` cost polynomial rather than exponential time;
// the answer is the same as without that memory.
class Regex {
  public:
    Regex() { groups_.Clear(); }

    // Compiles a NUL-terminated expression. A null expression fails and
    // leaves the object as it was; any other failure leaves it without a
    // program, so that Find never matches.
    bool Compile(const char* expression);
    bool Compile(const std::string& expression) { return Compile(expression.c_str()); }

    // The offset of the leftmost match in the NUL-terminated `subject`, or -1
    // when there is none, the subject is null or nothing was compiled.
    ptrdiff_t Find(const char* subject);
    ptrdiff_t Find(const std::string& subject) { return Find(subject.c_str()); }

    // Length of the last match; 0 when there is none.
    ptrdiff_t MatchLength() const;
    // Subject offsets of group n (0 = the whole match) in the last match; -1 when unset.
    ptrdiff_t GroupStart(int n) const { return groups_.start.at(static_cast<size_t>(n)); }
    ptrdiff_t GroupEnd(int n) const { return groups_.end.at(static_cast<size_t>(n)); }
    // A copy of the text of the last match.
    const std::string& FoundText() const { return foundText_; }

    bool IsCompiled() const { return compiled_; }
    const std::vector<uint8_t>& Program() const { return program_; }
    // What Find checks before backtracking: the character every match starts
    // with (0 when unknown), whether matches can only start at offset 0, and
    // a literal every match contains (empty when unknown).
    char FirstChar() const { return firstChar_; }
    bool Anchored() const { return anchored_; }
    std::string_view MustContain() const;

    // Off: the plain backtracker, exponential on some expressions (only for
    // measuring what the protection is worth). On, the memory of failed pairs
    // is set up once a Find has made `callsBeforeMemo` recursive calls, so
    // that ordinary subjects do not pay for it.
    void SetBacktrackGuard(bool on, size_t callsBeforeMemo = regex::kCallsBeforeMemo) {
        guard_ = on;
        callsBeforeMemo_ = callsBeforeMemo;
    }

  private:
    void SetOptimisationData(bool startsWithRepetition);

    bool compiled_ = false;
    std::vector<uint8_t> program_;
    std::vector<uint16_t> nodeSlots_;
    size_t nodeCount_ = 0;
    char firstChar_ = 0;
    bool anchored_ = false;
    int32_t mustContain_ = -1;  // offset of its string in the program
    size_t mustContainLength_ = 0;
    regex::GroupPositions groups_;
    std::string foundText_;
    regex::FailureMemo memo_;
    bool guard_ = true;
    size_t callsBeforeMemo_ = regex::kCallsBeforeMemo;
};

}  // namespace ravelmoor
