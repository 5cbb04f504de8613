#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/engine/Outcome.h"
#include "core/sync/ActionRecorder.h"

namespace ravelmoor {

// Why a journal could not be written, read or followed back to its sides; the
// outcome's reason is the message to show.
enum class JournalStatus {
    Done,
    Unwritable,   // no folder for it, or the file can not be made or written
    Unreadable,   // the journal can not be opened
    Unreachable,  // a side is gone or now names another folder
};
using JournalOutcome = Outcome<JournalStatus>;

// One side of a synchronisation as its journal names it.
struct JournalSide {
    std::string shown;   // the root as the user gave it ("(ftp) NAME" for an FTP side)
    std::string folder;  // the folder its file system names; ends with '/'
    bool local = true;   // a folder on this machine (else a server, which has no trash)
};

// What a journal says about the synchronisation as a whole.
struct JournalHeader {
    int64_t started = 0;  // seconds since 1970, UTC
    std::string host;
    std::string method;  // the sync method's word, or "undo ID"
    JournalSide source;
    JournalSide target;
};

// What a journal says about one change.
struct JournalRecord {
    size_t number = 0;
    ActionKind kind = ActionKind::CopyNew;
    bool target = true;  // the side changed
    std::string path;    // below that side's folder, '/' between levels, as bytes
    bool existed = false;
    EntryFacts before;
    EntryFacts expected;        // what a copy leaves: the original's facts
    std::string trashedTo;      // where the object that was there went; empty: not kept
    bool trashedKnown = false;  // `trashed` was read in the trash as it arrived there
    EntryFacts trashed;         // what went to the trash (else it is `before`)
    bool ended = false;
    bool done = false;
    bool afterKnown = false;  // `after` was read once the change was over
    bool afterExists = false;
    EntryFacts after;
};

// The modification time of a folder before the synchronisation first changed
// something in it, so that undo can set it back.
struct JournalFolderTime {
    bool target = true;
    std::string path;  // below the side's folder; empty for the folder itself
    EntryFacts facts;
};

// How a run ended, as its last line says: whole, having left work it may still
// do (an object failed or had changed), or stopped by the person.
enum class JournalEnd { Whole, Partial, Stopped };

inline JournalEnd RunEnd(bool stopped, bool leftWork) {
    if (stopped) return JournalEnd::Stopped;
    return leftWork ? JournalEnd::Partial : JournalEnd::Whole;
}

// A journal as read back: the readable part, and what was wrong with the rest.
struct SyncJournal {
    std::string id;
    JournalHeader header;
    std::vector<JournalRecord> records;  // in the order the changes began
    std::vector<JournalFolderTime> folderTimes;
    bool finished = false;  // the sync ended and said so
    std::string summary;    // its last words, when finished
    bool partial = false;   // finished, and said it left work it may still do
    bool stopped = false;   // finished because it was stopped (then partial too)
    std::string problem;    // why the reading stopped early (cut short, damaged); empty when whole
};

// The journal's text. Every line ends with '\n' and holds fields separated by
// tabs; paths are percent-encoded bytes, so any name reads back as it was.
namespace journal_text {

inline constexpr std::string_view kMagic = "ravelmoor journal 1";

std::string HeaderText(const JournalHeader& header);
std::string BeginLine(const JournalRecord& record);
// `facts`, when given, are those of the object as it lies in the trash.
std::string TrashedLine(size_t number, std::string_view trashPath,
                        const EntryFacts* facts = nullptr);
std::string EndLine(size_t number, bool done, bool exists, const EntryFacts& after);
std::string FolderTimeLine(const JournalFolderTime& folder);
std::string FinishLine(int64_t when, std::string_view summary, JournalEnd end = JournalEnd::Whole);

// Reads the text of a journal. What cannot be read ends the reading and is
// said in `journal.problem`; the records before it stand.
void Parse(std::string_view text, SyncJournal& journal);

std::string DecodePercent(std::string_view text, bool& ok);

}  // namespace journal_text

// The word of a kind as the journal and the command line write it.
std::string_view ActionKindWord(ActionKind kind);

}  // namespace ravelmoor
