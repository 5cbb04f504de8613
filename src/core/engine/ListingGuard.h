#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "core/engine/FileSystem.h"

namespace ravelmoor {

class Prompter;

// Bounds the listing of a tree on a server, which may be endless: a server
// that serves a folder inside itself (a link it follows, a virtual tree it
// makes up) would draw a comparison on until memory runs out. A folder more
// than kMaxDepth levels below the first folder listed, or whose path is
// longer than PATH_MAX, is not listed; nor is any sub-folder of a folder
// whose listing repeats, a second time, the listing of a folder it is inside
// (the same two or more names, kinds, sizes and times: once may be a tree
// that really nests alike, twice is a loop). Such a folder counts as one that cannot be
// listed, so the rows below it on the other side are excluded and nothing
// there is deleted; one warning per reason says so. One per side; a side
// lists one folder at a time.
class ListingGuard {
  public:
    static constexpr size_t kMaxDepth = 256;

    explicit ListingGuard(Prompter& prompter);

    // Before listing `folder` (a server path ending with '/'): Listed when it
    // may be listed, otherwise NotListable with why not (also said once as a
    // warning).
    ListOutcome Admit(const std::string& folder);

    // Passes a listing on to `sink` and takes its fingerprint; Finish then
    // notes what the folder's listing was.
    class Sink : public ListSink {
      public:
        Sink(ListingGuard& guard, std::string folder, ListSink& sink);
        bool OnEntry(const DirEntryFacts& facts) override;
        void OnUnusableName(std::string_view name) override { sink_.OnUnusableName(name); }
        // Called once the folder has been listed completely.
        void Finish();

      private:
        ListingGuard& guard_;
        std::string folder_;
        ListSink& sink_;
        uint64_t fingerprint_ = 0;
        size_t entries_ = 0;
    };

  private:
    struct Listed {
        uint64_t fingerprint = 0;
        int repeats = 0;  // how often the listing repeats one of the folders it is inside
    };
    void Note(const std::string& folder, uint64_t fingerprint, size_t entries);
    void WarnOnce(int reason, const std::string& text);

    Prompter& prompter_;
    std::string root_;  // the first folder listed: depth counts from there
    std::map<std::string, Listed> listed_;
    std::map<std::string, std::string> looping_;  // folder -> the folder it repeats
    bool warned_[3] = {false, false, false};
};

}  // namespace ravelmoor
