#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/filters/RegexProgram.h"

namespace ravelmoor::regex {

// Ordinary filters on ordinary paths finish in far fewer recursive calls.
inline constexpr size_t kCallsBeforeMemo = 256;

// Subject offsets recorded by a match; -1 when unset. Index 0 is the whole
// match, 1 to 9 the parenthesised groups.
struct GroupPositions {
    std::array<ptrdiff_t, kGroupCount> start{};
    std::array<ptrdiff_t, kGroupCount> end{};

    void Clear() {
        start.fill(-1);
        end.fill(-1);
    }
};

// The (node, subject position) pairs from which the rest of the program is
// known not to match. Whether the program matches from a node at a position
// does not depend on how the matcher got there (there are no back-references
// and group positions are only written once a match has succeeded), so a
// pair that failed once fails again, in the same attempt and in every later
// attempt on the same subject. Skipping such pairs keeps the backtracker's
// order of trying, and so its answer, while bounding its work by the number
// of pairs: polynomial instead of exponential.
class FailureMemo {
  public:
    void Start(size_t nodeCount, size_t positions);
    void Stop() { active_ = false; }
    bool Active() const { return active_; }
    bool Known(size_t node, size_t position) const {
        const size_t bit = position * nodeCount_ + node;
        return ((bits_[bit / 64] >> (bit % 64)) & 1u) != 0;
    }
    void Remember(size_t node, size_t position) {
        const size_t bit = position * nodeCount_ + node;
        bits_[bit / 64] |= uint64_t{1} << (bit % 64);
    }

  private:
    std::vector<uint64_t> bits_;  // kept between subjects: no allocation once large enough
    size_t nodeCount_ = 0;
    bool active_ = false;
};

// Recursive backtracking over a compiled program, for one subject.
class Matcher {
  public:
    // `nodeSlots` numbers the program's nodes (see NumberNodes). With a null
    // `memo` the matcher is the plain backtracker; otherwise the memo is
    // switched on after `callsBeforeMemo` recursive calls.
    Matcher(const std::vector<uint8_t>& program, const std::vector<uint16_t>& nodeSlots,
            size_t nodeCount, const char* subject, FailureMemo* memo, size_t callsBeforeMemo,
            GroupPositions& groups);
    Matcher(const Matcher&) = delete;
    Matcher& operator=(const Matcher&) = delete;
    ~Matcher();

    // One attempt from `start`: matches the program from its first node and,
    // on success, records the whole match as group 0. True when it matched.
    // Group positions are written only once a match has succeeded, so a
    // failed attempt leaves them as they were: they are cleared once before
    // the first attempt rather than before each.
    bool Attempt(const char* start);

  private:
    // The end of a match of the rest of the program from `node` at `in`, or
    // null. Consults and feeds the memo.
    const char* Match(int32_t node, const char* in);
    const char* Walk(int32_t node, const char* in);
    size_t Repeat(int32_t operand, const char* in) const;
    void StartMemo();

    const uint8_t* program_;
    const uint16_t* nodeSlots_;
    size_t nodeCount_;
    const char* subject_;
    FailureMemo* memo_;
    size_t callsBeforeMemo_;
    GroupPositions& groups_;
    size_t calls_ = 0;
};

}  // namespace ravelmoor::regex
