#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/Outcome.h"
#include "core/sync/PlanEdit.h"

namespace ravelmoor {

struct FileEntry;
class FileList;

// A sync plan kept in a file: the JSON document of a dry run
// (`sync -n --format json`), perhaps edited by hand, read back to run
// exactly its actions once the trees are seen to be as they were.
//
// Each action names its step ("action" copy, replace or delete; "side" the
// side it changes), whether it runs ("outcome" planned, or skipped to leave
// it out), and under "source" and "target" the facts of the row it was
// planned on: each side's path, kind, size and time, or null where that side
// had nothing. The row is found again by those paths; "path", "kind", "size"
// and "mtime" of the action itself only describe it.

// The kind of an object as a plan holds it: 'f' file, 'd' folder, 'L'
// symbolic link; and its word there ("file", "folder", "link").
char KindOf(const FileEntry& entry);
const char* KindWord(char kind);

// What a plan saw of one side of a row.
struct SideFact {
    bool present = false;
    char kind = 'f';  // 'f' file, 'd' folder, 'L' symbolic link
    std::string path;
    uint64_t size = 0;
    int64_t lastWrite = 0;

    bool operator==(const SideFact&) const = default;
};

// One action of a plan file.
struct PlanFileRow {
    PlanStep step = PlanStep::CopyToTarget;
    bool skipped = false;  // kept in the file, left out of the run
    SideFact source;
    SideFact target;
};

// A plan file as read: the sync method's word, the two folders, the
// comparison method's word and whether sub-folders were compared, and its
// actions in order.
struct PlanFileContent {
    std::string method;
    std::string sourceFolder;
    std::string targetFolder;
    std::string compareMethod;
    bool subFolders = false;
    std::vector<PlanFileRow> rows;
};

enum class PlanFileStatus : uint8_t { Ok, Unreadable, Malformed };
using PlanFileResult = Result<PlanFileStatus, PlanFileContent>;

// Reads the plan file at `path`. A file that can not be read or is not a
// plan is refused with a reason naming the file and, for a malformed one,
// the line or the action and field at fault. A comma left before the end of
// a list (an action's line deleted) is forgiven.
PlanFileResult ReadPlanFile(const std::string& path);
// The same for the file's `text`, named `name` in the reasons.
PlanFileResult ParsePlanFile(std::string_view text, const std::string& name);

// Appends the facts of a row's two sides to an action's JSON object:
// `,"source":{...},"target":null`.
void AppendRowFacts(std::string& out, const FileEntry& source, const FileEntry& target);

// A plan file's actions found again in a comparison's paired lists.
struct PlanMatch {
    // The actions that run, in the file's order (skipped ones are left out).
    std::vector<PlanEntry> entries;
    // "PATH (reason)" for each action whose row is not as the plan saw it,
    // or that can not be carried out on it; the plan runs only when there
    // are none.
    std::vector<std::string> refused;
};
PlanMatch MatchPlanFile(const std::vector<PlanFileRow>& rows, const FileList& source,
                        const FileList& target);

}  // namespace ravelmoor
