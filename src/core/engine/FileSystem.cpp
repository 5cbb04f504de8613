#include "core/engine/FileSystem.h"

#include <cstdio>
#include <random>

#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

WriteOutcome NotWritable() {
    return WriteOutcome(WriteStatus::Failed, FillIn(QCoreApplication::translate(
                                                 "FileSystem", "this side can not be written to")));
}

}  // namespace

std::string TemporaryName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    char text[40];
    std::snprintf(text, sizeof text, ".ravelmoor-%016llx.part",
                  static_cast<unsigned long long>(random()));
    return text;
}

std::string FileSystem::WhyNotListable(const std::string& /*folder*/) {
    return FillIn(QCoreApplication::translate("FileSystem", "it can not be listed"));
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
