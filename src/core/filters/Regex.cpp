#include "core/filters/Regex.h"

#include <cstring>

#include "core/filters/RegexCompiler.h"
#include "core/filters/RegexProgram.h"

namespace ravelmoor {

using namespace regex;

bool Regex::Compile(const char* expression) {
    if (expression == nullptr) return false;
    compiled_ = true;
    bool startsWithRepetition = false;
    const bool ok = CompileProgram(expression, program_, startsWithRepetition);
    SetOptimisationData(startsWithRepetition);
    if (!ok) {
        nodeSlots_.clear();
        nodeCount_ = 0;
        return false;
    }
    nodeCount_ = NumberNodes(program_, nodeSlots_);
    return true;
}

// With a single top-level alternative, its first node can tell where matches
// start, and the literals on its own chain must appear in every match.
void Regex::SetOptimisationData(bool startsWithRepetition) {
    firstChar_ = 0;
    anchored_ = false;
    mustContain_ = -1;
    mustContainLength_ = 0;
    if (program_.empty()) return;
    const uint8_t* program = program_.data();
    const int32_t next = NextNode(program, 0);
    if (next == kNoNode || program[next] != kEnd) return;
    const int32_t first = OperandOf(0);
    if (program[first] == kLiteral) {
        firstChar_ = *StringOperand(program, first);
    } else if (program[first] == kStringStart) {
        anchored_ = true;
    }
    if (!startsWithRepetition) return;
    for (int32_t node = first; node != kNoNode; node = NextNode(program, node)) {
        if (program[node] != kLiteral) continue;
        const size_t length = std::strlen(StringOperand(program, node));
        if (length >= mustContainLength_) {  // a later literal of equal length wins
            mustContain_ = OperandOf(node);
            mustContainLength_ = length;
        }
    }
}

std::string_view Regex::MustContain() const {
    if (mustContain_ < 0) return {};
    return {reinterpret_cast<const char*>(program_.data() + mustContain_), mustContainLength_};
}

ptrdiff_t Regex::MatchLength() const {
    if (groups_.start[0] < 0 || groups_.end[0] < 0) return 0;
    return groups_.end[0] - groups_.start[0];
}

ptrdiff_t Regex::Find(const char* subject) {
    foundText_.clear();
    if (subject == nullptr || !compiled_ || program_.empty()) return -1;
    if (mustContain_ >= 0 && std::strstr(subject, reinterpret_cast<const char*>(
                                                      program_.data() + mustContain_)) == nullptr) {
        return -1;
    }
    groups_.Clear();
    Matcher matcher(program_, nodeSlots_, nodeCount_, subject, guard_ ? &memo_ : nullptr,
                    callsBeforeMemo_, groups_);
    const char* found = nullptr;
    if (anchored_) {
        if (matcher.Attempt(subject)) found = subject;
    } else if (firstChar_ != 0) {
        for (const char* at = std::strchr(subject, firstChar_); at != nullptr;
             at = std::strchr(at + 1, firstChar_)) {
            if (matcher.Attempt(at)) {
                found = at;
                break;
            }
        }
    } else {
        const char* at = subject;
        do {
            if (matcher.Attempt(at)) {
                found = at;
                break;
            }
        } while (*at++ != '\0');
    }
    if (found == nullptr) return -1;
    foundText_.assign(found, static_cast<size_t>(MatchLength()));
    return found - subject;
}

}  // namespace ravelmoor
