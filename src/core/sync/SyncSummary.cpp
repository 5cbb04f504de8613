#include "core/sync/SyncSummary.h"

#include <cstdio>

#include "core/text/Formatting.h"

namespace ravelmoor {
namespace {

std::string Counted(uint64_t n, const char* one, const char* many) {
    return FormatSize(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string SyncSummaryText(const SyncTally& tally, bool stopped, double seconds) {
    char time[64];
    std::snprintf(time, sizeof time, "%.1f seconds", seconds);
    std::string line = std::string(stopped ? "Stopped after " : "Synchronised in ") + time + ": " +
                       Counted(tally.filesCopied, "file", "files") + " copied (" +
                       Counted(tally.bytesCopied, "byte", "bytes") + ")";
    auto add = [&line](uint64_t n, const char* one, const char* many) {
        if (n > 0) line += ", " + Counted(n, one, many);
    };
    add(tally.foldersMade, "folder made", "folders made");
    line += ", " + Counted(tally.movedToTrash, "object", "objects") + " moved to the trash";
    add(tally.replacedToTrash, "replaced file kept in the trash",
        "replaced files kept in the trash");
    add(tally.deletedForGood, "object deleted permanently", "objects deleted permanently");
    add(tally.foldersRemoved, "folder removed", "folders removed");
    line += ".";
    if (tally.notDone > 0) {
        line +=
            " " + Counted(tally.notDone, "object was", "objects were") + " not copied or deleted";
        if (tally.changed > 0) {
            line += " (" + FormatSize(tally.changed) + " changed since the comparison)";
        }
        line += ".";
    }
    return line;
}

}  // namespace ravelmoor
