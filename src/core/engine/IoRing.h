#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ravelmoor {

// Whether this process hands its file reading to the kernel in batches
// (io_uring) or makes one system call at a time.
struct IoRingSupport {
    bool usable = false;
    // When not usable: why, in words (the system's error, or the switch).
    std::string why;
};

// The submission ring of one thread: requests are queued, handed to the
// kernel together in one call and their results collected, so that many
// small files cost a few calls instead of three each.
//
// Kernels without it, or containers that forbid it, refuse the ring: every
// user keeps its one-call-at-a-time path for that, chosen at run time
// (Support). A ring is used by one thread at a time.
class IoRing {
  public:
    enum class Step : uint8_t { Open, Read, Close };
    struct Result {
        uint64_t tag;
        Step step;
        int32_t value;  // the call's result: a byte count, or a negative errno
    };

    // Decided once per process: RAVELMOOR_IO_URING=0 switches the ring off;
    // otherwise a ring is set up and asked for the operations the readers
    // use (opening, reading and closing files held in the ring's own table).
    static const IoRingSupport& Support();
    // One line on how files are read, for the command line's -v.
    static std::string Describe();

    // A ring that can hold `fileSlots` files open at once.
    explicit IoRing(unsigned fileSlots);
    ~IoRing();
    IoRing(const IoRing&) = delete;
    IoRing& operator=(const IoRing&) = delete;

    // False when the kernel refused the ring (then nothing may be queued).
    bool Ok() const;
    unsigned FileSlots() const { return fileSlots_; }

    // Queues the open, the read of `length` bytes from the start into
    // `buffer` and the close of the file `name` in the folder `folder` (a
    // handle), linked so that each step follows the one before and the
    // close always runs. The file is held in `slot` (below FileSlots(), not
    // held by another queued request). Each step gives a result under `tag`:
    // a failed open makes the read fail too. The open does not follow a
    // final symbolic link and never blocks on a FIFO.
    void QueueWholeRead(unsigned slot, int folder, const char* name, char* buffer, uint32_t length,
                        uint64_t tag);
    // Queues a read of `length` bytes at `offset` of the open file `fd`.
    void QueueRead(int fd, char* buffer, uint32_t length, uint64_t offset, uint64_t tag);

    // Hands what is queued to the kernel and waits until `count` results
    // are there to Pop. False when the ring itself failed.
    bool Wait(unsigned count);
    // The next result that is there; false when there is none.
    bool Pop(Result& result);

  private:
    struct State;
    void* NextEntry();
    std::unique_ptr<State> state_;
    unsigned fileSlots_;
};

}  // namespace ravelmoor
