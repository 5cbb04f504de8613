#include "core/filters/GlobExpression.h"

#include "core/engine/CaseFold.h"
#include "core/filters/FilterSet.h"

namespace ravelmoor {
namespace {

bool IsMeta(char c) {
    switch (c) {
        case '^':
        case '$':
        case '.':
        case '[':
        case '(':
        case ')':
        case '|':
        case '?':
        case '+':
        case '*':
        case '\\':
            return true;
        default:
            return false;
    }
}

void AppendLiteral(char c, std::string& out) {
    if (IsMeta(c)) out.push_back('\\');
    out.push_back(c);
}

// Where the set that opens at `open` ends (its ']'), by the engine's rules:
// after an optional negation, a ']' in first position is a member. npos when
// it is not closed.
size_t SetEnd(std::string_view text, size_t open, bool globNegation) {
    size_t at = open + 1;
    if (at < text.size() && (text[at] == '^' || (globNegation && text[at] == '!'))) ++at;
    if (at < text.size() && text[at] == ']') ++at;
    return text.find(']', at);
}

// A glob's set as the engine's: "[!...]" becomes "[^...]", and a negated
// set never takes the '/' between names.
void AppendSet(std::string_view set, std::string& out) {
    const bool negated = !set.empty() && (set[0] == '!' || set[0] == '^');
    if (!negated) {
        out.push_back('[');
        out.append(set);
        out.push_back(']');
        return;
    }
    std::string members(set.substr(1));
    // A '-' that ends the set is a member only there, so the '/' goes before it.
    const size_t slash =
        !members.empty() && members.back() == '-' ? members.size() - 1 : members.size();
    members.insert(slash, 1, '/');
    out += "[^";
    out += members;
    out.push_back(']');
}

size_t Utf8Length(unsigned char lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    return lead < 0xF0 ? 3 : 4;
}

}  // namespace

std::string GlobToExpression(std::string_view glob) {
    const std::string folded = FoldCase(glob);
    std::string_view body = folded;
    while (body.size() > 1 && body.back() == '/')
        body.remove_suffix(1);
    const bool rooted = body.find('/') != std::string_view::npos;
    while (!body.empty() && body.front() == '/')
        body.remove_prefix(1);

    std::string out;
    if (rooted) {
        out = "^";
    } else if (body.starts_with('*') && !body.starts_with("**")) {
        // Within one name a leading '*' may start anywhere: "*.tmp" is "\.tmp$".
        body.remove_prefix(1);
    } else {
        out = "(^|/)";
    }
    for (size_t at = 0; at < body.size(); ++at) {
        const char c = body[at];
        if (c == '\\') {
            if (at + 1 < body.size()) ++at;
            out.push_back('\\');
            out.push_back(body[at]);
        } else if (c == '*') {
            size_t stars = 1;
            while (at + 1 < body.size() && body[at + 1] == '*') {
                ++at;
                ++stars;
            }
            if (stars == 1) {
                out += "[^/]*";
            } else if (at + 1 < body.size() && body[at + 1] == '/') {
                ++at;
                out += "(.*/)?";
            } else {
                out += ".*";
            }
        } else if (c == '?') {
            out += "[^/]";
        } else if (c == '[') {
            const size_t end = SetEnd(body, at, true);
            if (end == std::string_view::npos) {
                AppendLiteral(c, out);
            } else {
                AppendSet(body.substr(at + 1, end - at - 1), out);
                at = end;
            }
        } else {
            AppendLiteral(c, out);
        }
    }
    out.push_back('$');
    return out;
}

std::string LiteralGlob(std::string_view path) {
    std::string glob = "/";
    for (const char c : path) {
        if (c == '*' || c == '?' || c == '[' || c == ']' || c == '\\') glob.push_back('\\');
        glob.push_back(c);
    }
    return glob;
}

bool LooksLikeGlob(const std::string& expression) {
    return expression.find_first_of("*?") != std::string::npos && !IsValidExpression(expression) &&
           IsValidExpression(GlobToExpression(expression));
}

std::string CharacterThatNeverMatches(std::string_view expression) {
    size_t at = 0;
    while (at < expression.size()) {
        const char c = expression[at];
        if (c == '[') {
            const size_t end = SetEnd(expression, at, false);
            if (end == std::string_view::npos) return {};
            at = end + 1;
            continue;
        }
        if (c == '\\' && at + 1 < expression.size()) {
            ++at;
        } else if (IsMeta(c)) {
            ++at;
            continue;
        }
        const size_t length = std::min(Utf8Length(static_cast<unsigned char>(expression[at])),
                                       expression.size() - at);
        const std::string_view character = expression.substr(at, length);
        if (FoldCase(character) != character) return std::string(character);
        at += length;
    }
    return {};
}

}  // namespace ravelmoor
