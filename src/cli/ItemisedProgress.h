#pragma once

#include <string>
#include <unordered_map>

#include "core/engine/ProgressText.h"
#include "core/sync/PlanSync.h"
#include "core/sync/SyncSides.h"

namespace ravelmoor {

// `sync -v`: one line on standard output for each action as it is carried
// out, itemised as rsync -i does: eleven change characters, a space and the
// path below the roots. The first character says where the object goes ('>'
// to Target, '<' to Source), the second what it is ('f' file, 'd' folder,
// 'L' symbolic link; a new folder or link starts with 'c'); "+++++++++" marks
// a new object, 's' and 't' a replaced one whose size or time differs; a
// deletion is "*deleting". Everything shown is passed on to `next`.
class ItemisedProgress : public ProgressText {
  public:
    ItemisedProgress(const SyncSides& sides, const SyncPlan& plan, ProgressText& next);

    void Show(std::string_view text) override;

  private:
    void AddCopies(const SyncSide& from, const SyncSide& to, const std::vector<uint32_t>& rows,
                   char direction);

    // The full path the file operation shows → the line to print.
    std::unordered_map<std::string, std::string> lines_;
    ProgressText& next_;
};

}  // namespace ravelmoor
