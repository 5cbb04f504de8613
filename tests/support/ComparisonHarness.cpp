#include "support/ComparisonHarness.h"

#include "core/ftp/FtpOpener.h"

namespace ravelmoor::test {

void ComparisonHarness::Reset(const CompareJob& settings) {
    run_.reset();
    settings_ = settings;
    method_ = ComparisonMethod::SizeAndTimestamp;
    filter_.reset();
}

void ComparisonHarness::SetLocalFileSystem(std::shared_ptr<FileSystem> fs) {
    if (run_) run_->Wait();
    Sides().SetLocalFileSystem(std::move(fs));
}

void ComparisonHarness::Start(const std::string& sourceRoot, const std::string& targetRoot,
                              bool includeSubFolders, const FtpConnection& sourceFtp,
                              const FtpConnection& targetFtp) {
    run_.reset();
    CompareJob job = settings_;
    job.SetMethod(method_);
    job.includeSubFolders = includeSubFolders;
    Comparison::Reset(job.Rules(), sourceRoot, targetRoot);
    if (!sourceFtp.IsEmpty()) Sides().SetRemote(Side::Source, MakeFtpSide(sourceFtp));
    if (!targetFtp.IsEmpty()) Sides().SetRemote(Side::Target, MakeFtpSide(targetFtp));
    run_ = std::make_unique<ComparisonRun>(*this, prompter_);
    run_->SetFilter(filter_);
    run_->Start();
}

}  // namespace ravelmoor::test
