#include "core/launch/StartComparison.h"

#include "core/engine/Comparison.h"
#include "core/filters/FilterSet.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/ftp/FtpOpener.h"
#include "core/sftp/SftpConnectionStore.h"
#include "core/sftp/SftpOpener.h"

namespace ravelmoor {

ConnectionLookup StoredConnectionLookup(SettingsStore& store) {
    return {[&store](std::string_view name) {
                return FtpConnectionStore(store).LookupConnection(name);
            },
            [&store](std::string_view name) {
                return SftpConnectionStore(store).LookupConnection(name);
            }};
}

std::unique_ptr<RemoteSide> MakeRemoteSide(const SideConnection& side,
                                           UnknownHostKey unknownHostKey) {
    if (!side.ftp.IsEmpty()) return MakeFtpSide(side.ftp);
    if (!side.sftp.IsEmpty()) return MakeSftpSide(side.sftp, unknownHostKey);
    return nullptr;
}

ComparisonStart StartComparison(CompareJob& job, const ConnectionLookup& lookup,
                                Comparison& comparison, Prompter& prompter,
                                UnknownHostKey unknownHostKey,
                                const std::function<void(ComparisonRun&)>& beforeStart) {
    ComparisonStart start;
    start.outcome =
        CheckCompareSides(job.sourceFolder, job.targetFolder, lookup, start.source, start.target);
    if (!start.outcome.Ok()) return start;

    comparison.Reset(job.Rules(), RootText(job.sourceFolder), RootText(job.targetFolder));
    if (start.source.IsRemote())
        comparison.Sides().SetRemote(Side::Source, MakeRemoteSide(start.source, unknownHostKey));
    if (start.target.IsRemote())
        comparison.Sides().SetRemote(Side::Target, MakeRemoteSide(start.target, unknownHostKey));
    start.run = std::make_unique<ComparisonRun>(comparison, prompter);
    auto filter = std::make_shared<FilterSet>();
    filter->Prepare(job.filterRules);
    start.run->SetFilter(std::move(filter));
    if (beforeStart) beforeStart(*start.run);
    start.run->Start();
    return start;
}

}  // namespace ravelmoor
