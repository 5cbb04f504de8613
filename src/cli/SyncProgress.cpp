#include "cli/SyncProgress.h"

#include <algorithm>

#include "cli/Terminal.h"
#include "core/engine/NameEscape.h"
#include "core/text/Formatting.h"

namespace ravelmoor {
namespace {

// Redraws closer together than this are left out: a sync of many small
// files would spend its time on the terminal.
constexpr auto kRedrawPeriod = std::chrono::milliseconds(100);

}  // namespace

SyncProgress::SyncProgress(PlannedActions& actions, FILE* itemised) : itemised_(itemised) {
    for (const ListSide side : {ListSide::Target, ListSide::Source}) {
        const SideTotals totals = actions.Totals(side);
        objects_ += totals.Count();
        bytes_ += totals.bytes;
    }
    actions.Listen([this](const PlannedAction& action) { Settled(action); });
}

std::string SyncProgress::Line(size_t objectsDone, size_t objects, uint64_t bytesDone,
                               uint64_t bytes, double seconds, std::string_view path) {
    std::string line = "Synchronising " + FormatSize(objectsDone) + " of " + FormatSize(objects) +
                       (objects == 1 ? " object" : " objects");
    if (bytes > 0) line += ", " + FormatSize(bytesDone) + " of " + FormatSize(bytes) + " bytes";
    if (seconds > 0.5 && bytesDone > 0) {
        const double rate = static_cast<double>(bytesDone) / seconds;
        line += ", " + FormatBytes(rate) + "/s";
        if (bytes > bytesDone)
            line += ", " + FormatDuration(static_cast<double>(bytes - bytesDone) / rate) + " left";
    }
    line += ": ";
    AppendEscapedName(path, line);
    return line;
}

std::string SyncProgress::ItemLine(const PlannedAction& action) {
    std::string path = action.deletion ? "*deleting   " : "  +++++++++ ";
    if (!action.deletion) {
        const char direction = action.side == ListSide::Target ? '>' : '<';
        path[1] = action.kind;
        if (!action.replaces) {
            path[0] = action.kind == 'f' ? direction : 'c';
        } else {
            path[0] = action.kind == 'L' ? 'c' : direction;
            path.replace(2, 9, ".........");
            if (action.size != action.replacedSize) path[3] = 's';
            if (action.lastWrite != action.replacedLastWrite) path[4] = 't';
        }
    }
    AppendEscapedName(action.path, path);
    if (action.kind == 'd') path.push_back('/');
    return path;
}

void SyncProgress::Show(std::string_view text) {
    current_.assign(text);
    Draw();
}

void SyncProgress::Moved(uint64_t bytes) {
    bytesMoving_ += bytes;
    Draw();
}

void SyncProgress::Settled(const PlannedAction& action) {
    ++objectsDone_;
    if (!action.deletion) {
        bytesDone_ += action.size;
        bytesMoving_ -= std::min(bytesMoving_, action.size);
    }
    if (itemised_ != nullptr && action.outcome == ActionOutcome::Done) {
        Terminal::ClearProgress();
        const std::string line = ItemLine(action) + "\n";
        std::fwrite(line.data(), 1, line.size(), itemised_);
        if (itemised_ == stdout) {
            Terminal::FlushOutput();
        } else {
            std::fflush(itemised_);
        }
    }
    Draw();
}

void SyncProgress::Draw() {
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ != std::chrono::steady_clock::time_point{} && now - drawn_ < kRedrawPeriod) {
        return;
    }
    drawn_ = now;
    const std::chrono::duration<double> seconds = now - start_;
    std::string name;
    AppendEscapedName(current_, name);
    Terminal::ShowProgress(
        Line(std::min(objectsDone_, objects_), objects_,
             std::min(bytesDone_ + bytesMoving_, bytes_), bytes_, seconds.count(), {}),
        name);
}

}  // namespace ravelmoor
