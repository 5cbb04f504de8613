#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/engine/ScanFolder.h"

namespace ravelmoor {

class FileList;
class FileSystem;
class FolderPairReader;

// One side of a comparison for TreeScan::AddPair: every entry below `folder`
// (ending with '/') of `fs` goes to `list`, as `options` says.
struct ScanSide {
    FileSystem& fs;
    FileList& list;
    std::string folder;
    const ScanOptions& options;
};

// Lists one or more folder trees (a comparison's two sides) with one set of
// threads. Folders wait in one queue for whichever thread is free, so a
// large side gets every thread once a small one is done (a first backup to
// an empty stick is listed by all of them), and listing scales with cores
// rather than with sides.
//
// Each side's list still comes out exactly as ScanFolder fills it: entries
// in key order, a folder's files, then each sub-folder followed by everything
// below it. Folders are listed in that order as far as the threads allow;
// a listed folder is added to its list as soon as every folder before it
// has been, by whichever thread finished the last of them, so at most a few
// listed folders per thread wait in memory.
class TreeScan {
  public:
    TreeScan();
    ~TreeScan();
    TreeScan(const TreeScan&) = delete;
    TreeScan& operator=(const TreeScan&) = delete;

    // Adds a tree: every entry below `folder` (ending with '/') of `fs` goes
    // to `list`, as ScanOptions says. With `concurrent` the file system may
    // list several folders at once (a local disk); otherwise the tree's
    // folders are listed one at a time (one connection to a server).
    // `options` must stay valid until Run returns.
    void Add(FileSystem& fs, FileList& list, const std::string& folder, const ScanOptions& options,
             bool concurrent);

    // Adds the two sides of a comparison, listed folder pair by folder pair:
    // a folder of one side and the folder of the same key on the other are
    // listed together by one thread, which then hands both to `reader`
    // (when given), so that the data of their pairs is read while the
    // kernel still holds their names close at hand. Both file systems must
    // list several folders at once, and both sides' options must agree on
    // sub-folders. Counts as two trees in the order of Add.
    void AddPair(const ScanSide& first, const ScanSide& second, const FolderPairReader* reader);

    // Called on a listing thread when a tree has been listed completely,
    // with the tree's index in the order of Add.
    void OnTreeDone(std::function<void(size_t)> callback) { onTreeDone_ = std::move(callback); }

    // Lists every tree with `threads` threads in all, the calling thread
    // being one of them. Returns when all are listed, when a cancel word was
    // set, or when a tree failed (ListStatus::Failed: the others then stop
    // too); one result per tree, in the order of Add.
    std::vector<ScanResult> Run(size_t threads);

    // The same in two halves, so that the calling thread can take the lists
    // as they grow (Await): Start lists on `threads` threads of its own and
    // returns at once; Finish waits for them and gives Run's results.
    void Start(size_t threads);
    std::vector<ScanResult> Finish();
    // For the one thread that reads the list of tree `tree` (in the order of
    // Add) while it is being filled: waits until the list holds more than
    // `entry` entries, or until nothing more will come (the tree is listed
    // completely, or the scan stopped). Returns how many entries may be read
    // now; they are complete, and the listing does not touch them again.
    // The folders the tree's listing could not list that were not told yet
    // are appended to `unlistable` (key text, as ScanOptions::unlistable).
    size_t Await(size_t tree, size_t entry, std::vector<std::string>& unlistable);

  private:
    struct Node;
    struct Side;
    struct Tree;
    void AddTree(std::vector<ScanSide> sides, bool concurrent, const FolderPairReader* reader);
    void Work();
    // The next folder to list: the first in tree order of a tree that may
    // list one more now, trees listed one folder at a time first, the others
    // taken in turn; `taken` is set to its tree.
    // Null when there is none. Under lock_.
    Node* Take(Tree*& taken);
    Node* TakeFrom(bool oneAtATime, Tree*& taken);
    void Listed(Tree& tree, Node& node, bool ok, std::unique_lock<std::mutex>& lock);
    // Tells a reader of the side's list (Await) how far it may read.
    void Publish(Side& side);
    // Adds listed folders to the side's list in order until one is not
    // listed yet. Called by one thread at a time per side, without the lock.
    void Assemble(Side& side);
    // The side has added every child of the group in `frame`: the group is
    // freed once every side that has members in it is past it.
    void Leave(Side& side);
    bool AllEnded() const;

    std::vector<std::unique_ptr<Tree>> trees_;
    std::vector<Side*> sides_;  // in the order of Add
    std::function<void(size_t)> onTreeDone_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable grown_;  // a list a reader waits for has grown
    std::vector<std::thread> threads_;
    bool finished_ = false;  // every listing thread has ended
    size_t nextTree_ = 0;
    bool stop_ = false;
};

}  // namespace ravelmoor
