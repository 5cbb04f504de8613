#pragma once

#include <cstdint>
#include <string_view>

namespace ravelmoor {

// Where a pair comparison, a copy or a deletion writes the path it is working
// on (the "Re-Comparing files..." line after a synchronisation).
class ProgressText {
  public:
    virtual ~ProgressText() = default;
    virtual void Show(std::string_view text) = 0;
    // Told of each piece of a copy's data as it is written (on the copying
    // thread), before the copy is settled: the bytes move during a large file.
    virtual void Moved(uint64_t /*bytes*/) {}
};

}  // namespace ravelmoor
