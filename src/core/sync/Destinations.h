#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ravelmoor {

class FileList;

// Where the from-side objects of rows go when they are copied to the other
// side. The two sides of a row may spell a name differently (pairing ignores
// case), so a destination is the to-side entry's own path when the row has
// one; otherwise it is the destination of the row's parent folder followed by
// the from-side name. A file from "Docs/new.txt" thus lands in the existing
// "docs/", never in a second folder beside it.
class Destinations {
  public:
    static constexpr size_t kNoRow = SIZE_MAX;

    // The lists must keep their from-side entries while this object is used.
    Destinations(const FileList& from, const FileList& to) : from_(from), to_(to) {}

    // The path below the to-side root that the from-side object of `row` is
    // copied to.
    std::string For(size_t row);

    // The row whose from-side entry is the folder holding the from-side entry
    // of `row`; kNoRow directly below the root or when no row has that folder.
    size_t ParentRow(size_t row);

  private:
    const FileList& from_;
    const FileList& to_;
    bool indexed_ = false;
    std::unordered_map<std::string, uint32_t> folderRows_;  // from-side folder path -> row
    std::unordered_map<size_t, std::string> folderDestinations_;
};

}  // namespace ravelmoor
