#include "core/journal/Journal.h"

#include <charconv>
#include <cstdio>

#include "core/engine/FileEntry.h"
#include "core/local/FreedesktopTrash.h"

namespace ravelmoor {

std::string_view ActionKindWord(ActionKind kind) {
    switch (kind) {
        case ActionKind::CopyNew:
            return "copy-new";
        case ActionKind::Replace:
            return "replace";
        case ActionKind::Delete:
            return "delete";
        case ActionKind::MakeFolder:
            return "make-folder";
        case ActionKind::RemoveFolder:
            return "remove-folder";
        case ActionKind::Rename:
            return "rename";
    }
    return "copy-new";
}

namespace journal_text {
namespace {

constexpr ActionKind kKinds[] = {ActionKind::CopyNew,      ActionKind::Replace,
                                 ActionKind::Delete,       ActionKind::MakeFolder,
                                 ActionKind::RemoveFolder, ActionKind::Rename};

std::string Facts(bool exists, const EntryFacts& facts) {
    if (!exists) return "-";
    const char type = facts.IsFolder()                              ? 'd'
                      : (facts.attributes & kSymlinkAttribute) != 0 ? 'l'
                                                                    : 'f';
    char text[96];
    std::snprintf(text, sizeof text, "%c,%llu,%lld,%u,%o", type,
                  static_cast<unsigned long long>(facts.size),
                  static_cast<long long>(facts.lastWrite), facts.lastWriteNanoseconds, facts.mode);
    return text;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value, int base = 10) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> Split(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return fields;
}

bool ParseFacts(std::string_view text, bool& exists, EntryFacts& facts) {
    facts = EntryFacts();
    exists = text != "-";
    if (!exists) return true;
    const auto parts = Split(text, ',');
    if (parts.size() != 5 || parts[0].size() != 1) return false;
    switch (parts[0][0]) {
        case 'd':
            facts.attributes = kFolderAttribute;
            break;
        case 'l':
            facts.attributes = kSymlinkAttribute;
            break;
        case 'f':
            break;
        default:
            return false;
    }
    return ParseNumber(parts[1], facts.size) && ParseNumber(parts[2], facts.lastWrite) &&
           ParseNumber(parts[3], facts.lastWriteNanoseconds) &&
           ParseNumber(parts[4], facts.mode, 8);
}

bool ParseSide(std::string_view text, bool& target) {
    target = text == "target";
    return target || text == "source";
}

std::string SideWord(bool target) {
    return target ? "target" : "source";
}

bool ParseHeaderSide(const std::vector<std::string_view>& fields, JournalSide& side) {
    bool ok = fields.size() == 4 && (fields[3] == "local" || fields[3] == "remote");
    bool shownOk = false;
    bool folderOk = false;
    if (ok) {
        side.shown = DecodePercent(fields[1], shownOk);
        side.folder = DecodePercent(fields[2], folderOk);
        side.local = fields[3] == "local";
    }
    return ok && shownOk && folderOk && side.folder.ends_with('/');
}

// Reads one line after the header into `journal`; false when it cannot.
bool ParseRecordLine(std::string_view line, SyncJournal& journal) {
    const auto fields = Split(line, '\t');
    auto& records = journal.records;
    size_t number = 0;
    if (fields[0] == "B" && fields.size() == 7) {
        JournalRecord record;
        bool found = false;
        for (const ActionKind kind : kKinds) {
            if (fields[2] == ActionKindWord(kind)) {
                record.kind = kind;
                found = true;
            }
        }
        bool pathOk = false;
        record.path = DecodePercent(fields[4], pathOk);
        bool expectedExists = false;
        if (!found || !pathOk || !ParseNumber(fields[1], record.number) ||
            record.number != records.size() || !ParseSide(fields[3], record.target) ||
            !ParseFacts(fields[5], record.existed, record.before) ||
            !ParseFacts(fields[6], expectedExists, record.expected) || record.path.empty()) {
            return false;
        }
        records.push_back(std::move(record));
        return true;
    }
    if (fields[0] == "T" && (fields.size() == 3 || fields.size() == 4)) {
        bool ok = false;
        std::string trashPath = DecodePercent(fields[2], ok);
        if (!ok || !ParseNumber(fields[1], number) || number >= records.size()) return false;
        JournalRecord& record = records[number];
        record.trashedTo = std::move(trashPath);
        // Older journals name the place alone.
        record.trashedKnown = false;
        if (fields.size() == 4 && (!ParseFacts(fields[3], record.trashedKnown, record.trashed)))
            return false;
        return true;
    }
    if (fields[0] == "E" && fields.size() == 4) {
        if (!ParseNumber(fields[1], number) || number >= records.size() ||
            (fields[2] != "done" && fields[2] != "not-done")) {
            return false;
        }
        JournalRecord& record = records[number];
        if (!ParseFacts(fields[3], record.afterExists, record.after)) return false;
        record.ended = true;
        record.done = fields[2] == "done";
        record.afterKnown = true;
        return true;
    }
    if (fields[0] == "P" && fields.size() == 4) {
        JournalFolderTime folder;
        bool ok = false;
        bool exists = false;
        folder.path = DecodePercent(fields[2], ok);
        if (!ok || !ParseSide(fields[1], folder.target) ||
            !ParseFacts(fields[3], exists, folder.facts) || !exists) {
            return false;
        }
        journal.folderTimes.push_back(std::move(folder));
        return true;
    }
    if (fields[0] == "F" && (fields.size() == 3 || fields.size() == 4)) {
        bool ok = false;
        journal.summary = DecodePercent(fields[2], ok);
        journal.finished = ok;
        // Older journals do not say: they count as whole.
        journal.stopped = fields.size() == 4 && fields[3] == "stopped";
        journal.partial = journal.stopped || (fields.size() == 4 && fields[3] == "partial");
        return ok && (fields.size() == 3 || journal.partial || fields[3] == "whole");
    }
    return false;
}

}  // namespace

std::string DecodePercent(std::string_view text, bool& ok) {
    std::string out;
    out.reserve(text.size());
    ok = true;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            if (static_cast<unsigned char>(text[i]) < 0x20) ok = false;
            out.push_back(text[i]);
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size() || !ParseNumber(text.substr(i + 1, 2), value, 16)) {
            ok = false;
            break;
        }
        out.push_back(static_cast<char>(value));
        i += 2;
    }
    return out;
}

std::string HeaderText(const JournalHeader& header) {
    const auto side = [](std::string_view word, const JournalSide& s) {
        return std::string(word) + "\t" + PercentEncodePath(s.shown) + "\t" +
               PercentEncodePath(s.folder) + "\t" + (s.local ? "local" : "remote") + "\n";
    };
    return std::string(kMagic) + "\nstarted\t" + std::to_string(header.started) + "\nhost\t" +
           PercentEncodePath(header.host) + "\nmethod\t" + PercentEncodePath(header.method) + "\n" +
           side("source", header.source) + side("target", header.target);
}

std::string BeginLine(const JournalRecord& record) {
    return "B\t" + std::to_string(record.number) + "\t" + std::string(ActionKindWord(record.kind)) +
           "\t" + SideWord(record.target) + "\t" + PercentEncodePath(record.path) + "\t" +
           Facts(record.existed, record.before) + "\t" +
           Facts(record.kind == ActionKind::CopyNew || record.kind == ActionKind::Replace ||
                     record.kind == ActionKind::MakeFolder,
                 record.expected) +
           "\n";
}

std::string TrashedLine(size_t number, std::string_view trashPath, const EntryFacts* facts) {
    std::string line = "T\t" + std::to_string(number) + "\t" + PercentEncodePath(trashPath);
    if (facts != nullptr) line += "\t" + Facts(true, *facts);
    return line + "\n";
}

std::string EndLine(size_t number, bool done, bool exists, const EntryFacts& after) {
    return "E\t" + std::to_string(number) + "\t" + (done ? "done" : "not-done") + "\t" +
           Facts(exists, after) + "\n";
}

std::string FolderTimeLine(const JournalFolderTime& folder) {
    return "P\t" + SideWord(folder.target) + "\t" + PercentEncodePath(folder.path) + "\t" +
           Facts(true, folder.facts) + "\n";
}

std::string FinishLine(int64_t when, std::string_view summary, JournalEnd end) {
    const char* word = end == JournalEnd::Stopped   ? "stopped"
                       : end == JournalEnd::Partial ? "partial"
                                                    : "whole";
    return "F\t" + std::to_string(when) + "\t" + PercentEncodePath(summary) + "\t" + word + "\n";
}

void Parse(std::string_view text, SyncJournal& journal) {
    size_t lineNumber = 0;
    size_t start = 0;
    JournalHeader& header = journal.header;
    const auto fail = [&journal, &lineNumber](std::string_view why) {
        journal.problem = "line " + std::to_string(lineNumber) + " " + std::string(why);
    };
    bool sawSource = false;
    bool sawTarget = false;
    while (start < text.size()) {
        ++lineNumber;
        const size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            fail("is cut short");
            return;
        }
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (lineNumber == 1) {
            if (line != kMagic) {
                fail("is not the start of a journal");
                return;
            }
            continue;
        }
        if (lineNumber <= 6) {
            const auto fields = Split(line, '\t');
            bool ok = fields.size() >= 2;
            if (ok && lineNumber == 2) {
                ok = fields[0] == "started" && ParseNumber(fields[1], header.started);
            } else if (ok && lineNumber == 3) {
                header.host = DecodePercent(fields[1], ok);
                ok = ok && fields[0] == "host";
            } else if (ok && lineNumber == 4) {
                header.method = DecodePercent(fields[1], ok);
                ok = ok && fields[0] == "method";
            } else if (ok && lineNumber == 5) {
                sawSource = fields[0] == "source" && ParseHeaderSide(fields, header.source);
                ok = sawSource;
            } else if (ok && lineNumber == 6) {
                sawTarget = fields[0] == "target" && ParseHeaderSide(fields, header.target);
                ok = sawTarget;
            }
            if (!ok) {
                fail("is damaged");
                return;
            }
            continue;
        }
        if (journal.finished || !ParseRecordLine(line, journal)) {
            fail("is damaged");
            return;
        }
    }
    if (!sawSource || !sawTarget) {
        ++lineNumber;
        fail("is missing: the journal is cut short");
    }
}

}  // namespace journal_text
}  // namespace ravelmoor
