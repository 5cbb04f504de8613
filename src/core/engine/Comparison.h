#pragma once

#include <QtGlobal>
#include <string>
#include <vector>

#include "core/engine/ComparisonFindings.h"
#include "core/engine/ComparisonRules.h"
#include "core/engine/FileList.h"
#include "core/engine/SideProvider.h"

namespace ravelmoor {

class Prompter;

// The result of one comparison, owned by the front end: the two paired result
// lists (row i of each describes the same relative path), the rules they were
// judged by, both sides (the provider of their file systems, which the
// comparison's holder owns and lends it), and what the run found
// along the way (folders it could not list, names that clash by case,
// leftovers of broken copies). A ComparisonRun fills it; the results window
// and the synchronisation then read and change the lists in place until the
// next Reset.
class Comparison {
  public:
    explicit Comparison(SideProvider& sides);
    Comparison(const Comparison&) = delete;
    Comparison& operator=(const Comparison&) = delete;

    // Empty lists, these rules, both sides local at the root texts (each
    // ends with '/'); Sides().SetRemote then makes one side remote. No run
    // may be working on it.
    void Reset(const ComparisonRules& rules, std::string sourceRoot, std::string targetRoot);

    const ComparisonRules& Rules() const { return rules_; }
    SideProvider& Sides() { return sides_; }
    const SideProvider& Sides() const { return sides_; }

    FileList& SourceResults() { return sourceResults_; }
    FileList& TargetResults() { return targetResults_; }
    const FileList& SourceResults() const { return sourceResults_; }
    const FileList& TargetResults() const { return targetResults_; }
    // The root texts as handed to Reset, for display.
    const std::string& SourceRoot() const { return sides_.Root(Side::Source); }
    const std::string& TargetRoot() const { return sides_.Root(Side::Target); }
    // The folders that the entry paths of each side are below (see
    // SideProvider::Folder); an entry is at folder + path.
    const std::string& SourceFolder() const { return sides_.Folder(Side::Source); }
    const std::string& TargetFolder() const { return sides_.Folder(Side::Target); }
    // The sides' file systems. A remote side is open while a run works and
    // after Reopen; otherwise it answers every call with a failure.
    FileSystem& SourceFileSystem() { return sides_.FileSystemOf(Side::Source); }
    FileSystem& TargetFileSystem() { return sides_.FileSystemOf(Side::Target); }
    // Connects a remote side again after the run closed its connection (a
    // synchronisation, a viewer, row commands need it); true when it is
    // open, or when both sides are local. See SideProvider::Reopen.
    bool Reopen(const std::atomic<int32_t>* cancel) { return sides_.Reopen(cancel); }

    // Every pair matched and every object could be read: a comparison that
    // did not see everything never calls the folders identical.
    bool AllIdentical() const { return findings_.allIdentical && Complete(); }
    // Every folder could be listed and every file read that had to be.
    bool Complete() const {
        return findings_.unlistableSource.empty() && findings_.unlistableTarget.empty() &&
               findings_.unreadableFiles.empty();
    }
    static constexpr const char* kIdenticalMessage = QT_TRANSLATE_NOOP(
        "Comparison", "The two folders are identical (excluding filtered files and sub-folders)");

    // Folders (relative to their root, '/' after each) that could not be
    // listed; rows below them on the other side were excluded.
    const std::vector<std::string>& UnlistableSourceFolders() const {
        return findings_.unlistableSource;
    }
    const std::vector<std::string>& UnlistableTargetFolders() const {
        return findings_.unlistableTarget;
    }
    // The one warning that names those folders; empty when there are none.
    std::string UnlistableFoldersWarning() const;
    // Files (Source paths below the root, or the Target's where a row has no
    // Source entry) whose data could not be read for their checksums; their
    // rows were excluded.
    const std::vector<std::string>& UnreadableFiles() const { return findings_.unreadableFiles; }
    // The one warning that names those files; empty when there are none.
    std::string UnreadableFilesWarning() const;

    // Temporary files of broken copies found on each side (relative paths,
    // never listed), for the synchronisation to remove where it writes.
    std::vector<std::string>& LeftoversOf(bool source) {
        return source ? findings_.leftoversSource : findings_.leftoversTarget;
    }

    // What the run found, for the run to fill.
    ComparisonFindings& Findings() { return findings_; }
    const ComparisonFindings& Findings() const { return findings_; }

    // How many files a side was asked for its exact time, because the
    // listing gave it only to the minute or the day (CoarseTimes.h).
    size_t ExactTimesAsked() const { return findings_.exactTimesAsked; }

    // Whether the Target's file system ignores case (a FAT or exFAT volume,
    // a folder with the casefold attribute); known once a run has started.
    bool TargetIgnoresCase() const { return findings_.targetIgnoresCase; }
    // Source paths that differ only in case while the Target ignores case.
    // Their rows, and every row below such folders, were excluded: copying
    // them would write one over the other.
    const std::vector<std::string>& CaseClashes() const { return findings_.caseClashes; }
    // The one warning that names them (given through the Prompter at the
    // end of the run); empty when there are none.
    std::string CaseClashWarning() const;

  private:
    ComparisonRules rules_;
    SideProvider& sides_;
    FileList sourceResults_;
    FileList targetResults_;
    ComparisonFindings findings_;
};

}  // namespace ravelmoor
