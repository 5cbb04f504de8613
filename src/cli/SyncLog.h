#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "cli/PlannedActions.h"
#include "core/engine/FileSystem.h"

namespace ravelmoor {

class Comparison;

// `sync --log FILE`: an itemised record appended to FILE, never truncating
// it. A run starts with lines beginning "# " that name the time (UTC), the
// roots and the methods; then one line for each action as it is settled,
// tab-separated: outcome, action (copy, replace, delete), side (source,
// target), the path below that side's root (escaped as everywhere on the
// command line) and, for an action not done, the reason; last a "# " line
// with the summary.
class SyncLog {
  public:
    SyncLog() = default;
    ~SyncLog();
    SyncLog(const SyncLog&) = delete;
    SyncLog& operator=(const SyncLog&) = delete;

    // Opens `path` for appending, making it when it is not there. Failed,
    // with a message that names it and the system's reason, when it can not.
    WriteOutcome Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }

    void Start(const Comparison& comparison, std::string_view method, bool dryRun);
    // Records each action of `actions` as it is settled.
    void Follow(PlannedActions& actions);
    void Action(const PlannedAction& action);
    void End(std::string_view summary);

  private:
    void Write(const std::string& line);

    FILE* file_ = nullptr;
    std::string path_;
};

}  // namespace ravelmoor
