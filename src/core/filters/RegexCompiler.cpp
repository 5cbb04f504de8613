#include "core/filters/RegexCompiler.h"

#include <cstring>
#include <new>
#include <optional>

#include "core/filters/RegexProgram.h"

namespace ravelmoor::regex {
namespace {

constexpr const char* kMetaCharacters = "^$.[()|?+*\\";

// What a parsed part of the expression tells the level above it.
enum Property : unsigned {
    // Every match of it consumes at least one character, so repeating it
    // always makes progress.
    kCanBeNonEmpty = 1,
    // It is one node that matches exactly one character.
    kSingleCharacter = 2,
    // It begins with a `*` or `+` piece.
    kStartsWithRepetition = 4,
};

bool IsMultiplier(char c) {
    return c == '*' || c == '+' || c == '?';
}

// A byte as a signed 8-bit value, the order in which range bounds are compared.
int SignedByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x80 ? b : b - 0x100;
}

// In the sizing pass every node is this stand-in; linking it does nothing.
constexpr int32_t kScratch = -2;

// Empty when the expression is rejected.
using NodeRef = std::optional<int32_t>;

// One pass of the recursive-descent parser. With no output buffer it only
// counts bytes; with one (zero-filled, of the counted size) it emits.
class Parser {
  public:
    Parser(const char* expression, uint8_t* out) : at_(expression), out_(out) {}

    bool Parse(unsigned& properties) { return Expression(false, properties).has_value(); }
    size_t Size() const { return size_; }

  private:
    NodeRef Expression(bool group, unsigned& properties);
    NodeRef Branch(unsigned& properties);
    NodeRef Piece(unsigned& properties);
    NodeRef Atom(unsigned& properties);
    NodeRef LiteralRun(unsigned& properties);
    NodeRef Set();

    int32_t Node(unsigned kind);
    void Byte(char c);
    void Insert(unsigned kind, int32_t before);
    void Link(int32_t chain, int32_t target);
    void LinkOperand(int32_t node, int32_t target);
    int32_t Next(int32_t node) const { return node == kScratch ? kNoNode : NextNode(out_, node); }

    const char* at_;
    uint8_t* out_;
    size_t size_ = 0;  // bytes counted, or the write position when emitting
    int nextGroup_ = 1;
};

int32_t Parser::Node(unsigned kind) {
    const size_t at = size_;
    size_ += kNodeSize;
    if (out_ == nullptr) return kScratch;
    out_[at] = static_cast<uint8_t>(kind);
    out_[at + 1] = 0;
    out_[at + 2] = 0;
    return static_cast<int32_t>(at);
}

void Parser::Byte(char c) {
    if (out_ != nullptr) out_[size_] = static_cast<uint8_t>(c);
    ++size_;
}

// Moves the already emitted nodes from `before` on three bytes further and
// puts a new node in their place. Nothing outside them links into them yet.
void Parser::Insert(unsigned kind, int32_t before) {
    if (out_ != nullptr) {
        const auto at = static_cast<size_t>(before);
        std::memmove(out_ + at + kNodeSize, out_ + at, size_ - at);
        out_[at] = static_cast<uint8_t>(kind);
        out_[at + 1] = 0;
        out_[at + 2] = 0;
    }
    size_ += kNodeSize;
}

// Links the last node of the chain that starts at `chain` to `target`.
void Parser::Link(int32_t chain, int32_t target) {
    if (chain == kScratch) return;
    int32_t last = chain;
    for (int32_t next = Next(last); next != kNoNode; next = Next(last))
        last = next;
    const int32_t distance = out_[last] == kBack ? last - target : target - last;
    const auto bits = static_cast<uint16_t>(static_cast<int16_t>(distance));
    out_[last + 1] = static_cast<uint8_t>(bits & 0xFF);
    out_[last + 2] = static_cast<uint8_t>(bits >> 8);
}

// Links the end of a Branch's operand chain to `target`; other nodes are left alone.
void Parser::LinkOperand(int32_t node, int32_t target) {
    if (node == kScratch || out_[node] != kBranch) return;
    Link(OperandOf(node), target);
}

// The whole expression, or the inside of a group: alternatives separated by '|'.
NodeRef Parser::Expression(bool group, unsigned& properties) {
    properties = kCanBeNonEmpty;
    int groupNumber = 0;
    NodeRef first;
    if (group) {
        if (nextGroup_ >= kGroupCount) return std::nullopt;
        groupNumber = nextGroup_++;
        first = Node(kGroupOpen + static_cast<unsigned>(groupNumber));
    }
    for (;;) {
        unsigned branchProperties = 0;
        const NodeRef branch = Branch(branchProperties);
        if (!branch) return std::nullopt;
        if (first) {
            Link(*first, *branch);
        } else {
            first = branch;
        }
        if ((branchProperties & kCanBeNonEmpty) == 0) properties &= ~kCanBeNonEmpty;
        properties |= branchProperties & kStartsWithRepetition;
        if (*at_ != '|') break;
        ++at_;
    }
    const int32_t ender =
        Node(group ? kGroupClose + static_cast<unsigned>(groupNumber) : unsigned{kEnd});
    Link(*first, ender);
    for (int32_t node = *first; node != kNoNode; node = Next(node))
        LinkOperand(node, ender);
    if (group) {
        if (*at_ != ')') return std::nullopt;
        ++at_;
    } else if (*at_ != '\0') {
        return std::nullopt;  // a ')' without its '('
    }
    return first;
}

// One alternative: a Branch node followed by its pieces.
NodeRef Parser::Branch(unsigned& properties) {
    properties = 0;
    const int32_t branch = Node(kBranch);
    bool anyPiece = false;
    int32_t chain = kNoNode;
    while (*at_ != '\0' && *at_ != '|' && *at_ != ')') {
        unsigned pieceProperties = 0;
        const NodeRef latest = Piece(pieceProperties);
        if (!latest) return std::nullopt;
        properties |= pieceProperties & kCanBeNonEmpty;
        if (anyPiece) {
            Link(chain, *latest);
        } else {
            properties |= pieceProperties & kStartsWithRepetition;
        }
        chain = *latest;
        anyPiece = true;
    }
    if (!anyPiece) Node(kEmpty);
    return branch;
}

// An atom and its multiplier, if any.
NodeRef Parser::Piece(unsigned& properties) {
    unsigned atomProperties = 0;
    const NodeRef atom = Atom(atomProperties);
    if (!atom) return std::nullopt;
    const char multiplier = *at_;
    if (!IsMultiplier(multiplier)) {
        properties = atomProperties;
        return atom;
    }
    // Repeating what can match nothing would loop without progress.
    if ((atomProperties & kCanBeNonEmpty) == 0 && multiplier != '?') return std::nullopt;
    const bool single = (atomProperties & kSingleCharacter) != 0;
    const int32_t x = *atom;
    if (multiplier == '*') {
        properties = kStartsWithRepetition;
        if (single) {
            Insert(kSimpleStar, x);
        } else {
            // (x, then back to the start | nothing)
            Insert(kBranch, x);
            LinkOperand(x, Node(kBack));
            LinkOperand(x, x);
            Link(x, Node(kBranch));
            Link(x, Node(kEmpty));
        }
    } else if (multiplier == '+') {
        properties = kCanBeNonEmpty | kStartsWithRepetition;
        if (single) {
            Insert(kSimplePlus, x);
        } else {
            // x, then (back to x | nothing)
            const int32_t loop = Node(kBranch);
            Link(x, loop);
            Link(Node(kBack), x);
            Link(loop, Node(kBranch));
            Link(x, Node(kEmpty));
        }
    } else {
        properties = 0;
        // (x | nothing)
        Insert(kBranch, x);
        Link(x, Node(kBranch));
        const int32_t nothing = Node(kEmpty);
        Link(x, nothing);
        LinkOperand(x, nothing);
    }
    ++at_;
    if (IsMultiplier(*at_)) return std::nullopt;
    return x;
}

NodeRef Parser::Atom(unsigned& properties) {
    properties = 0;
    const char c = *at_;
    if (c == '\0' || c == '|' || c == ')') return std::nullopt;  // the branch stops before these
    ++at_;
    switch (c) {
        case '^':
            return Node(kStringStart);
        case '$':
            return Node(kStringEnd);
        case '.':
            properties = kCanBeNonEmpty | kSingleCharacter;
            return Node(kAnyChar);
        case '[':
            properties = kCanBeNonEmpty | kSingleCharacter;
            return Set();
        case '(': {
            unsigned inner = 0;
            const NodeRef group = Expression(true, inner);
            properties = inner & (kCanBeNonEmpty | kStartsWithRepetition);
            return group;
        }
        case '*':
        case '+':
        case '?':
            return std::nullopt;  // nothing to repeat
        case '\\': {
            if (*at_ == '\0') return std::nullopt;
            const int32_t node = Node(kLiteral);
            Byte(*at_++);
            Byte('\0');
            properties = kCanBeNonEmpty | kSingleCharacter;
            return node;
        }
        default:
            --at_;
            return LiteralRun(properties);
    }
}

// A run of ordinary characters. When a multiplier follows a run of more than
// one, the last character becomes an atom of its own: `abc*` is `ab` then `c*`.
NodeRef Parser::LiteralRun(unsigned& properties) {
    size_t length = std::strcspn(at_, kMetaCharacters);
    if (length > 1 && IsMultiplier(at_[length])) --length;
    const int32_t node = Node(kLiteral);
    for (size_t k = 0; k < length; ++k)
        Byte(*at_++);
    Byte('\0');
    properties = kCanBeNonEmpty | (length == 1 ? kSingleCharacter : 0u);
    return node;
}

// A bracketed set after its '['. A ']' or '-' first is a member, a '-' last
// is a member, there are no escapes. Range bounds compare as signed bytes, so
// a range from a byte of 0x80 or above to one below 0x80 is accepted: it then
// holds the bytes from its lower bound up to 0xFF and from 0x01 up to its
// upper bound, in signed order.
NodeRef Parser::Set() {
    int32_t node = kNoNode;
    if (*at_ == '^') {
        node = Node(kAnyBut);
        ++at_;
    } else {
        node = Node(kAnyOf);
    }
    if (*at_ == ']' || *at_ == '-') Byte(*at_++);
    while (*at_ != '\0' && *at_ != ']') {
        if (*at_ != '-') {
            Byte(*at_++);
            continue;
        }
        ++at_;
        if (*at_ == ']' || *at_ == '\0') {
            Byte('-');
            continue;
        }
        // The lower bound is the member just before the '-' (already added).
        const int low = SignedByte(at_[-2]);
        const int high = SignedByte(at_[0]);
        if (low > high) return std::nullopt;
        for (int value = low + 1; value <= high; ++value) {
            if (value != 0) Byte(static_cast<char>(value));
        }
        ++at_;
    }
    Byte('\0');
    if (*at_ != ']') return std::nullopt;
    ++at_;
    return node;
}

}  // namespace

bool CompileProgram(const char* expression, std::vector<uint8_t>& program,
                    bool& startsWithRepetition) {
    program.clear();
    startsWithRepetition = false;
    if (expression == nullptr) return false;
    unsigned properties = 0;
    Parser sizing(expression, nullptr);
    if (!sizing.Parse(properties) || sizing.Size() > kMaxProgramSize) return false;
    try {
        program.assign(sizing.Size(), 0);
    } catch (const std::bad_alloc&) {
        program.clear();
        return false;
    }
    Parser emitting(expression, program.data());
    emitting.Parse(properties);  // the same expression: it cannot fail now
    startsWithRepetition = (properties & kStartsWithRepetition) != 0;
    return true;
}

}  // namespace ravelmoor::regex
