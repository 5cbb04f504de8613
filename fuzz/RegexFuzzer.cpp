// Compiles the first part of the input as an expression and searches the rest
// with it, with and without the memory of failed positions: both must agree,
// and a match must lie inside the subject.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/filters/Regex.h"

using namespace ravelmoor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // Expression and subject are separated by the first NUL (both are C texts).
    const size_t split = input.find('\0');
    const std::string expression = input.substr(0, split);
    const std::string subject =
        split == std::string::npos ? std::string() : input.substr(split + 1);
    // The plain backtracker is exponential on some expressions: only short
    // subjects are compared with it.
    Regex guarded;
    if (!guarded.Compile(expression)) return 0;
    const ptrdiff_t found = guarded.Find(subject);
    const size_t length = std::char_traits<char>::length(subject.c_str());
    if (found >= 0 && static_cast<size_t>(found + guarded.MatchLength()) > length) std::abort();
    if (subject.size() <= 16 && expression.size() <= 16) {
        Regex plain;
        plain.SetBacktrackGuard(false);
        plain.Compile(expression);
        const ptrdiff_t plainFound = plain.Find(subject);
        if (plainFound != found || (found >= 0 && plain.MatchLength() != guarded.MatchLength())) {
            std::abort();
        }
    }
    return 0;
}
