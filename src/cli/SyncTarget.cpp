#include "cli/SyncTarget.h"

#include <cstdio>
#include <string>

#include "cli/ExitStatus.h"
#include "cli/ProblemDetail.h"
#include "cli/SyncRequest.h"
#include "cli/Terminal.h"
#include "core/engine/NameEscape.h"
#include "core/folders/FolderText.h"
#include "core/launch/MadeFolder.h"

namespace ravelmoor {

std::optional<int> PrepareTarget(const SyncRequest& request, MadeFolder& madeTarget) {
    // --mkpath: a Target that is not there yet is made once Source is known
    // to be there; removed again when the sync stops before it writes.
    const std::string target = NormaliseFolder(request.compare.job.targetFolder);
    const std::string& source = request.compare.job.sourceFolder;
    const bool missingTarget =
        !DesignatesRemoteFolder(target) && IsMissingPath(target) &&
        (DesignatesRemoteFolder(source) || IsExistingFolder(NormaliseFolder(source)));
    if (missingTarget && !request.makeTarget) {
        // rsync and rclone make it: say how to have it made.
        Terminal::Message(WithSubject("Target folder not found", EscapeName(target),
                                      "No such file or directory") +
                          "; add --mkpath to make it.");
        return kFailed;
    }
    if (missingTarget && request.preview) {
        const std::string plan = "Dry run: would make the Target folder " + EscapeName(target) +
                                 " and copy all of Source into it. Nothing was changed.";
        if (request.compare.format == OutputFormat::Text) {
            if (!request.compare.quiet) std::printf("%s\n", plan.c_str());
        } else {
            Terminal::Info(plan);
        }
        return kPartly;
    }
    if (missingTarget) {
        if (const LaunchOutcome made = madeTarget.Make(target); !made.Ok()) {
            Terminal::Message(made.reason);
            return kFailed;
        }
    }
    return std::nullopt;
}

}  // namespace ravelmoor
