#pragma once

#include <string>
#include <vector>

#include "core/engine/Outcome.h"

namespace ravelmoor {

class FileSystem;
enum class ListStatus;
using ListOutcome = Outcome<ListStatus>;

// How a directory browser's call ended. Failed: the reason is worth a word
// to the user; Quiet: nothing to say (the call was interrupted, the user
// declined to go on, or a folder simply cannot be listed).
enum class BrowseStatus { Done, Failed, Quiet };

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

    using Listing = Result<BrowseStatus, std::vector<Item>>;

    virtual ~BrowseConnection() = default;

    // Connects and logs on. Failed with what went wrong, naming the server
    // and the user.
    virtual Outcome<BrowseStatus> Connect() = 0;

    // The children of the server folder `folder` ("/", "/pub/docs"), in the
    // server's order, "." and ".." left out; none when the folder cannot be
    // listed, Failed when that is worth a word to the user (the connection
    // failed). After an interrupted or failed call the next one connects
    // again.
    virtual Listing List(const std::string& folder) = 0;

    virtual void Interrupt() = 0;

    // The absolute server folder the browser opens along once connected.
    virtual std::string StartFolder() const = 0;

  protected:
    // Lists `folder` of `side` into `items` (emptied first; emptied again
    // when the listing is not whole), without the folder of versions a sync
    // kept on the server (kVersionsFolder).
    static ListOutcome ListInto(FileSystem& side, const std::string& folder,
                                std::vector<Item>& items);

    BrowseConnection() = default;
    BrowseConnection(const BrowseConnection&) = default;
    BrowseConnection& operator=(const BrowseConnection&) = default;
};

}  // namespace ravelmoor
