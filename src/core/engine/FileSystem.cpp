#include "core/engine/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

WriteOutcome NotWritable() {
    return WriteOutcome(WriteStatus::Failed, FillIn(QCoreApplication::translate(
                                                 "FileSystem", "this side can not be written to")));
}

}  // namespace

std::string ErrorText(int error) {
    char buffer[256];
    const char* text = ::strerror_r(error, buffer, sizeof buffer);  // GNU: may not use buffer
    return text;
}

std::unique_ptr<FileReader> TextReader(std::string text) {
    class Reader : public FileReader {
      public:
        explicit Reader(std::string held) : text_(std::move(held)) {}
        int64_t Read(char* buffer, size_t capacity) override {
            const size_t n = std::min(capacity, text_.size() - taken_);
            std::memcpy(buffer, text_.data() + taken_, n);
            taken_ += n;
            return static_cast<int64_t>(n);
        }

      private:
        std::string text_;
        size_t taken_ = 0;
    };
    return std::make_unique<Reader>(std::move(text));
}

WriteOutcome ReadOriginal(FileSystem& from, const std::string& fromPath, EntryFacts& facts) {
    if (!from.ReadFacts(fromPath, facts)) {
        return WriteOutcome(
            WriteStatus::Failed,
            FillIn(QCoreApplication::translate("FileSystem", "the original is no longer there")));
    }
    if (facts.IsFolder()) {
        return WriteOutcome(WriteStatus::Failed, FillIn(QCoreApplication::translate(
                                                     "FileSystem", "the original is a folder")));
    }
    return {};
}

std::string TemporaryName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    char text[40];
    std::snprintf(text, sizeof text, ".ravelmoor-%016llx.part",
                  static_cast<unsigned long long>(random()));
    return text;
}

bool IsTemporaryName(std::string_view name) {
    constexpr std::string_view kStart = ".ravelmoor-";
    constexpr std::string_view kEnd = ".part";
    constexpr size_t kDigits = 16;
    if (name.size() != kStart.size() + kDigits + kEnd.size() || !name.starts_with(kStart) ||
        !name.ends_with(kEnd)) {
        return false;
    }
    for (const char c : name.substr(kStart.size(), kDigits)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

WriteOutcome FileSystem::CopyIn(FileSystem& /*from*/, const std::string& /*fromPath*/,
                                const std::string& /*root*/, std::string_view /*relative*/,
                                const CopyControl& /*control*/) {
    return NotWritable();
}

WriteOutcome FileSystem::StageCopy(FileSystem& from, const std::string& fromPath,
                                   const std::string& root, std::string_view relative,
                                   const CopyControl& control,
                                   std::unique_ptr<StagedCopy>& staged) {
    staged.reset();
    return CopyIn(from, fromPath, root, relative, control);
}

void FileSystem::CommitCopies(std::vector<std::unique_ptr<StagedCopy>>& copies,
                              std::vector<WriteOutcome>& outcomes) {
    // Nothing stages here, so nothing can be committed here.
    outcomes.assign(copies.size(), NotWritable());
    copies.clear();
}

WriteOutcome FileSystem::SetFolderFacts(const std::string& /*root*/, std::string_view /*relative*/,
                                        const EntryFacts& /*facts*/) {
    return {};
}

WriteOutcome FileSystem::MakeFolder(const std::string& /*root*/, std::string_view /*relative*/) {
    return NotWritable();
}

WriteOutcome FileSystem::RemoveFolder(const std::string& /*root*/, std::string_view /*relative*/) {
    return NotWritable();
}

WriteOutcome FileSystem::MoveToTrash(const std::string& /*root*/, std::string_view /*relative*/) {
    return NotWritable();
}

WriteOutcome FileSystem::DeletePermanently(const std::string& /*root*/,
                                           std::string_view /*relative*/) {
    return NotWritable();
}

WriteOutcome FileSystem::Rename(const std::string& /*root*/, std::string_view /*relative*/,
                                std::string_view /*newRelative*/) {
    return NotWritable();
}

}  // namespace ravelmoor
