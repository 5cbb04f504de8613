#include "core/sync/PreviewBuilder.h"

namespace ravelmoor {
namespace {

bool Stopped(const std::atomic<bool>* stop) {
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

void Add(PreviewLine& line, std::string text, PreviewColour colour) {
    if (!text.empty()) line.runs.push_back({std::move(text), colour});
}

// "would copy SOURCE [folder ]PATH to [OVERWRITE ]TARGET [PATH]" and its mirror.
bool CopyLines(const SyncSides& sides, const std::vector<uint32_t>& rows, bool toTarget,
               PreviewSink& sink, const std::atomic<bool>* stop, size_t& begun, size_t total) {
    const SyncSide& from = toTarget ? sides.source : sides.target;
    const SyncSide& to = toTarget ? sides.target : sides.source;
    const char* fromWord = toTarget ? "would copy SOURCE " : "would copy TARGET ";
    const char* toWord = toTarget ? "TARGET " : "SOURCE ";
    for (const uint32_t row : rows) {
        if (Stopped(stop)) return false;
        sink.Progress(++begun, total);
        const FileEntry& entry = from.list->ElementAt(row);
        const FileEntry& existing = to.list->ElementAt(row);
        const bool overwrite = existing.status != EntryStatus::Missing;
        PreviewLine line;
        Add(line, std::string(fromWord) + (entry.IsFolder() ? "folder " : ""),
            PreviewColour::WindowText);
        Add(line, entry.FullPath(from.root), PreviewColour::Green);
        Add(line, std::string(overwrite ? " to OVERWRITE " : " to ") + toWord,
            PreviewColour::WindowText);
        if (overwrite) Add(line, existing.FullPath(to.root), PreviewColour::Red);
        sink.AddLine(line);
    }
    return true;
}

bool DeleteLines(const SyncSides& sides, const std::vector<uint32_t>& rows, PreviewSink& sink,
                 const std::atomic<bool>* stop, size_t& begun, size_t total) {
    for (const uint32_t row : rows) {
        sink.Progress(++begun, total);
        if (Stopped(stop)) return false;
        const FileEntry& entry = sides.target.list->ElementAt(row);
        PreviewLine line;
        Add(line, std::string("would DELETE TARGET ") + (entry.IsFolder() ? "folder " : ""),
            PreviewColour::WindowText);
        Add(line, entry.FullPath(sides.target.root), PreviewColour::Red);
        sink.AddLine(line);
    }
    return true;
}

class TextSink : public PreviewSink {
  public:
    void Progress(size_t /*begun*/, size_t /*total*/) override {}
    void AddLine(const PreviewLine& line) override {
        if (line.isTotal) text += '\n';
        text += line.PlainText();
        text += '\n';
    }
    std::string text;
};

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
    Add(line, "Total Files/Folders copied or deleted: " + std::to_string(total),
        PreviewColour::Blue);
    sink.AddLine(line);
    return true;
}

std::string PreviewPlainText(const SyncSides& sides, const SyncPlan& plan) {
    TextSink sink;
    BuildPreview(sides, plan, sink);
    return sink.text;
}

}  // namespace ravelmoor
