#include "core/sync/PreviewLines.h"

#include <initializer_list>

#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

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

}  // namespace

std::string PreviewLine::PlainText() const {
    std::string text;
    for (const auto& run : runs)
        text += run.text;
    return text;
}

PreviewLines::PreviewLines(SyncSides sides) : sides_(std::move(sides)) {
    for (size_t k = 0; k < copies_.size(); ++k)
        copies_[k] = Translated("PreviewBuilder", kCopyLines[k / 4][k % 4]);
    deletions_[0] =
        Translated("PreviewBuilder", QT_TRANSLATE_NOOP("PreviewBuilder", "would DELETE TARGET %1"));
    deletions_[1] = Translated(
        "PreviewBuilder", QT_TRANSLATE_NOOP("PreviewBuilder", "would DELETE TARGET folder %1"));
}

PreviewLine PreviewLines::Of(uint32_t row, PlanStep step) const {
    PreviewLine line;
    if (step == PlanStep::DeleteInTarget) {
        const FileEntry& entry = sides_.target.list->ElementAt(row);
        AddPattern(line, deletions_[entry.IsFolder() ? 1 : 0],
                   {{entry.FullPath(sides_.target.root), PreviewColour::Red}});
        return line;
    }
    const bool toTarget = step == PlanStep::CopyToTarget;
    const SyncSide& from = toTarget ? sides_.source : sides_.target;
    const SyncSide& to = toTarget ? sides_.target : sides_.source;
    const FileEntry& entry = from.list->ElementAt(row);
    const FileEntry& existing = to.list->ElementAt(row);
    const bool overwrite = existing.status != EntryStatus::Missing;
    AddPattern(line, copies_[(toTarget ? 0 : 4) + (entry.IsFolder() ? 2 : 0) + (overwrite ? 1 : 0)],
               {{entry.FullPath(from.root), PreviewColour::Green},
                {overwrite ? existing.FullPath(to.root) : std::string(), PreviewColour::Red}});
    return line;
}

PreviewLine PreviewLines::Total(size_t count) {
    PreviewLine line;
    Add(line,
        FillIn(QCoreApplication::translate("PreviewBuilder",
                                           "Total Files/Folders copied or deleted: %1"),
               {std::to_string(count)}),
        PreviewColour::Blue);
    return line;
}

}  // namespace ravelmoor
