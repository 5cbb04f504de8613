#include "cli/ResultPrinter.h"

#include <string>

#include "cli/JsonOutput.h"
#include "cli/JsonStream.h"
#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"

namespace ravelmoor {
namespace {

struct RowView {
    const FileEntry& source;
    const FileEntry& target;
    const EntryPath& relativePath;  // the Source spelling, or the Target's when there is none
    bool folder;
    bool excluded;
};

RowView ViewRow(const Comparison& comparison, size_t row) {
    const FileEntry& source = comparison.SourceResults().ElementAt(row);
    const FileEntry& target = comparison.TargetResults().ElementAt(row);
    const FileEntry& named = source.IsBlank() ? target : source;
    return {source, target, named.path, named.IsFolder(),
            source.excluded != 0 || target.excluded != 0};
}

struct Tally {
    size_t matched = 0;
    size_t newerInSource = 0;
    size_t newerInTarget = 0;
    size_t onlyInSource = 0;
    size_t onlyInTarget = 0;
    size_t excluded = 0;
};

std::string Plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

size_t Differences(const Tally& tally) {
    return tally.newerInSource + tally.newerInTarget + tally.onlyInSource + tally.onlyInTarget;
}

// How many folders and files the comparison could not read.
size_t UnreadCount(const Comparison& comparison) {
    return comparison.UnlistableSourceFolders().size() +
           comparison.UnlistableTargetFolders().size() + comparison.UnreadableFiles().size();
}

void PrintTextSummary(const Comparison& comparison, const Tally& tally, FILE* out) {
    const size_t differences = Differences(tally);
    const size_t unread = UnreadCount(comparison);
    std::string line;
    // What was not seen is never called identical.
    if (differences == 0 && unread > 0) {
        line = "No differences in what could be read.";
    } else if (differences == 0) {
        line = std::string(Comparison::kIdenticalMessage) + ".";
    } else {
        line = Plural(differences, "difference", "differences") + ":";
        std::string parts;
        auto add = [&parts](size_t n, const char* text) {
            if (n == 0) return;
            if (!parts.empty()) parts += ",";
            parts += " " + std::to_string(n) + " " + text;
        };
        add(tally.newerInSource, "newer in Source");
        add(tally.newerInTarget, "newer in Target");
        add(tally.onlyInSource, "only in Source");
        add(tally.onlyInTarget, "only in Target");
        line += parts + ".";
    }
    line += " " + Plural(tally.matched, "row matches", "rows match");
    if (tally.excluded > 0)
        line += ", " + Plural(tally.excluded, "row is", "rows are") + " excluded";
    line += ".";
    if (unread > 0) line += " " + Plural(unread, "object", "objects") + " could not be read.";
    std::fprintf(out, "\n%s\n", line.c_str());
}

void AppendSide(std::string& out, const char* side, const FileEntry& entry) {
    const std::string prefix = std::string(",\"") + side;
    out += prefix + "_status\":\"" + std::string(StatusWord(entry.status)) + "\"";
    if (entry.IsBlank()) {
        out += prefix + "_size\":null" + prefix + "_mtime\":null";
        return;
    }
    out += prefix + "_size\":" + std::to_string(entry.IsFolder() ? 0 : entry.size);
    out += prefix + "_mtime\":" + std::to_string(entry.lastWrite);
}

void AppendRowJson(std::string& out, const RowView& view) {
    out.push_back('{');
    AppendName(out, "path", view.relativePath.str());
    const FileEntry& named = view.source.IsBlank() ? view.target : view.source;
    out += std::string(R"(,"kind":")") +
           (view.folder         ? "folder"
            : named.IsSymlink() ? "link"
                                : "file") +
           "\"";
    out += view.excluded ? ",\"excluded\":true" : ",\"excluded\":false";
    AppendSide(out, "source", view.source);
    AppendSide(out, "target", view.target);
    out.push_back('}');
}

// Counted from the rows, not taken from the run: after a synchronisation
// the rows have been compared again.
Tally CountRows(const Comparison& comparison) {
    Tally tally;
    const size_t rows = comparison.SourceResults().GetSize();
    for (size_t row = 0; row < rows; ++row) {
        const RowView view = ViewRow(comparison, row);
        if (view.excluded) {
            ++tally.excluded;
            continue;
        }
        switch (view.source.status) {
            case EntryStatus::Matched:
                ++tally.matched;
                break;
            case EntryStatus::Newer:
                ++tally.newerInSource;
                break;
            case EntryStatus::Older:
                ++tally.newerInTarget;
                break;
            case EntryStatus::Unmatched:
                ++tally.onlyInSource;
                break;
            case EntryStatus::Missing:
                ++tally.onlyInTarget;
                break;
            case EntryStatus::Unclassified:
                break;
        }
    }
    return tally;
}

// What could not be read, after the rows, so that a script can say which
// part is unknown. A folder is of one side; a file is of a pair, either of
// whose data could not be read.
void AppendJsonUnread(const Comparison& comparison, std::string& out) {
    out += R"(],"unread":[)";
    const auto unread = [&out](const char* side, const char* kind, const std::string& path) {
        if (out.back() != '[') out.push_back(',');
        out += std::string(R"({"side":)") + side + R"(,"kind":")" + kind + "\",";
        AppendName(out, "path", path);
        out.push_back('}');
    };
    for (const std::string& folder : comparison.UnlistableSourceFolders())
        unread("\"source\"", "folder", folder);
    for (const std::string& folder : comparison.UnlistableTargetFolders())
        unread("\"target\"", "folder", folder);
    for (const std::string& file : comparison.UnreadableFiles())
        unread("null", "file", file);
}

// The document's summary, after the rows and what could not be read.
void AppendJsonSummary(const Comparison& comparison, const Tally& tally, std::string& out) {
    out += R"(],"summary":{"rows":)" + std::to_string(comparison.SourceResults().GetSize());
    const std::pair<const char*, size_t> counts[] = {{"differences", Differences(tally)},
                                                     {"newer_in_source", tally.newerInSource},
                                                     {"newer_in_target", tally.newerInTarget},
                                                     {"only_in_source", tally.onlyInSource},
                                                     {"only_in_target", tally.onlyInTarget},
                                                     {"matched", tally.matched},
                                                     {"excluded", tally.excluded}};
    for (const auto& [key, count] : counts)
        out += std::string(",\"") + key + "\":" + std::to_string(count);
    out += "}}";
}

}  // namespace

std::string_view StatusWord(EntryStatus status) {
    switch (status) {
        case EntryStatus::Matched:
            return "matched";
        case EntryStatus::Newer:
            return "newer";
        case EntryStatus::Older:
            return "older";
        case EntryStatus::Unmatched:
            return "unmatched";
        case EntryStatus::Missing:
            return "missing";
        case EntryStatus::Unclassified:
            break;
    }
    return "unclassified";
}

void PrintResults(const Comparison& comparison, OutputFormat format, bool showAll, FILE* out) {
    const size_t rows = comparison.SourceResults().GetSize();
    // Counted first, so that a JSON document says whether the folders are
    // identical before its rows, which then go out as they are made.
    const Tally tally = CountRows(comparison);
    JsonStream json(out);
    if (format == OutputFormat::Text) {
        std::fprintf(out, "Source: %s\nTarget: %s\n\n", EscapeName(comparison.SourceRoot()).c_str(),
                     EscapeName(comparison.TargetRoot()).c_str());
        std::fprintf(out, "%-10s %-10s %s\n", "Source", "Target", "Path");
    } else if (format == OutputFormat::Json) {
        json.Text() = JsonDocumentStart("ravelmoor-compare", comparison);
        const bool complete = comparison.Complete();
        json.Text() +=
            Differences(tally) == 0 && complete ? ",\"identical\":true" : ",\"identical\":false";
        json.Text() += complete ? ",\"complete\":true," : ",\"complete\":false,";
        json.Text() += "\"rows\":[";
    }
    std::string line;
    std::string path;
    bool firstRow = true;
    for (size_t row = 0; row < rows; ++row) {
        const RowView view = ViewRow(comparison, row);
        if (!showAll && view.source.status == EntryStatus::Matched) continue;

        line.clear();
        path.clear();
        view.relativePath.AppendTo(path);
        if (format == OutputFormat::Json) {
            if (!firstRow) json.Text().push_back(',');
            firstRow = false;
            AppendRowJson(json.Text(), view);
            json.Pass();
            continue;
        }
        if (format == OutputFormat::Tsv) {
            line.append(StatusWord(view.source.status)).push_back('\t');
            line.append(StatusWord(view.target.status)).push_back('\t');
            line.append(view.folder ? "folder" : "file").push_back('\t');
            line.append(view.excluded ? "1" : "0").push_back('\t');
            AppendEscapedName(path, line);
            line.push_back('\n');
        } else {
            char columns[32];
            std::snprintf(columns, sizeof columns, "%-10s %-10s ",
                          std::string(StatusWord(view.source.status)).c_str(),
                          std::string(StatusWord(view.target.status)).c_str());
            line.append(columns);
            AppendEscapedName(path, line);
            if (view.folder) line.push_back('/');
            if (view.excluded) line.append("  (excluded)");
            line.push_back('\n');
        }
        std::fwrite(line.data(), 1, line.size(), out);
    }
    if (format == OutputFormat::Text) PrintTextSummary(comparison, tally, out);
    if (format == OutputFormat::Json) {
        AppendJsonUnread(comparison, json.Text());
        AppendJsonSummary(comparison, tally, json.Text());
        json.End();
    }
}

}  // namespace ravelmoor
