// The machine's own limits for listing and reading folder trees, made of
// nothing but the system calls the work needs, for the benchmark tables.
//
//   walk_floor list THREADS DIR...   every folder read with getdents64 and
//                                    every other entry looked at with one
//                                    fstatat, folders shared out to THREADS
//                                    threads through one queue
//   walk_floor statx THREADS DIR...  the same, the entries of each folder
//                                    looked at with IORING_OP_STATX, handed
//                                    to the kernel's ring all at once
//   walk_floor sum DIR...            one thread: the same listing, and every
//                                    regular file opened relative to its
//                                    folder, its facts taken from the open
//                                    file, read and summed (CRC-32)
//
// Prints the entries seen (and the bytes summed), so that nothing is left
// out by the compiler and runs can be checked against each other.
#include <dirent.h>
#include <fcntl.h>
#include <libdeflate.h>
#include <liburing.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

class FolderQueue {
  public:
    void Push(std::string folder) {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            folders_.push_back(std::move(folder));
            ++pending_;
        }
        more_.notify_one();
    }
    // False once every folder has been listed.
    bool Take(std::string& folder) {
        std::unique_lock<std::mutex> lock(lock_);
        more_.wait(lock, [this] { return !folders_.empty() || pending_ == 0; });
        if (folders_.empty()) return false;
        folder = std::move(folders_.back());
        folders_.pop_back();
        return true;
    }
    void Done() {
        bool last = false;
        {
            const std::lock_guard<std::mutex> guard(lock_);
            last = --pending_ == 0;
        }
        if (last) more_.notify_all();
    }

  private:
    std::mutex lock_;
    std::condition_variable more_;
    std::deque<std::string> folders_;
    size_t pending_ = 0;  // pushed and not yet listed
};

struct Totals {
    uint64_t entries = 0;
    uint64_t listed = 0;  // sizes as listed
    uint64_t bytes = 0;   // bytes read
    uint32_t crcs = 0;    // summed over files, so that every sum is used
};

constexpr size_t kListBuffer = size_t{64} * 1024;
constexpr size_t kReadBuffer = size_t{256} * 1024;

void SumFile(int folder, const char* name, Totals& totals, char* buffer) {
    const int fd =
        ::openat(folder, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        totals.listed += static_cast<uint64_t>(st.st_size);
        uint32_t crc = 0;
        for (;;) {
            const ssize_t got = ::read(fd, buffer, kReadBuffer);
            if (got <= 0) break;
            crc = libdeflate_crc32(crc, buffer, static_cast<size_t>(got));
            totals.bytes += static_cast<uint64_t>(got);
        }
        totals.crcs += crc;
    }
    ::close(fd);
}

// Looks at the entries of one folder through the ring, in batches.
class StatxBatch {
  public:
    static constexpr unsigned kEntries = 256;
    StatxBatch() {
        if (io_uring_queue_init(kEntries, &ring_, 0) < 0) {
            std::fprintf(stderr, "walk_floor: no io_uring here\n");
            std::exit(2);
        }
    }
    ~StatxBatch() { io_uring_queue_exit(&ring_); }
    StatxBatch(const StatxBatch&) = delete;
    StatxBatch& operator=(const StatxBatch&) = delete;

    void Add(int folder, const char* name, Totals& totals) {
        if (queued_ == kEntries) Flush(totals);
        names_[queued_].assign(name);
        io_uring_sqe* sqe = io_uring_get_sqe(&ring_);
        io_uring_prep_statx(sqe, folder, names_[queued_].c_str(), AT_SYMLINK_NOFOLLOW,
                            STATX_TYPE | STATX_SIZE | STATX_MTIME, &results_[queued_]);
        io_uring_sqe_set_data64(sqe, queued_);
        ++queued_;
    }
    void Flush(Totals& totals) {
        if (queued_ == 0) return;
        io_uring_submit_and_wait(&ring_, queued_);
        io_uring_cqe* cqe = nullptr;
        unsigned head = 0;
        unsigned seen = 0;
        io_uring_for_each_cqe(&ring_, head, cqe) {
            if (cqe->res == 0) totals.listed += results_[io_uring_cqe_get_data64(cqe)].stx_size;
            ++seen;
        }
        io_uring_cq_advance(&ring_, seen);
        queued_ = 0;
    }

  private:
    io_uring ring_{};
    std::string names_[kEntries];
    struct statx results_[kEntries] {};
    unsigned queued_ = 0;
};

// Lists one folder: sub-folders go to `queue`, every other entry is looked at
// (and, with `read`, read and summed; with `ring`, looked at through it).
void ListFolder(const std::string& path, FolderQueue& queue, Totals& totals, bool read,
                StatxBatch* ring, char* names, char* buffer) {
    const int folder = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    for (;;) {
        const ssize_t got = ::getdents64(folder, names, kListBuffer);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(names + at);
            at += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            ++totals.entries;
            if (entry->d_type == DT_DIR) {
                queue.Push(path + "/" + name);
            } else if (read && entry->d_type == DT_REG) {
                SumFile(folder, name, totals, buffer);
            } else if (ring != nullptr) {
                ring->Add(folder, name, totals);
            } else {
                struct stat st {};
                if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                    totals.listed += static_cast<uint64_t>(st.st_size);
            }
        }
    }
    if (ring != nullptr) ring->Flush(totals);
    ::close(folder);
}

}  // namespace

int main(int argc, char** argv) {
    const bool statx = argc >= 4 && std::strcmp(argv[1], "statx") == 0;
    const bool list = statx || (argc >= 4 && std::strcmp(argv[1], "list") == 0);
    const bool sum = argc >= 3 && std::strcmp(argv[1], "sum") == 0;
    if (!list && !sum) {
        std::fprintf(stderr,
                     "usage: walk_floor list|statx THREADS DIR... | walk_floor sum DIR...\n");
        return 2;
    }
    const int first = list ? 3 : 2;
    const long threads = list ? std::strtol(argv[2], nullptr, 10) : 1;
    if (threads < 1 || threads > 64) {
        std::fprintf(stderr, "walk_floor: THREADS must be 1 to 64\n");
        return 2;
    }
    FolderQueue queue;
    for (int k = first; k < argc; ++k)
        queue.Push(argv[k]);
    std::vector<Totals> totals(static_cast<size_t>(threads));
    auto work = [&queue, sum, statx](Totals& mine) {
        std::vector<char> names(kListBuffer);
        std::vector<char> buffer(sum ? kReadBuffer : 0);
        std::unique_ptr<StatxBatch> ring;
        if (statx) ring = std::make_unique<StatxBatch>();
        std::string folder;
        while (queue.Take(folder)) {
            ListFolder(folder, queue, mine, sum, ring.get(), names.data(), buffer.data());
            queue.Done();
        }
    };
    std::vector<std::thread> helpers;
    for (long t = 1; t < threads; ++t)
        helpers.emplace_back(work, std::ref(totals[static_cast<size_t>(t)]));
    work(totals[0]);
    for (auto& helper : helpers)
        helper.join();
    Totals all;
    for (const Totals& t : totals) {
        all.entries += t.entries;
        all.listed += t.listed;
        all.bytes += t.bytes;
        all.crcs += t.crcs;
    }
    std::printf("%llu entries, %llu bytes listed, %llu bytes summed (%08x)\n",
                static_cast<unsigned long long>(all.entries),
                static_cast<unsigned long long>(all.listed),
                static_cast<unsigned long long>(all.bytes), all.crcs);
    return 0;
}
