#include "core/sync/PreviewBuilder.h"

#include <array>
#include <initializer_list>

#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

bool Stopped(const std::atomic<bool>* stop) {
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

void Add(PreviewLine& line, std::string text, PreviewColour colour) {
    if (!text.empty()) line.runs.push_back({std::move(text), colour});
}

// Adds `pattern` (a translated text) to `line`: its own words in the window's
// text colour, each %1 or %2 as the path of that number in its colour.
void AddPattern(PreviewLine& line, const std::string& pattern,
                std::initializer_list<PreviewRun> paths) {
    std::string words;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const size_t number =
            i + 1 < pattern.size() ? static_cast<size_t>(pattern[i + 1] - '0') : 0;
        if (pattern[i] == '%' && number >= 1 && number <= paths.size()) {
            Add(line, std::move(words), PreviewColour::WindowText);
            words.clear();
            const PreviewRun& path = *(paths.begin() + number - 1);
            Add(line, path.text, path.colour);
            ++i;
        } else {
            words += pattern[i];
        }
    }
    Add(line, std::move(words), PreviewColour::WindowText);
}

// The forms of a copy line: to Target, then to Source; each [folder][overwrite].
constexpr const char* kCopyLines[2][4] = {
    {QT_TRANSLATE_NOOP("PreviewBuilder", "would copy SOURCE %1 to TARGET "),
     QT_TRANSLATE_NOOP("PreviewBuilder", "would copy SOURCE %1 to OVERWRITE TARGET %2"),
     QT_TRANSLATE_NOOP("PreviewBuilder", "would copy SOURCE folder %1 to TARGET "),
     QT_TRANSLATE_NOOP("PreviewBuilder", "would copy SOURCE folder %1 to OVERWRITE TARGET %2")},
    {QT_TRANSLATE_NOOP("PreviewBuilder", "would copy TARGET %1 to SOURCE "),
     QT_TRANSLATE_NOOP("PreviewBuilder", "would copy TARGET %1 to OVERWRITE SOURCE %2"),
     QT_TRANSLATE_NOOP("PreviewBuilder", "would copy TARGET folder %1 to SOURCE "),
     QT_TRANSLATE_NOOP("PreviewBuilder", "would copy TARGET folder %1 to OVERWRITE SOURCE %2")}};

// "would copy SOURCE [folder ]PATH to [OVERWRITE ]TARGET [PATH]" and its mirror.
bool CopyLines(const SyncSides& sides, const std::vector<uint32_t>& rows, bool toTarget,
               PreviewSink& sink, const std::atomic<bool>* stop, size_t& begun, size_t total) {
    const SyncSide& from = toTarget ? sides.source : sides.target;
    const SyncSide& to = toTarget ? sides.target : sides.source;
    std::array<std::string, 4> patterns;
    for (size_t k = 0; k < patterns.size(); ++k)
        patterns[k] = Translated("PreviewBuilder", kCopyLines[toTarget ? 0 : 1][k]);
    for (const uint32_t row : rows) {
        if (Stopped(stop)) return false;
        sink.Progress(++begun, total);
        const FileEntry& entry = from.list->ElementAt(row);
        const FileEntry& existing = to.list->ElementAt(row);
        const bool overwrite = existing.status != EntryStatus::Missing;
        PreviewLine line;
        AddPattern(line, patterns[(entry.IsFolder() ? 2 : 0) + (overwrite ? 1 : 0)],
                   {{entry.FullPath(from.root), PreviewColour::Green},
                    {overwrite ? existing.FullPath(to.root) : std::string(), PreviewColour::Red}});
        sink.AddLine(line);
    }
    return true;
}

bool DeleteLines(const SyncSides& sides, const std::vector<uint32_t>& rows, PreviewSink& sink,
                 const std::atomic<bool>* stop, size_t& begun, size_t total) {
    const std::string file =
        Translated("PreviewBuilder", QT_TRANSLATE_NOOP("PreviewBuilder", "would DELETE TARGET %1"));
    const std::string folder = Translated(
        "PreviewBuilder", QT_TRANSLATE_NOOP("PreviewBuilder", "would DELETE TARGET folder %1"));
    for (const uint32_t row : rows) {
        sink.Progress(++begun, total);
        if (Stopped(stop)) return false;
        const FileEntry& entry = sides.target.list->ElementAt(row);
        PreviewLine line;
        AddPattern(line, entry.IsFolder() ? folder : file,
                   {{entry.FullPath(sides.target.root), PreviewColour::Red}});
        sink.AddLine(line);
    }
    return true;
}

}  // namespace

std::string PreviewLine::PlainText() const {
    std::string text;
    for (const auto& run : runs)
        text += run.text;
    return text;
}

bool BuildPreview(const SyncSides& sides, const SyncPlan& plan, PreviewSink& sink,
                  const std::atomic<bool>* stop) {
    const size_t total = plan.Total();
    size_t begun = 0;
    sink.Progress(0, total);
    if (!CopyLines(sides, plan.copyToTarget, true, sink, stop, begun, total) ||
        !CopyLines(sides, plan.copyToSource, false, sink, stop, begun, total) ||
        !DeleteLines(sides, plan.deleteInTarget, sink, stop, begun, total)) {
        return false;
    }
    PreviewLine line;
    line.isTotal = true;
    Add(line,
        FillIn(QCoreApplication::translate("PreviewBuilder",
                                           "Total Files/Folders copied or deleted: %1"),
               {std::to_string(total)}),
        PreviewColour::Blue);
    sink.AddLine(line);
    return true;
}

}  // namespace ravelmoor
