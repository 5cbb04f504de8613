#include "cli/SyncLog.h"

#include <cerrno>
#include <ctime>

#include "cli/JsonOutput.h"
#include "cli/ProblemDetail.h"
#include "cli/Terminal.h"
#include "core/engine/Comparison.h"
#include "core/engine/NameEscape.h"
#include "core/local/BelowRoot.h"

namespace ravelmoor {
namespace {

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

}  // namespace

SyncLog::~SyncLog() {
    if (file_ != nullptr) std::fclose(file_);
}

WriteOutcome SyncLog::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "a");
    if (file_ == nullptr) {
        return WriteOutcome(WriteStatus::Failed, WithSubject("Can not open the log file",
                                                             EscapeName(path), ErrorText(errno)));
    }
    path_ = path;
    return {};
}

void SyncLog::Start(const Comparison& comparison, std::string_view method, bool dryRun) {
    std::string header = "# ravelmoor sync " + UtcNow() + (dryRun ? " (dry run)\n" : "\n");
    header += "# source: " + EscapeName(comparison.SourceRoot()) + "\n";
    header += "# target: " + EscapeName(comparison.TargetRoot()) + "\n";
    header += "# method: " + std::string(method) + ", compared by " +
              ComparisonMethodWord(comparison.Rules().method) + "\n";
    Write(header);
}

void SyncLog::Follow(PlannedActions& actions) {
    if (file_ != nullptr) actions.Listen([this](const PlannedAction& action) { Action(action); });
}

void SyncLog::Action(const PlannedAction& action) {
    std::string line(OutcomeWord(action.outcome));
    line.append("\t").append(action.Verb()).append("\t");
    line.append(action.side == ListSide::Source ? "source" : "target").append("\t");
    AppendEscapedName(action.path, line);
    if (action.kind == 'd') line.push_back('/');
    if (!action.reason.empty()) {
        line.push_back('\t');
        AppendEscapedName(action.reason, line);
    }
    line.push_back('\n');
    Write(line);
}

void SyncLog::End(std::string_view summary) {
    Write("# " + std::string(summary) + "\n");
}

void SyncLog::Write(const std::string& line) {
    if (file_ == nullptr) return;
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0) {
        Terminal::Message(
            WithSubject("Can not write the log file", EscapeName(path_), ErrorText(errno)));
        std::fclose(file_);
        file_ = nullptr;
    }
}

}  // namespace ravelmoor
