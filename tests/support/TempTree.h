#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>

namespace ravelmoor::test {

// A fresh folder under the system temp folder, removed with everything in it
// when the object goes (permissions are restored first).
class TempTree {
  public:
    static constexpr int64_t kDefaultTime = 1600000000;  // 2020-09-13

    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The folder, without a trailing '/'.
    const std::string& Path() const { return path_; }
    // The folder with a trailing '/', as the engine takes a root.
    std::string Root() const { return path_ + "/"; }
    std::string Full(const std::string& relative) const { return path_ + "/" + relative; }

    // Writes a file (parents made as needed) and sets its modification time.
    void Write(const std::string& relative, const std::string& content,
               int64_t mtime = kDefaultTime);
    void MakeFolder(const std::string& relative);
    void Symlink(const std::string& relative, const std::string& target);
    void Fifo(const std::string& relative);
    void SetTime(const std::string& relative, int64_t mtime, long nanoseconds = 0);
    void Chmod(const std::string& relative, mode_t mode);

    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    int64_t Time(const std::string& relative) const;
    // Every object below the tree by relative path: a file's content, "/"
    // for a folder.
    std::map<std::string, std::string> Contents() const;

  private:
    std::string path_;
};

}  // namespace ravelmoor::test
