#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "core/engine/Outcome.h"

namespace ravelmoor {

// Why a synchronisation or an undo was not started as asked; the reason is
// the message to show.
enum class StartStatus {
    Ready,
    WithoutJournal,   // no journal can be kept: the run is ready, but only the
                      // person's word lets it go on (it can then not be undone)
    SideUnreachable,  // a side is gone or names another folder now
    RootInUse,        // another run holds a root, or no lock could be made
};
using StartOutcome = Outcome<StartStatus>;

// What a synchronisation or an undo has done so far, for a progress line or
// dialog: objects and bytes settled of those planned, and the time taken.
struct RunSnapshot {
    size_t itemsPlanned = 0;
    size_t itemsSettled = 0;
    uint64_t bytesPlanned = 0;
    uint64_t bytesSettled = 0;
    // Written of the copies not yet settled: the part of a large file done.
    uint64_t bytesMoving = 0;
    double seconds = 0;  // since the run began; 0 before

    // The bytes written so far, settled or on their way, never above the plan.
    uint64_t BytesDone() const {
        const uint64_t done = bytesSettled + bytesMoving;
        return done < bytesPlanned ? done : bytesPlanned;
    }
    // The time still to go at the pace so far (by bytes where the plan has
    // any, else by objects); negative while nothing is done yet.
    double SecondsLeft() const {
        const bool byBytes = bytesPlanned > 0;
        const double done = byBytes ? double(BytesDone()) : double(itemsSettled);
        const double all = byBytes ? double(bytesPlanned) : double(itemsPlanned);
        if (done <= 0 || seconds <= 0) return -1;
        return seconds * (all - done) / done;
    }
};

// The counts a run keeps as it goes. Written by the run's thread, read from
// any thread (the front end polls Snapshot).
class RunCounters {
  public:
    void Plan(size_t items, uint64_t bytes) {
        itemsPlanned_.store(items);
        bytesPlanned_.store(bytes);
    }
    void Begin() { begun_.store(std::chrono::steady_clock::now().time_since_epoch().count()); }
    // Part of a copy's data is written.
    void Moved(uint64_t bytes) { bytesMoving_.fetch_add(bytes); }
    // One object is settled; `bytes` of it count as copied, and what was
    // written of it (at most `written`) is no longer on its way.
    void Settle(uint64_t bytes, uint64_t written = 0) {
        itemsSettled_.fetch_add(1);
        bytesSettled_.fetch_add(bytes);
        uint64_t moving = bytesMoving_.load();
        while (!bytesMoving_.compare_exchange_weak(moving, moving - std::min(moving, written))) {
        }
    }
    RunSnapshot Snapshot() const {
        RunSnapshot snapshot;
        snapshot.itemsPlanned = itemsPlanned_.load();
        snapshot.itemsSettled = itemsSettled_.load();
        snapshot.bytesPlanned = bytesPlanned_.load();
        snapshot.bytesSettled = bytesSettled_.load();
        snapshot.bytesMoving = bytesMoving_.load();
        if (const int64_t begun = begun_.load(); begun != 0) {
            const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
            snapshot.seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::duration(now - begun))
                    .count();
        }
        return snapshot;
    }

  private:
    std::atomic<size_t> itemsPlanned_{0};
    std::atomic<size_t> itemsSettled_{0};
    std::atomic<uint64_t> bytesPlanned_{0};
    std::atomic<uint64_t> bytesSettled_{0};
    std::atomic<uint64_t> bytesMoving_{0};
    std::atomic<int64_t> begun_{0};
};

}  // namespace ravelmoor
