#include "core/engine/IoRing.h"

#include <fcntl.h>
#include <liburing.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/engine/FileSystem.h"

namespace ravelmoor {
namespace {

// The step rides in the low bits of the request's user data.
constexpr uint64_t kStepBits = 2;
constexpr uint64_t kStepMask = (uint64_t{1} << kStepBits) - 1;

uint64_t UserData(uint64_t tag, IoRing::Step step) {
    return (tag << kStepBits) | static_cast<uint64_t>(step);
}

// Opened without O_CLOEXEC: a file held in the ring's table has no
// descriptor of its own that a started program could inherit, and the
// kernel refuses the flag there.
constexpr int kOpenFlags = O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;

IoRingSupport Probe() {
    IoRingSupport support;
    if (const char* text = std::getenv("RAVELMOOR_IO_URING");
        text != nullptr && std::strcmp(text, "0") == 0) {
        support.why = "switched off by RAVELMOOR_IO_URING=0";
        return support;
    }
    io_uring ring{};
    const int made = io_uring_queue_init(4, &ring, 0);
    if (made < 0) {
        support.why = ErrorText(-made);
        return support;
    }
    io_uring_probe* probe = io_uring_get_probe_ring(&ring);
    const bool operations = probe != nullptr &&
                            io_uring_opcode_supported(probe, IORING_OP_OPENAT) != 0 &&
                            io_uring_opcode_supported(probe, IORING_OP_READ) != 0 &&
                            io_uring_opcode_supported(probe, IORING_OP_CLOSE) != 0;
    if (probe != nullptr) io_uring_free_probe(probe);
    const int table = operations ? io_uring_register_files_sparse(&ring, 2) : 0;
    io_uring_queue_exit(&ring);
    if (!operations) {
        support.why = "the kernel's ring cannot open, read and close files";
    } else if (table < 0) {
        support.why = ErrorText(-table);
    } else {
        support.usable = true;
    }
    return support;
}

}  // namespace

struct IoRing::State {
    io_uring ring{};
    bool ok = false;
};

const IoRingSupport& IoRing::Support() {
    static const IoRingSupport support = Probe();
    return support;
}

std::string IoRing::Describe() {
    const IoRingSupport& support = Support();
    if (support.usable) return "Files are read with batched system calls (io_uring).";
    return "Files are read one system call at a time (io_uring: " + support.why + ").";
}

IoRing::IoRing(unsigned fileSlots) : state_(std::make_unique<State>()), fileSlots_(fileSlots) {
    if (!Support().usable) return;
    // Three steps per file held, and room for reads of open files beside them.
    io_uring_params params{};
    params.flags = IORING_SETUP_CQSIZE;
    params.cq_entries = 8 * fileSlots;
    if (io_uring_queue_init_params(4 * fileSlots, &state_->ring, &params) < 0) return;
    if (io_uring_register_files_sparse(&state_->ring, fileSlots) < 0) {
        io_uring_queue_exit(&state_->ring);
        return;
    }
    state_->ok = true;
}

IoRing::~IoRing() {
    if (state_->ok) io_uring_queue_exit(&state_->ring);
}

bool IoRing::Ok() const {
    return state_->ok;
}

void* IoRing::NextEntry() {
    io_uring_sqe* entry = io_uring_get_sqe(&state_->ring);
    if (entry == nullptr) {
        // The queue is full: what is in it goes to the kernel now.
        io_uring_submit(&state_->ring);
        entry = io_uring_get_sqe(&state_->ring);
    }
    return entry;
}

void IoRing::QueueWholeRead(unsigned slot, int folder, const char* name, char* buffer,
                            uint32_t length, uint64_t tag) {
    // Hard links: a failed step does not cancel the next one, so the close
    // runs whatever became of the read and the slot is free again.
    auto* open = static_cast<io_uring_sqe*>(NextEntry());
    io_uring_prep_openat_direct(open, folder, name, kOpenFlags, 0, slot);
    open->flags |= IOSQE_IO_HARDLINK;
    io_uring_sqe_set_data64(open, UserData(tag, Step::Open));
    auto* read = static_cast<io_uring_sqe*>(NextEntry());
    io_uring_prep_read(read, static_cast<int>(slot), buffer, length, 0);
    read->flags |= IOSQE_FIXED_FILE | IOSQE_IO_HARDLINK;
    io_uring_sqe_set_data64(read, UserData(tag, Step::Read));
    auto* close = static_cast<io_uring_sqe*>(NextEntry());
    io_uring_prep_close_direct(close, slot);
    io_uring_sqe_set_data64(close, UserData(tag, Step::Close));
}

void IoRing::QueueRead(int fd, char* buffer, uint32_t length, uint64_t offset, uint64_t tag) {
    auto* read = static_cast<io_uring_sqe*>(NextEntry());
    io_uring_prep_read(read, fd, buffer, length, offset);
    io_uring_sqe_set_data64(read, UserData(tag, Step::Read));
}

bool IoRing::Wait(unsigned count) {
    for (;;) {
        const int submitted = io_uring_submit_and_wait(&state_->ring, count);
        if (submitted >= 0) return true;
        if (submitted != -EINTR) return false;
    }
}

bool IoRing::Pop(Result& result) {
    io_uring_cqe* done = nullptr;
    if (io_uring_peek_cqe(&state_->ring, &done) != 0 || done == nullptr) return false;
    const uint64_t data = io_uring_cqe_get_data64(done);
    result.tag = data >> kStepBits;
    result.step = static_cast<Step>(data & kStepMask);
    result.value = done->res;
    io_uring_cqe_seen(&state_->ring, done);
    return true;
}

}  // namespace ravelmoor
