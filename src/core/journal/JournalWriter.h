#pragma once

#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/engine/FdGuard.h"
#include "core/journal/Journal.h"
#include "core/sync/ActionRecorder.h"

namespace ravelmoor {

class Comparison;

// The header of the journal of a sync of `comparison` by `method` (its word).
JournalHeader JournalHeaderOf(const Comparison& comparison, std::string_view method);

// Writes the journal of one synchronisation as it runs. Each line reaches the
// file (one write call) before the call that made it returns, so a sync that
// is killed midway leaves a journal that names every change it began; the
// file is flushed to the disk when the sync ends. Once a write fails the rest
// is dropped and Problem() (and Broken()) says why: the sync then stops
// before its next change.
class JournalWriter : public ActionRecorder {
  public:
    JournalWriter() = default;
    ~JournalWriter() override;
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Makes a new journal in the store (pruning old ones first) and writes
    // its header. Unwritable, the reason naming the file and the cause, when
    // it cannot.
    JournalOutcome Open(const JournalHeader& header);
    bool IsOpen() const { return fd_.get() >= 0; }
    const std::string& Id() const { return id_; }
    // The first write that failed, in words; empty when all went well.
    const std::string& Problem() const { return problem_; }

    size_t Begin(ActionKind kind, FileSystem& fs, const std::string& root, const std::string& path,
                 bool exists, const EntryFacts& before, const EntryFacts& expected) override;
    void Trashed(size_t action, std::string_view trashPath) override;
    void End(size_t action, bool done) override;
    std::string Broken() const override { return problem_; }
    // Writes the last line and flushes the journal to the disk. `end` says
    // whether the run left work it may still do (an object failed or had
    // changed, or it was stopped), so that a plain undo after a partial undo
    // goes on with it, and `history` says a stopped run was stopped.
    void Finish(std::string_view summary, JournalEnd end = JournalEnd::Whole);

  private:
    struct Change {
        FileSystem* fs = nullptr;
        std::string path;  // full
    };
    void Write(const std::string& line);
    // Records the time of the folder holding `relative` on its first change.
    void NoteFolder(FileSystem& fs, bool target, const std::string& folderRoot,
                    const std::string& relative);

    FdGuard fd_;
    std::string id_;
    std::string path_;
    std::string problem_;
    JournalHeader header_;
    std::vector<Change> actions_;
    std::set<std::pair<bool, std::string>> foldersNoted_;
};

}  // namespace ravelmoor
