#include "core/engine/TreeScan.h"

#include <atomic>
#include <set>
#include <system_error>
#include <thread>

#include "core/engine/FileList.h"
#include "core/engine/FolderListing.h"
#include "core/engine/MatchKey.h"

namespace ravelmoor {

// One folder group to list (a folder, or several whose names fold equal).
struct TreeScan::Node {
    std::vector<ScanMember> members;
    // Where the group comes in the tree's order: the sub-group indices on
    // the way from the root, so comparing ranks compares positions.
    std::vector<uint32_t> rank;
    FolderListing listing;
    // One per sub-group, made by the thread that listed this group; each
    // is freed once it and everything below it are in the list.
    std::vector<std::unique_ptr<Node>> subNodes;
    bool listed = false;
};

namespace {

struct RankOrder {
    template <typename N>
    bool operator()(const N* a, const N* b) const {
        return a->rank < b->rank;
    }
};

}  // namespace

struct TreeScan::Tree {
    // The group being added to the list and the sub-group to add next.
    struct Frame {
        Node* node;
        std::vector<const char*> folders;  // the list's handle of each member
        size_t nextSub = 0;
        bool entered = false;
    };

    bool Cancelled() const {
        return options->cancel != nullptr && options->cancel->load(std::memory_order_relaxed) != 0;
    }

    size_t index;  // in the order of Add
    FileSystem* fs;
    FileList* list;
    const ScanOptions* options;
    size_t rootLength;
    bool concurrent;

    // Under TreeScan::lock_.
    std::set<Node*, RankOrder> ready;  // waiting for a thread
    size_t listing = 0;                // being listed now
    Node* awaited = nullptr;           // the group the list waits for
    bool assembling = false;           // a thread is adding to the list
    bool ended = false;                // listed completely
    bool failed = false;

    // The adding thread's own (one at a time, handed over under the lock).
    std::unique_ptr<Node> root;
    std::vector<Frame> frames;
    int64_t added = 0;
    int64_t unreported = 0;
    size_t last = 0;
    std::string shown;
};

TreeScan::TreeScan() = default;
TreeScan::~TreeScan() = default;

void TreeScan::Add(FileSystem& fs, FileList& list, const std::string& folder,
                   const ScanOptions& options, bool concurrent) {
    auto tree = std::make_unique<Tree>();
    tree->index = trees_.size();
    tree->fs = &fs;
    tree->list = &list;
    tree->options = &options;
    tree->rootLength = folder.size();
    tree->concurrent = concurrent;
    tree->root = std::make_unique<Node>();
    // The root is a real path: any byte in it, 0xFF included, is part of a name.
    tree->root->members.push_back({std::string(), folder});
    tree->ready.insert(tree->root.get());
    tree->awaited = tree->root.get();
    tree->frames.push_back({tree->root.get(), {list.AddFolder({})}});
    trees_.push_back(std::move(tree));
}

std::vector<ScanResult> TreeScan::Run(size_t threads) {
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            break;  // fewer threads list more slowly, not wrongly
        }
    }
    Work();
    for (auto& helper : helpers)
        helper.join();
    std::vector<ScanResult> results;
    for (const auto& tree : trees_)
        results.push_back({tree->added, !tree->failed});
    return results;
}

bool TreeScan::AllEnded() const {
    for (const auto& tree : trees_) {
        if (!tree->ended && !tree->Cancelled()) return false;
    }
    return true;
}

void TreeScan::Work() {
    std::unique_lock<std::mutex> lock(lock_);
    while (!stop_ && !AllEnded()) {
        Tree* taken = nullptr;
        Node* node = Take(taken);
        if (node == nullptr) {
            wake_.wait(lock);
            continue;
        }
        Tree& tree = *taken;
        lock.unlock();
        const bool ok = node->listing.List(*tree.fs, node->members, *tree.options);
        if (ok && tree.options->includeSubFolders) {
            const auto& subGroups = node->listing.SubGroups();
            for (uint32_t s = 0; s < subGroups.size(); ++s) {
                auto sub = std::make_unique<Node>();
                sub->members = node->listing.MembersOf(subGroups[s], node->members);
                sub->rank = node->rank;
                sub->rank.push_back(s);
                node->subNodes.push_back(std::move(sub));
            }
        }
        lock.lock();
        Finish(tree, *node, ok, lock);
    }
    wake_.notify_all();
}

TreeScan::Node* TreeScan::Take(Tree*& taken) {
    // A tree listed one folder at a time (a server) comes first whenever it
    // can list: it waits on the network, and only one thread can serve it.
    for (int pass = 0; pass < 2; ++pass) {
        if (Node* node = TakeFrom(pass == 0, taken)) return node;
    }
    return nullptr;
}

TreeScan::Node* TreeScan::TakeFrom(bool oneAtATime, Tree*& taken) {
    for (size_t turn = 0; turn < trees_.size(); ++turn) {
        const size_t t = (nextTree_ + turn) % trees_.size();
        Tree& tree = *trees_[t];
        if (tree.concurrent == oneAtATime) continue;
        if (tree.ready.empty() || tree.ended || tree.Cancelled()) continue;
        if (!tree.concurrent && tree.listing > 0) continue;
        Node* node = *tree.ready.begin();
        tree.ready.erase(tree.ready.begin());
        ++tree.listing;
        nextTree_ = (t + 1) % trees_.size();
        taken = &tree;
        return node;
    }
    return nullptr;
}

void TreeScan::Finish(Tree& tree, Node& node, bool ok, std::unique_lock<std::mutex>& lock) {
    --tree.listing;
    wake_.notify_all();  // more folders to list, or a one-at-a-time tree free again
    if (!ok) {
        tree.failed = true;
        stop_ = true;
        return;
    }
    for (const auto& sub : node.subNodes)
        tree.ready.insert(sub.get());
    node.listed = true;
    if (&node != tree.awaited || tree.assembling) return;
    tree.assembling = true;
    lock.unlock();
    Assemble(tree);
    lock.lock();
}

void TreeScan::Assemble(Tree& tree) {
    const ScanOptions& options = *tree.options;
    FileList& list = *tree.list;
    auto add = [&tree, &list](const char* folder, std::string_view name,
                              const FolderListing::Child& child) {
        tree.last = list.AddListed(folder, name, child.attributes, child.size, child.lastWrite);
        ++tree.added;
        ++tree.unreported;
    };
    // The counter and the current name are shared with the display: told
    // once per folder rather than once per entry.
    auto flush = [&tree, &list, &options] {
        if (tree.unreported == 0) return;
        if (options.counter != nullptr)
            options.counter->fetch_add(tree.unreported, std::memory_order_relaxed);
        tree.unreported = 0;
        // The current name is read back without markers, so a name's own
        // 0xFF bytes go in escaped.
        tree.shown.clear();
        AppendScanName(tree.shown, list.ElementAt(tree.last).path.str());
        list.SetCurrentName(tree.shown);
    };

    while (!tree.frames.empty() && !tree.Cancelled()) {
        Tree::Frame& frame = tree.frames.back();
        const FolderListing& listing = frame.node->listing;
        const auto& children = listing.Children();
        if (!frame.entered) {
            frame.entered = true;
            if (options.unlistable != nullptr) {
                for (const auto& folder : listing.Unlistable())
                    options.unlistable->push_back(folder);
            }
            if (options.leftovers != nullptr) {
                for (const auto& file : listing.Leftovers())
                    options.leftovers->push_back(file);
            }
            for (size_t k = 0; k < listing.FirstFolder(); ++k)
                add(frame.folders[children[k].member], listing.Name(children[k]), children[k]);
            flush();
        }
        const auto& subGroups = listing.SubGroups();
        if (!options.includeSubFolders) {
            // Folders recorded as entries, not listed.
            for (size_t k = listing.FirstFolder(); k < children.size(); ++k)
                add(frame.folders[children[k].member], listing.Name(children[k]), children[k]);
            flush();
            frame.nextSub = subGroups.size();
        }
        if (frame.nextSub == subGroups.size()) {
            tree.frames.pop_back();
            if (!tree.frames.empty()) {
                Tree::Frame& parent = tree.frames.back();
                parent.node->subNodes[parent.nextSub - 1].reset();
            }
            continue;
        }
        Node* sub = frame.node->subNodes[frame.nextSub].get();
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (!sub->listed) {
                tree.awaited = sub;
                tree.assembling = false;
                return;
            }
        }
        const FolderListing::SubGroup group = subGroups[frame.nextSub];
        std::vector<const char*> folders;
        for (uint32_t f = group.begin; f < group.end; ++f) {
            if (options.recordFolders)
                add(frame.folders[children[f].member], listing.Name(children[f]), children[f]);
            const std::string& listPath = sub->members[f - group.begin].listPath;
            folders.push_back(list.AddFolder(std::string_view(listPath).substr(tree.rootLength)));
        }
        flush();
        ++frame.nextSub;
        tree.frames.push_back({sub, std::move(folders)});
    }

    const bool completed = tree.frames.empty();
    {
        std::lock_guard<std::mutex> guard(lock_);
        tree.assembling = false;
        tree.ended = completed;
    }
    wake_.notify_all();
    if (completed && onTreeDone_) onTreeDone_(tree.index);
}

}  // namespace ravelmoor
