#include "support/FaultyFileSystem.h"

#include <thread>
#include <utility>

#include "core/local/BelowRoot.h"

namespace ravelmoor::test {
namespace {

class SlowSink : public ListSink {
  public:
    SlowSink(ListSink& inner, std::chrono::microseconds delay) : inner_(inner), delay_(delay) {}
    bool OnEntry(const DirEntryFacts& facts) override {
        std::this_thread::sleep_for(delay_);
        return inner_.OnEntry(facts);
    }

  private:
    ListSink& inner_;
    std::chrono::microseconds delay_;
};

class BreakingReader : public FileReader {
  public:
    BreakingReader(std::unique_ptr<FileReader> inner, int64_t limit)
        : inner_(std::move(inner)), left_(limit) {}
    int64_t Read(char* buffer, size_t capacity) override {
        if (left_ <= 0) return -1;
        const int64_t got =
            inner_->Read(buffer, std::min<size_t>(capacity, static_cast<size_t>(left_)));
        if (got > 0) left_ -= got;
        return got;
    }

  private:
    std::unique_ptr<FileReader> inner_;
    int64_t left_;
};

class MeddlingReader : public FileReader {
  public:
    MeddlingReader(std::unique_ptr<FileReader> inner, std::function<void()> change)
        : inner_(std::move(inner)), change_(std::move(change)) {}
    int64_t Read(char* buffer, size_t capacity) override {
        // A small first piece, so that the change lands in the middle.
        const int64_t got =
            inner_->Read(buffer, change_ ? std::min<size_t>(capacity, 2) : capacity);
        if (got > 0 && change_) std::exchange(change_, nullptr)();
        return got;
    }

  private:
    std::unique_ptr<FileReader> inner_;
    std::function<void()> change_;
};

}  // namespace

ListOutcome FaultyFileSystem::ListFolder(const std::string& folder, ListSink& sink) {
    const auto rule = Find(listing_, folder);
    if (rule != listing_.end()) {
        return ListOutcome(rule->second, rule->second == ListStatus::NotListable
                                             ? "it can not be listed"
                                             : "the side broke down");
    }
    if (delay_.count() > 0) {
        SlowSink slow(sink, delay_);
        return local_.ListFolder(folder, slow);
    }
    return local_.ListFolder(folder, sink);
}

std::unique_ptr<FileReader> FaultyFileSystem::OpenForReading(const std::string& path,
                                                             uint32_t attributes) {
    if (Find(failOpen_, path) != failOpen_.end()) return nullptr;
    auto reader = local_.OpenForReading(path, attributes);
    const auto rule = Find(failRead_, path);
    if (reader && rule != failRead_.end()) {
        return std::make_unique<BreakingReader>(std::move(reader), rule->second);
    }
    const auto change = Find(changeWhileReading_, path);
    if (reader && change != changeWhileReading_.end()) {
        return std::make_unique<MeddlingReader>(std::move(reader), change->second);
    }
    return reader;
}

bool FaultyFileSystem::WriteFault(const std::string& root, std::string_view relative,
                                  WriteOutcome& outcome) const {
    const auto rule = Find(failWrite_, root + std::string(relative));
    if (rule == failWrite_.end()) return false;
    outcome = WriteOutcome(WriteStatus::Failed, ErrorText(rule->second));
    return true;
}

WriteOutcome FaultyFileSystem::CopyIn(FileSystem& from, const std::string& fromPath,
                                      const std::string& root, std::string_view relative,
                                      const CopyControl& control) {
    WriteOutcome outcome;
    if (WriteFault(root, relative, outcome)) return outcome;
    return local_.CopyIn(from, fromPath, root, relative, control);
}

WriteOutcome FaultyFileSystem::StageCopy(FileSystem& from, const std::string& fromPath,
                                         const std::string& root, std::string_view relative,
                                         const CopyControl& control,
                                         std::unique_ptr<StagedCopy>& staged) {
    WriteOutcome outcome;
    if (WriteFault(root, relative, outcome)) return outcome;
    outcome = local_.StageCopy(from, fromPath, root, relative, control, staged);
    if (staged) stagedPaths_[staged.get()] = root + std::string(relative);
    return outcome;
}

void FaultyFileSystem::CommitCopies(std::vector<std::unique_ptr<StagedCopy>>& copies,
                                    std::vector<WriteOutcome>& outcomes) {
    groups_.push_back(copies.size());
    int error = 0;
    for (const auto& copy : copies) {
        const auto rule = Find(failFlush_, stagedPaths_[copy.get()]);
        if (rule != failFlush_.end()) error = rule->second;
    }
    for (const auto& copy : copies)
        stagedPaths_.erase(copy.get());
    if (error == 0) return local_.CommitCopies(copies, outcomes);
    // The flush failed: nothing of the group is renamed, every temporary goes.
    outcomes.assign(copies.size(), WriteOutcome(WriteStatus::Failed, ErrorText(error)));
    copies.clear();
}

WriteOutcome FaultyFileSystem::MakeFolder(const std::string& root, std::string_view relative) {
    WriteOutcome outcome;
    if (WriteFault(root, relative, outcome)) return outcome;
    return local_.MakeFolder(root, relative);
}

bool FaultyFileSystem::ReadFacts(const std::string& path, EntryFacts& facts) {
    const auto fault = Find(failFacts_, path);
    if (fault != failFacts_.end()) {
        errno = fault->second;
        return false;
    }
    return local_.ReadFacts(path, facts);
}

}  // namespace ravelmoor::test
