#pragma once

#include <string>

namespace ravelmoor {

// Stand-in until the expression engine is in: every expression is taken.
inline constexpr const char* kInvalidExpressionMessage = "This regular expression is not valid";
inline bool IsValidExpression(const std::string& /*expression*/) {
    return true;
}

}  // namespace ravelmoor
