#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/local/ConfinedFileSystem.h"

namespace ravelmoor {

// How long a kept version stays, unless the user says otherwise.
inline constexpr int kDefaultVersionDays = 30;
inline constexpr int kMaxVersionDays = 36500;

// The name of a run's folder in the versions folder: its start in UTC as
// "YYYY-MM-DD-HHMMSS".
std::string VersionStamp(int64_t utcSeconds);
// The start (UTC) that a run's folder name stands for: a stamp, perhaps with
// "-N" after it (a second run in the same second). False for any other name.
bool StampTime(std::string_view name, int64_t& utcSeconds);

// A server side as a sync sees it: MoveToTrash keeps the object on the
// server, renamed (no data moves) to `.ravelmoor-versions/STAMP/<path>` below
// the root, STAMP being the run's start. The run's folder is made on first
// use, one per run: a name taken by an earlier run gets "-2", "-3" and so on.
// Nothing there is ever replaced. `trashedTo` is the kept object's full path,
// for the journal and undo. Without `keep` nothing is kept (MoveToTrash is
// the side's own: no trash), but old runs' folders still go by RemoveOld.
// Everything else is the side's own file system's.
class ServerVersions : public ConfinedFileSystem {
  public:
    // `inner` outlives this; `root` ends with '/'.
    ServerVersions(FileSystem& inner, std::string root, int64_t runStart, int days, bool keep);

    bool HasTrash() const override { return keep_ || inner_.HasTrash(); }
    bool KeepsOnServer() const override { return keep_; }
    WriteOutcome MoveToTrash(const std::string& root, std::string_view relative) override;

    // Removes the run folders that started more than the days given at
    // construction before `now` (whole, with everything in them), telling
    // `say` of each removed one and of each that could not be removed.
    // Folders of other names are left alone.
    void RemoveOld(int64_t now, const std::function<void(const std::string&)>& say);

    // The run's folder name; empty until something was kept.
    const std::string& Stamp() const { return stamp_; }

  private:
    // Makes the run's folder once.
    WriteOutcome MakeRunFolder(const std::string& root);
    // Removes `relative` (a folder below the root) and everything in it.
    WriteOutcome RemoveTree(const std::string& relative, size_t depth);

    FileSystem& inner_;
    std::string root_;
    int64_t runStart_;
    int days_;
    bool keep_;
    std::string stamp_;
};

}  // namespace ravelmoor
