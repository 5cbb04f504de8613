#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/PlannedActions.h"
#include "core/engine/ProgressText.h"

namespace ravelmoor {

// The live line of a sync on the terminal: objects and bytes done of the
// whole, the rate, the time left and the object in hand. With `itemised`
// set, each action that is done is also written there as one line, itemised
// as rsync -i does: eleven change characters, a space and the path below the
// roots. The first character says where the object goes ('>' to Target, '<'
// to Source), the second what it is ('f' file, 'd' folder, 'L' symbolic
// link; a new folder or link starts with 'c'); "+++++++++" marks a new
// object, 's' and 't' a replaced one whose size or time differs; a deletion
// is "*deleting".
class SyncProgress : public ProgressText {
  public:
    SyncProgress(PlannedActions& actions, FILE* itemised);

    // The object being worked on (a full path, as FileOperation shows it).
    void Show(std::string_view text) override;
    // A piece of the copy in hand is written: the bytes move before it is done.
    void Moved(uint64_t bytes) override;

    // "Synchronising 3 of 40 objects, 1,024 of 4,096 bytes, 512 kB/s, 0:06
    // left: " and the escaped `path`; the rate and time left once `seconds`
    // and the bytes done say something.
    static std::string Line(size_t objectsDone, size_t objects, uint64_t bytesDone, uint64_t bytes,
                            double seconds, std::string_view path);
    // The itemised line of `action` (without a line end).
    static std::string ItemLine(const PlannedAction& action);

  private:
    void Settled(const PlannedAction& action);
    // Redraws the line, at most every tenth of a second.
    void Draw();

    FILE* itemised_;
    size_t objects_ = 0;
    uint64_t bytes_ = 0;
    size_t objectsDone_ = 0;
    uint64_t bytesDone_ = 0;
    uint64_t bytesMoving_ = 0;  // written of the copies not yet settled
    std::string current_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point drawn_{};
};

}  // namespace ravelmoor
