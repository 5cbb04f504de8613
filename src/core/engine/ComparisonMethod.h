#pragma once

#include <cstdint>

namespace ravelmoor {

enum class ComparisonMethod : int32_t {
    SizeAndTimestamp = 0,
    Crc = 1,
    Both = 2,
};

// Where a comparison run stands; written by the worker, polled by the display.
enum class ComparisonPhase : int32_t {
    Idle = 0,
    CollectingSource = 1,
    CollectingTarget = 2,
    PreparingComparison = 3,
    EndedWithoutResult = 4,
    Comparing = 5,
    Completed = 6,
    Sorting = 7,
    Connecting = 8,  // logging on to the side on a server, before phase 1
};

}  // namespace ravelmoor
