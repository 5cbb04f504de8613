#pragma once

#include <atomic>
#include <cstdint>

namespace ravelmoor {

// Ctrl-C (SIGINT) and SIGTERM set the cancel word of a running comparison, so
// that it ends cleanly; a second Ctrl-C ends the program at once.
class InterruptHandler {
  public:
    explicit InterruptHandler(std::atomic<int32_t>& cancelWord);
    ~InterruptHandler();
    InterruptHandler(const InterruptHandler&) = delete;
    InterruptHandler& operator=(const InterruptHandler&) = delete;

    // True once a signal has arrived.
    static bool Interrupted();
};

}  // namespace ravelmoor
