#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/sync/RowOperations.h"

namespace ravelmoor {

class Comparison;
class Destinations;

// What a synchronisation left as it was, one line per object: where it is
// (as the root texts show it) and why, "answered No" for an object whose
// question the user declined. Listens to the sync as its observer; an
// object the sync never reached (after a stop) is not named.
class NotDoneList : public SyncObserver {
  public:
    explicit NotDoneList(const Comparison& comparison);
    ~NotDoneList() override;

    void ActionSettled(ListSide side, bool deletion, uint32_t row, ItemResult result,
                       std::string_view reason) override;
    const std::vector<std::string>& Lines() const { return lines_; }

  private:
    const Comparison& comparison_;
    // Where copies to each side go, made when first needed.
    std::unique_ptr<Destinations> toSource_;
    std::unique_ptr<Destinations> toTarget_;
    std::vector<std::string> lines_;
};

}  // namespace ravelmoor
