#pragma once

#include <string_view>

namespace ravelmoor {

// Where a pair comparison, a copy or a deletion writes the path it is working
// on (the "Re-Comparing files..." line after a synchronisation).
class ProgressText {
  public:
    virtual ~ProgressText() = default;
    virtual void Show(std::string_view text) = 0;
};

}  // namespace ravelmoor
