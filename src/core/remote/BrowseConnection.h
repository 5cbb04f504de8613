#pragma once

#include <string>
#include <vector>

namespace ravelmoor {

class FileSystem;
enum class ListStatus;

// A directory browser's own connection to a server, apart from any
// comparison's: it connects, lists one folder at a time and can be broken
// off. Its calls block while the server answers, so the browser makes them
// on a worker thread; Interrupt breaks the call under way from any other
// thread.
class BrowseConnection {
  public:
    struct Item {
        std::string name;  // as the server lists it
        bool folder = false;
    };

    virtual ~BrowseConnection() = default;

    // Connects and logs on. False with what went wrong in `problem`, naming
    // the server and the user; `problem` stays empty when the call was
    // interrupted or the user declined to go on.
    virtual bool Connect(std::string& problem) = 0;

    // The children of the server folder `folder` ("/", "/pub/docs"), in the
    // server's order, "." and ".." left out. False when the folder cannot be
    // listed; `problem` then says why when it is worth a word to the user
    // (the connection failed), else stays empty. After an interrupted or
    // failed call the next one connects again.
    virtual bool List(const std::string& folder, std::vector<Item>& items,
                      std::string& problem) = 0;

    virtual void Interrupt() = 0;

    // The absolute server folder the browser opens along once connected.
    virtual std::string StartFolder() const = 0;

  protected:
    // Lists `folder` of `side` into `items` (emptied first; emptied again
    // when the listing is not whole).
    static ListStatus ListInto(FileSystem& side, const std::string& folder,
                               std::vector<Item>& items);

    BrowseConnection() = default;
    BrowseConnection(const BrowseConnection&) = default;
    BrowseConnection& operator=(const BrowseConnection&) = default;
};

}  // namespace ravelmoor
