#include "cli/ClosestWord.h"

#include <algorithm>
#include <cstddef>

namespace ravelmoor {
namespace {

// Optimal string alignment distance: Levenshtein plus swaps of neighbours.
size_t EditDistance(std::string_view a, std::string_view b) {
    const size_t width = b.size() + 1;
    std::vector<size_t> d((a.size() + 1) * width);
    for (size_t i = 0; i <= a.size(); ++i)
        d[i * width] = i;
    for (size_t j = 0; j <= b.size(); ++j)
        d[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            size_t best = std::min({d[(i - 1) * width + j] + 1, d[i * width + j - 1] + 1,
                                    d[(i - 1) * width + j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                best = std::min(best, d[(i - 2) * width + j - 2] + 1);
            }
            d[i * width + j] = best;
        }
    }
    return d[a.size() * width + b.size()];
}

}  // namespace

std::string ClosestWord(std::string_view word, const std::vector<std::string>& candidates) {
    const size_t allowed = std::max<size_t>(1, word.size() / 3);
    std::string closest;
    size_t best = allowed + 1;
    for (const std::string& candidate : candidates) {
        const size_t distance = EditDistance(word, candidate);
        if (distance < best) {
            best = distance;
            closest = candidate;
        }
    }
    return closest;
}

std::string DidYouMean(std::string_view word, const std::vector<std::string>& candidates) {
    const std::string closest = ClosestWord(word, candidates);
    return closest.empty() ? std::string() : " (did you mean " + closest + "?)";
}

}  // namespace ravelmoor
