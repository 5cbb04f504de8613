#pragma once

// The compiled form of a regular expression, shared by the compiler and the
// matcher. A program is a sequence of nodes packed byte by byte:
//
//   byte 0      node kind
//   bytes 1-2   signed 16-bit little-endian link to the next node; 0 = none.
//               A Back node's next node lies that many bytes before it, every
//               other node's that many bytes after it.
//   bytes 3...  operand: a NUL-terminated string for Literal, AnyOf and
//               AnyBut; for SimpleStar, SimplePlus and Branch the node that
//               follows immediately.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ravelmoor::regex {

enum NodeKind : uint8_t {
    kEnd = 0,          // the whole expression has matched
    kStringStart = 1,  // only at the first character of the subject
    kStringEnd = 2,    // only at the terminating NUL
    kAnyChar = 3,      // any one character
    kAnyOf = 4,        // one character of the operand string
    kAnyBut = 5,       // one character (not NUL) not in the operand string
    kBranch = 6,       // try the operand chain; the next Branch is the next alternative
    kBack = 7,         // no-op whose link points backwards (loop of a repetition)
    kLiteral = 8,      // the operand string, literally
    kEmpty = 9,        // the empty string
    kSimpleStar = 10,  // the single-character operand, 0 or more times, greedy
    kSimplePlus = 11,  // the single-character operand, 1 or more times, greedy
    kGroupOpen = 20,   // + n (1..9): records the start of group n
    kGroupClose = 30,  // + n (1..9): records the end of group n
};

inline constexpr int kGroupCount = 10;  // index 0 is the whole match
inline constexpr size_t kNodeSize = 3;
// Links are signed 16-bit distances.
inline constexpr size_t kMaxProgramSize = 32767;
inline constexpr int32_t kNoNode = -1;

inline bool IsGroupOpen(uint8_t kind) {
    return kind > kGroupOpen && kind < kGroupOpen + kGroupCount;
}
inline bool IsGroupClose(uint8_t kind) {
    return kind > kGroupClose && kind < kGroupClose + kGroupCount;
}
inline bool HasStringOperand(uint8_t kind) {
    return kind == kLiteral || kind == kAnyOf || kind == kAnyBut;
}

inline int16_t LinkAt(const uint8_t* program, int32_t node) {
    const auto low = static_cast<uint16_t>(program[node + 1]);
    const auto high = static_cast<uint16_t>(program[node + 2]);
    return static_cast<int16_t>(static_cast<uint16_t>(low | (high << 8)));
}

inline int32_t NextNode(const uint8_t* program, int32_t node) {
    const int16_t link = LinkAt(program, node);
    if (link == 0) return kNoNode;
    return program[node] == kBack ? node - link : node + link;
}

inline int32_t OperandOf(int32_t node) {
    return node + static_cast<int32_t>(kNodeSize);
}

inline const char* StringOperand(const uint8_t* program, int32_t node) {
    return reinterpret_cast<const char*>(program + OperandOf(node));
}

// The bytes a node occupies, operand string included.
inline size_t NodeBytes(const uint8_t* program, int32_t node) {
    if (!HasStringOperand(program[node])) return kNodeSize;
    return kNodeSize + std::strlen(StringOperand(program, node)) + 1;
}

// Numbers the nodes in program order: slot[offset] is the node's ordinal at
// the offset where a node starts. The matcher keys what it remembers by it.
inline size_t NumberNodes(const std::vector<uint8_t>& program, std::vector<uint16_t>& slot) {
    slot.assign(program.size(), 0);
    size_t count = 0;
    for (size_t at = 0; at < program.size();
         at += NodeBytes(program.data(), static_cast<int32_t>(at))) {
        slot[at] = static_cast<uint16_t>(count++);
    }
    return count;
}

}  // namespace ravelmoor::regex
