#include "cli/JsonOutput.h"

#include "cli/JsonStream.h"
#include "cli/PlannedActions.h"
#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"
#include "core/sync/PlanFile.h"

namespace ravelmoor {
namespace {

constexpr int kVersion = 1;

void AppendKey(std::string& out, std::string_view key) {
    out.push_back(',');
    AppendJsonString(out, key);
    out.push_back(':');
}

void AppendNumber(std::string& out, std::string_view key, int64_t value) {
    AppendKey(out, key);
    out += std::to_string(value);
}

void AppendWord(std::string& out, std::string_view key, std::string_view word) {
    AppendKey(out, key);
    AppendJsonString(out, word);
}

void AppendAction(std::string& out, const PlannedAction& action, const Comparison* facts) {
    out += "{\"action\":";
    AppendJsonString(out, action.Verb());
    AppendWord(out, "side", action.side == ListSide::Source ? "source" : "target");
    AppendWord(out, "kind", KindWord(action.kind));
    out.push_back(',');
    AppendName(out, "path", action.path);
    AppendNumber(out, "size", static_cast<int64_t>(action.size));
    AppendNumber(out, "mtime", action.lastWrite);
    if (action.replaces) {
        AppendNumber(out, "replaced_size", static_cast<int64_t>(action.replacedSize));
        AppendNumber(out, "replaced_mtime", action.replacedLastWrite);
    }
    AppendWord(out, "outcome", OutcomeWord(action.outcome));
    if (!action.reason.empty()) AppendWord(out, "reason", action.reason);
    if (facts != nullptr) {
        AppendRowFacts(out, facts->SourceResults().ElementAt(action.row),
                       facts->TargetResults().ElementAt(action.row));
    }
    out.push_back('}');
}

}  // namespace

const char* ComparisonMethodWord(ComparisonMethod method) {
    switch (method) {
        case ComparisonMethod::Crc:
            return "crc";
        case ComparisonMethod::Both:
            return "both";
        default:
            break;
    }
    return "size-time";
}

std::string JsonDocumentStart(const char* format, const Comparison& comparison) {
    std::string out = "{\"format\":";
    AppendJsonString(out, format);
    AppendNumber(out, "version", kVersion);
    out.push_back(',');
    AppendName(out, "source", comparison.SourceRoot());
    out.push_back(',');
    AppendName(out, "target", comparison.TargetRoot());
    AppendWord(out, "compare_method", ComparisonMethodWord(comparison.Rules().method));
    return out;
}

void AppendSyncActions(JsonStream& stream, const Comparison& comparison, std::string_view method,
                       const PlannedActions& actions, bool dryRun, bool stopped) {
    std::string& out = stream.Text();
    AppendKey(out, "subfolders");
    out += comparison.Rules().includeSubFolders ? "true" : "false";
    AppendWord(out, "method", method);
    AppendKey(out, "dry_run");
    out += dryRun ? "true" : "false";
    AppendKey(out, "stopped");
    out += stopped ? "true" : "false";
    AppendKey(out, "actions");
    out.push_back('[');
    uint64_t bytes = 0;
    bool first = true;
    for (const PlannedAction& action : actions.All()) {
        if (!first) out.push_back(',');
        first = false;
        // One action a line, so that a plan is edited line by line.
        out.push_back('\n');
        // A dry run's actions carry the facts they were planned on: they
        // are checked again when the plan is run from a file.
        AppendAction(out, action, dryRun ? &comparison : nullptr);
        if (action.outcome == ActionOutcome::Done && !action.deletion) bytes += action.size;
        stream.Pass();
    }
    if (!first) out.push_back('\n');
    out += R"(],"summary":{"actions":)" + std::to_string(actions.All().size());
    for (const ActionOutcome outcome :
         {ActionOutcome::Planned, ActionOutcome::Done, ActionOutcome::Skipped,
          ActionOutcome::Failed, ActionOutcome::Declined}) {
        AppendNumber(out, OutcomeWord(outcome), static_cast<int64_t>(actions.Count(outcome)));
    }
    AppendNumber(out, "bytes_copied", static_cast<int64_t>(bytes));
    out.push_back('}');
}

void WriteJson(const std::string& document, FILE* out) {
    std::fwrite(document.data(), 1, document.size(), out);
    std::fputc('\n', out);
}

}  // namespace ravelmoor
