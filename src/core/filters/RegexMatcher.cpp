#include "core/filters/RegexMatcher.h"

#include <cstring>

namespace ravelmoor::regex {

void FailureMemo::Start(size_t nodeCount, size_t positions) {
    nodeCount_ = nodeCount;
    bits_.assign((nodeCount * positions + 63) / 64, 0);
    active_ = true;
}

Matcher::Matcher(const std::vector<uint8_t>& program, const std::vector<uint16_t>& nodeSlots,
                 size_t nodeCount, const char* subject, FailureMemo* memo, size_t callsBeforeMemo,
                 GroupPositions& groups)
    : program_(program.data()),
      nodeSlots_(nodeSlots.data()),
      nodeCount_(nodeCount),
      subject_(subject),
      memo_(memo),
      callsBeforeMemo_(callsBeforeMemo),
      groups_(groups) {}

Matcher::~Matcher() {
    if (memo_ != nullptr) memo_->Stop();
}

bool Matcher::Attempt(const char* start) {
    const char* end = Match(0, start);
    if (end == nullptr) return false;
    groups_.start[0] = start - subject_;
    groups_.end[0] = end - subject_;
    return true;
}

void Matcher::StartMemo() {
    memo_->Start(nodeCount_, std::strlen(subject_) + 1);
}

const char* Matcher::Match(int32_t node, const char* in) {
    if (node == kNoNode) return nullptr;
    if (memo_ == nullptr) return Walk(node, in);
    if (!memo_->Active()) {
        if (calls_++ < callsBeforeMemo_) return Walk(node, in);
        StartMemo();
    }
    const size_t slot = nodeSlots_[node];
    const auto position = static_cast<size_t>(in - subject_);
    if (memo_->Known(slot, position)) return nullptr;
    const char* end = Walk(node, in);
    if (end == nullptr) memo_->Remember(slot, position);
    return end;
}

// Follows the chain from `node`, recursing only where there is a choice.
const char* Matcher::Walk(int32_t node, const char* in) {
    const uint8_t* program = program_;
    while (node != kNoNode) {
        const uint8_t kind = program[node];
        int32_t next = NextNode(program, node);
        switch (kind) {
            case kEnd:
                return in;
            case kEmpty:
            case kBack:
                break;
            case kStringStart:
                if (in != subject_) return nullptr;
                break;
            case kStringEnd:
                if (*in != '\0') return nullptr;
                break;
            case kAnyChar:
                if (*in == '\0') return nullptr;
                ++in;
                break;
            case kAnyOf:
                if (*in == '\0' || std::strchr(StringOperand(program, node), *in) == nullptr)
                    return nullptr;
                ++in;
                break;
            case kAnyBut:
                if (*in == '\0' || std::strchr(StringOperand(program, node), *in) != nullptr)
                    return nullptr;
                ++in;
                break;
            case kLiteral: {
                const char* text = StringOperand(program, node);
                if (*text != *in) return nullptr;
                const size_t length = std::strlen(text);
                if (length > 1 && std::strncmp(text, in, length) != 0) return nullptr;
                in += length;
                break;
            }
            case kBranch:
                if (next == kNoNode || program[next] != kBranch) {
                    next = OperandOf(node);  // a single alternative: no choice to remember
                    break;
                }
                for (int32_t alternative = node;
                     alternative != kNoNode && program[alternative] == kBranch;
                     alternative = NextNode(program, alternative)) {
                    if (const char* end = Match(OperandOf(alternative), in)) return end;
                }
                return nullptr;
            case kSimpleStar:
            case kSimplePlus: {
                const size_t least = kind == kSimpleStar ? 0 : 1;
                // Only positions where the literal that follows can start are worth a try.
                const char follow = next != kNoNode && program[next] == kLiteral
                                        ? *StringOperand(program, next)
                                        : '\0';
                const size_t count = Repeat(OperandOf(node), in);
                for (size_t k = count + 1; k-- > least;) {  // greedy: longest run first
                    const char* at = in + k;
                    if (follow != '\0' && *at != follow) continue;
                    if (const char* end = Match(next, at)) return end;
                }
                return nullptr;
            }
            default: {
                const bool open = IsGroupOpen(kind);
                if (!open && !IsGroupClose(kind)) return nullptr;  // not a node of ours
                const char* end = Match(next, in);
                if (end == nullptr) return nullptr;
                ptrdiff_t& recorded =
                    open ? groups_.start[kind - kGroupOpen] : groups_.end[kind - kGroupClose];
                if (recorded < 0) recorded = in - subject_;
                return end;
            }
        }
        node = next;
    }
    return nullptr;  // a chain that stops before End
}

// How often the single-character node `operand` repeats at `in`.
size_t Matcher::Repeat(int32_t operand, const char* in) const {
    const char* scan = in;
    const char* text = StringOperand(program_, operand);
    switch (program_[operand]) {
        case kAnyChar:
            return std::strlen(in);
        case kLiteral:
            while (*scan == *text)
                ++scan;
            break;
        case kAnyOf:
            while (*scan != '\0' && std::strchr(text, *scan) != nullptr)
                ++scan;
            break;
        case kAnyBut:
            while (*scan != '\0' && std::strchr(text, *scan) == nullptr)
                ++scan;
            break;
        default:
            return 0;
    }
    return static_cast<size_t>(scan - in);
}

}  // namespace ravelmoor::regex
