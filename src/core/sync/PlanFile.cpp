#include "core/sync/PlanFile.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>
#include <unordered_map>

#include "core/engine/FileList.h"
#include "core/engine/JsonText.h"
#include "core/engine/NameEscape.h"

namespace ravelmoor {
namespace {

constexpr int kVersion = 1;

void AppendFact(std::string& out, std::string_view key, const FileEntry& entry) {
    out += ",\"";
    out += key;
    out += "\":";
    if (entry.IsBlank()) {
        out += "null";
        return;
    }
    out.push_back('{');
    AppendName(out, "path", entry.path.str());
    out += ",\"kind\":";
    AppendJsonString(out, KindWord(KindOf(entry)));
    out += ",\"size\":" + std::to_string(entry.IsFolder() ? 0 : entry.size);
    out += ",\"mtime\":" + std::to_string(entry.lastWrite);
    out.push_back('}');
}

// The text with each comma that ends a list or an object left out, so that
// deleting an action's line (the last one too) leaves a plan that reads.
std::string WithoutTrailingCommas(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\' && i + 1 < text.size()) {
                out.push_back(c);
                out.push_back(text[++i]);
                continue;
            }
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == ',') {
            const size_t next = text.find_first_not_of(" \t\r\n", i + 1);
            if (next != std::string_view::npos && (text[next] == ']' || text[next] == '}'))
                continue;
        }
        out.push_back(c);
    }
    return out;
}

// The line the parser stopped on, counted from 1.
size_t LineAt(std::string_view text, size_t offset) {
    offset = std::min(offset, text.size());
    return 1 + static_cast<size_t>(std::count(text.begin(), text.begin() + offset, '\n'));
}

// The line of the `index`th action object (counted from 0), found by its
// `"action":` key; 0 when it is not found.
size_t ActionLine(std::string_view text, size_t index) {
    constexpr std::string_view kKey = "\"action\":";
    size_t at = 0;
    for (size_t seen = 0;; ++seen) {
        at = text.find(kKey, at);
        while (at != std::string_view::npos && at > 0 && text[at - 1] == '\\')
            at = text.find(kKey, at + 1);
        if (at == std::string_view::npos) return 0;
        if (seen == index) return LineAt(text, at);
        at += kKey.size();
    }
}

// Reads the plan's actions; `where` names the one at fault.
class ActionReader {
  public:
    ActionReader(std::string_view text, size_t index) : text_(text), index_(index) {}

    std::string Where(const char* field) const {
        std::string where = "action " + std::to_string(index_ + 1);
        if (const size_t line = ActionLine(text_, index_); line > 0) {
            where += " (line " + std::to_string(line) + ")";
        }
        return where + ", field \"" + field + "\"";
    }

    // Reads one side's facts; returns the reason when they are not facts.
    std::string Fact(const QJsonObject& action, const char* key, SideFact& fact) const {
        const QJsonValue value = action.value(QLatin1String(key));
        if (value.isNull()) return {};
        if (!value.isObject()) return Where(key) + ": expected an object or null";
        const QJsonObject object = value.toObject();
        fact.present = true;
        const QJsonValue bytes = object.value(QLatin1String("path_bytes"));
        const QJsonValue path = object.value(QLatin1String("path"));
        if (bytes.isString()) {
            fact.path = QByteArray::fromBase64(bytes.toString().toLatin1()).toStdString();
        } else if (path.isString() && !path.toString().isEmpty()) {
            fact.path = path.toString().toStdString();
        } else {
            return Where(key) + ": expected a \"path\"";
        }
        const QString kind = object.value(QLatin1String("kind")).toString();
        if (kind == QLatin1String("file")) {
            fact.kind = 'f';
        } else if (kind == QLatin1String("folder")) {
            fact.kind = 'd';
        } else if (kind == QLatin1String("link")) {
            fact.kind = 'L';
        } else {
            return Where(key) + ": expected a \"kind\" of file, folder or link";
        }
        const QJsonValue size = object.value(QLatin1String("size"));
        const QJsonValue mtime = object.value(QLatin1String("mtime"));
        if (!size.isDouble() || size.toDouble() < 0 || !mtime.isDouble()) {
            return Where(key) + R"(: expected a "size" and an "mtime" in numbers)";
        }
        fact.size = static_cast<uint64_t>(size.toInteger());
        fact.lastWrite = mtime.toInteger();
        return {};
    }

    std::string Row(const QJsonValue& value, PlanFileRow& row) const {
        if (!value.isObject()) return Where("action") + ": expected an object";
        const QJsonObject action = value.toObject();
        const QString verb = action.value(QLatin1String("action")).toString();
        const QString side = action.value(QLatin1String("side")).toString();
        const QString outcome = action.value(QLatin1String("outcome")).toString();
        const bool deletion = verb == QLatin1String("delete");
        if (!deletion && verb != QLatin1String("copy") && verb != QLatin1String("replace")) {
            return Where("action") + ": expected copy, replace or delete";
        }
        if (side != QLatin1String("source") && side != QLatin1String("target")) {
            return Where("side") + ": expected source or target";
        }
        const bool toSource = side == QLatin1String("source");
        if (deletion && toSource) return Where("side") + ": a plan deletes in Target only";
        row.step = deletion   ? PlanStep::DeleteInTarget
                   : toSource ? PlanStep::CopyToSource
                              : PlanStep::CopyToTarget;
        if (outcome != QLatin1String("planned") && outcome != QLatin1String("skipped")) {
            return Where("outcome") + ": expected planned or skipped";
        }
        row.skipped = outcome == QLatin1String("skipped");
        for (const auto& [key, fact] : {std::pair<const char*, SideFact*>{"source", &row.source},
                                        std::pair<const char*, SideFact*>{"target", &row.target}}) {
            if (std::string problem = Fact(action, key, *fact); !problem.empty()) return problem;
        }
        if (!row.source.present && !row.target.present) {
            return Where("source") + ": neither side has facts";
        }
        return {};
    }

  private:
    std::string_view text_;
    size_t index_;
};

PlanFileResult Malformed(const std::string& name, const std::string& reason) {
    return PlanFileResult(PlanFileStatus::Malformed, "The plan file " + EscapeName(name) +
                                                         " can not be used: " + reason + ".");
}

bool Matches(const SideFact& fact, const FileEntry& entry) {
    if (!fact.present) return entry.IsBlank();
    if (entry.IsBlank() || KindOf(entry) != fact.kind || entry.path != fact.path) return false;
    // What a folder holds changes its time; only a file's content counts.
    return fact.kind == 'd' || (entry.size == fact.size && entry.lastWrite == fact.lastWrite);
}

// Why one side of the row is no longer as the plan saw it; empty when it is.
std::string ChangeOf(const SideFact& fact, const FileEntry& entry, const char* side) {
    if (Matches(fact, entry)) return {};
    if (!fact.present) return std::string("new in ") + side;
    if (entry.IsBlank()) return std::string("gone from ") + side;
    return std::string("changed in ") + side;
}

}  // namespace

char KindOf(const FileEntry& entry) {
    if (entry.IsFolder()) return 'd';
    return entry.IsSymlink() ? 'L' : 'f';
}

const char* KindWord(char kind) {
    if (kind == 'd') return "folder";
    return kind == 'L' ? "link" : "file";
}

void AppendRowFacts(std::string& out, const FileEntry& source, const FileEntry& target) {
    AppendFact(out, "source", source);
    AppendFact(out, "target", target);
}

PlanFileResult ParsePlanFile(std::string_view written, const std::string& name) {
    const std::string read = WithoutTrailingCommas(written);
    const std::string_view text = read;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())), &error);
    if (error.error != QJsonParseError::NoError) {
        return Malformed(name, "line " +
                                   std::to_string(LineAt(text, static_cast<size_t>(error.offset))) +
                                   ": " + error.errorString().toStdString());
    }
    const QJsonObject top = document.object();
    if (top.value(QLatin1String("format")).toString() != QLatin1String("ravelmoor-sync")) {
        return Malformed(name, "field \"format\": expected ravelmoor-sync");
    }
    if (top.value(QLatin1String("version")).toInt() != kVersion) {
        return Malformed(name, "field \"version\": expected " + std::to_string(kVersion));
    }
    if (!top.value(QLatin1String("dry_run")).toBool()) {
        return Malformed(name,
                         "field \"dry_run\": it records a synchronisation that ran; a plan is "
                         "made with --dry-run");
    }
    PlanFileContent content;
    content.method = top.value(QLatin1String("method")).toString().toStdString();
    content.compareMethod = top.value(QLatin1String("compare_method")).toString().toStdString();
    content.subFolders = top.value(QLatin1String("subfolders")).toBool();
    for (const auto& [key, folder] :
         {std::pair<const char*, std::string*>{"source", &content.sourceFolder},
          std::pair<const char*, std::string*>{"target", &content.targetFolder}}) {
        const QJsonValue bytes = top.value(QLatin1String(key) + QLatin1String("_bytes"));
        if (bytes.isString()) {
            *folder = QByteArray::fromBase64(bytes.toString().toLatin1()).toStdString();
        } else {
            *folder = top.value(QLatin1String(key)).toString().toStdString();
        }
    }
    const QJsonValue actions = top.value(QLatin1String("actions"));
    if (!actions.isArray()) return Malformed(name, "field \"actions\": expected a list");
    const QJsonArray list = actions.toArray();
    content.rows.resize(static_cast<size_t>(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i) {
        const ActionReader reader(text, static_cast<size_t>(i));
        if (std::string problem = reader.Row(list.at(i), content.rows[static_cast<size_t>(i)]);
            !problem.empty()) {
            return Malformed(name, problem);
        }
    }
    return PlanFileResult(std::move(content));
}

PlanFileResult ReadPlanFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return PlanFileResult(PlanFileStatus::Unreadable,
                              "The plan file " + EscapeName(path) +
                                  " can not be read: " + file.errorString().toStdString() + ".");
    }
    const QByteArray text = file.readAll();
    return ParsePlanFile(std::string_view(text.constData(), static_cast<size_t>(text.size())),
                         path);
}

PlanMatch MatchPlanFile(const std::vector<PlanFileRow>& rows, const FileList& source,
                        const FileList& target) {
    // Each side's paths the plan names, and the rows that hold them now.
    constexpr uint32_t kNone = UINT32_MAX;
    std::unordered_map<std::string, uint32_t> sourceRows;
    std::unordered_map<std::string, uint32_t> targetRows;
    for (const PlanFileRow& row : rows) {
        if (row.skipped) continue;
        if (row.source.present) sourceRows.emplace(row.source.path, kNone);
        if (row.target.present) targetRows.emplace(row.target.path, kNone);
    }
    const size_t count = std::min(source.GetSize(), target.GetSize());
    for (size_t i = 0; i < count; ++i) {
        for (const auto& [list, found] :
             {std::pair<const FileList*, std::unordered_map<std::string, uint32_t>*>{&source,
                                                                                     &sourceRows},
              std::pair<const FileList*, std::unordered_map<std::string, uint32_t>*>{
                  &target, &targetRows}}) {
            const FileEntry& entry = list->ElementAt(i);
            if (entry.IsBlank()) continue;
            if (const auto at = found->find(entry.path.str()); at != found->end()) {
                at->second = static_cast<uint32_t>(i);
            }
        }
    }
    PlanMatch match;
    match.entries.reserve(rows.size());
    std::vector<bool> used(count, false);
    for (const PlanFileRow& row : rows) {
        // A skipped action is left out whatever became of its row.
        if (row.skipped) continue;
        const SideFact& named = row.source.present ? row.source : row.target;
        const uint32_t at = (row.source.present ? sourceRows : targetRows).at(named.path);
        const std::string escaped = EscapeName(named.path);
        std::string reason;
        if (at == kNone) {
            reason = std::string("gone from ") + (row.source.present ? "Source" : "Target");
        } else {
            reason = ChangeOf(row.source, source.ElementAt(at), "Source");
            if (reason.empty()) reason = ChangeOf(row.target, target.ElementAt(at), "Target");
            if (reason.empty() && used[at]) reason = "planned twice";
            if (reason.empty() && !Possible(row.step, source, target, at)) {
                reason = source.ElementAt(at).excluded != 0 || target.ElementAt(at).excluded != 0
                             ? "excluded by the filters"
                             : "nothing on the side it copies from";
            }
        }
        if (!reason.empty()) {
            match.refused.push_back(escaped);
            match.refused.back() += " (" + reason + ")";
            continue;
        }
        used[at] = true;
        match.entries.push_back({at, row.step, true});
    }
    return match;
}

}  // namespace ravelmoor
