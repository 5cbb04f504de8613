#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ravelmoor {

// Key prefixes of folders (a folded key followed by '/'): every key that
// starts with one of them lies below such a folder. The comparison walk keeps
// the folders it must keep every method away from: those a side could not
// list, and names that clash on a Target that ignores case.
class KeyPrefixes {
  public:
    // A folder text of a scan list (markers included, ending with '/').
    void AddFolder(const std::string& folder);
    // A folder's key; keys arrive in key order, so the list stays sorted.
    void AddFolderKey(std::string_view key) { prefixes_.emplace_back(key).push_back('/'); }
    bool empty() const { return prefixes_.empty(); }

    bool Covers(std::string_view key) const;

  private:
    std::vector<std::string> prefixes_;
};

}  // namespace ravelmoor
