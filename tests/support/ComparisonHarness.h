#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/engine/Comparison.h"
#include "core/engine/ComparisonRun.h"
#include "core/engine/EntryFilter.h"
#include "core/ftp/FtpConnection.h"
#include "core/local/LocalFileSystem.h"
#include "core/settings/CompareJob.h"

namespace ravelmoor::test {

// A comparison with one run over it at a time, driven as the tests drive the
// engine: Reset with the settings, then Start with the sides.
// The sides come first so that they exist when the comparison is given them.
struct HarnessSides {
    explicit HarnessSides(Prompter& prompter)
        : sides(prompter, std::make_shared<LocalFileSystem>()) {}
    SideProvider sides;
};

class ComparisonHarness : private HarnessSides, public Comparison {
  public:
    explicit ComparisonHarness(Prompter& prompter)
        : HarnessSides(prompter), Comparison(sides), prompter_(prompter) {}

    // Takes the job's tolerances and chunk over for the next Start (the
    // results stay until then); method and sub-folders are set apart.
    void Reset(const CompareJob& settings);
    void SetMethod(ComparisonMethod method) { method_ = method; }
    void SetFilter(std::shared_ptr<EntryFilter> filter) { filter_ = std::move(filter); }
    void SetLocalFileSystem(std::shared_ptr<FileSystem> fs);

    // Resets the comparison with the sides and starts a run on its worker.
    void Start(const std::string& sourceRoot, const std::string& targetRoot, bool includeSubFolders,
               const FtpConnection& sourceFtp = {}, const FtpConnection& targetFtp = {});
    void Wait() { run_->Wait(); }
    bool WaitFor(std::chrono::milliseconds timeout) { return run_->WaitFor(timeout); }
    ComparisonPhase Phase() const { return run_ ? run_->Phase() : ComparisonPhase::Idle; }
    void Cancel() { run_->Cancel(); }
    void InterruptSides() { run_->InterruptSides(); }
    int64_t SourceCount() const { return run_->SourceCount(); }
    uint64_t BytesChecked() const { return run_->BytesChecked(); }
    FileList& SourceScan() { return run_->SourceScan(); }

  private:
    Prompter& prompter_;
    CompareJob settings_;
    ComparisonMethod method_ = ComparisonMethod::SizeAndTimestamp;
    std::shared_ptr<EntryFilter> filter_;
    std::unique_ptr<ComparisonRun> run_;
};

}  // namespace ravelmoor::test
