#include "core/engine/TreeScan.h"

#include <atomic>
#include <set>
#include <system_error>
#include <thread>

#include "core/engine/FileList.h"
#include "core/engine/FolderListing.h"
#include "core/engine/FolderPairReader.h"
#include "core/engine/MatchKey.h"

namespace ravelmoor {

// One folder group to list (a folder, or several whose names fold equal;
// for a pair of sides, those of both sides).
struct TreeScan::Node {
    std::vector<ScanMember> members;
    // Where the group comes in the tree's order: the sub-group indices on
    // the way from the root, so comparing ranks compares positions.
    std::vector<uint32_t> rank;
    FolderListing listing;
    // One per sub-group, made by the thread that listed this group; each
    // is freed once every side is past it.
    std::vector<std::unique_ptr<Node>> subNodes;
    bool listed = false;
    // A bit per side that has members here and has not added its children
    // yet. Under TreeScan::lock_.
    uint8_t sidesLeft = 0;
};

namespace {

struct RankOrder {
    template <typename N>
    bool operator()(const N* a, const N* b) const {
        return a->rank < b->rank;
    }
};

uint8_t SidesOf(const std::vector<ScanMember>& members) {
    uint8_t sides = 0;
    for (const ScanMember& member : members)
        sides = static_cast<uint8_t>(sides | (1U << member.side));
    return sides;
}

}  // namespace

// One list being filled, and the state of the thread adding to it.
struct TreeScan::Side {
    // The group being added to the list and the sub-group to add next.
    struct Frame {
        Node* node;
        Node* parent;                      // null for the root
        size_t subIndex;                   // this group's place among the parent's
        std::vector<const char*> folders;  // the list's handle of each member of this side
        size_t nextSub = 0;
        bool entered = false;
    };

    bool Cancelled() const {
        return options->cancel != nullptr && options->cancel->load(std::memory_order_relaxed) != 0;
    }

    size_t index;   // in the order of Add
    uint8_t which;  // in its tree
    Tree* tree;
    FileList* list;
    const ScanOptions* options;
    size_t rootLength;

    // Under TreeScan::lock_.
    Node* awaited = nullptr;    // the group the list waits for
    bool assembling = false;    // a thread is adding to the list
    bool ended = false;         // listed completely
    size_t published = 0;       // entries a reader of the list may read
    size_t wanted = SIZE_MAX;   // the entry a reader waits for
    size_t unlistableTold = 0;  // of options->unlistable, handed to the reader

    // The adding thread's own (one at a time, handed over under the lock).
    std::vector<Frame> frames;
    int64_t added = 0;
    int64_t unreported = 0;
    size_t last = 0;
    std::string shown;
};

struct TreeScan::Tree {
    bool Cancelled() const {
        for (const auto& side : sides) {
            if (side->Cancelled()) return true;
        }
        return false;
    }
    bool Ended() const {
        for (const auto& side : sides) {
            if (!side->ended) return false;
        }
        return true;
    }

    std::vector<std::unique_ptr<Side>> sides;
    ScanSource sources[2];
    bool concurrent = false;
    bool subFolders = false;
    const FolderPairReader* reader = nullptr;

    // Under TreeScan::lock_.
    std::set<Node*, RankOrder> ready;  // waiting for a thread
    size_t listing = 0;                // being listed now
    bool failed = false;
    uint8_t failedSide = 0;

    std::unique_ptr<Node> root;
};

TreeScan::TreeScan() = default;
TreeScan::~TreeScan() = default;

void TreeScan::Add(FileSystem& fs, FileList& list, const std::string& folder,
                   const ScanOptions& options, bool concurrent) {
    AddTree({ScanSide{fs, list, folder, options}}, concurrent, nullptr);
}

void TreeScan::AddPair(const ScanSide& first, const ScanSide& second,
                       const FolderPairReader* reader) {
    AddTree({first, second}, true, reader);
}

void TreeScan::AddTree(std::vector<ScanSide> sides, bool concurrent,
                       const FolderPairReader* reader) {
    auto tree = std::make_unique<Tree>();
    tree->concurrent = concurrent;
    tree->subFolders = sides.front().options.includeSubFolders;
    tree->reader = reader;
    tree->root = std::make_unique<Node>();
    for (size_t s = 0; s < sides.size(); ++s) {
        const ScanSide& given = sides[s];
        auto side = std::make_unique<Side>();
        side->index = sides_.size();
        side->which = static_cast<uint8_t>(s);
        side->tree = tree.get();
        side->list = &given.list;
        side->options = &given.options;
        side->rootLength = given.folder.size();
        side->awaited = tree->root.get();
        tree->sources[s] = {&given.fs, &given.options};
        // The root is a real path: any byte in it, 0xFF included, is part of a name.
        tree->root->members.push_back({std::string(), given.folder, side->which});
        std::vector<const char*> folders(sides.size(), nullptr);
        folders[s] = given.list.AddFolder({});
        side->frames.push_back({tree->root.get(), nullptr, 0, std::move(folders)});
        sides_.push_back(side.get());
        tree->sides.push_back(std::move(side));
    }
    tree->root->sidesLeft = SidesOf(tree->root->members);
    tree->ready.insert(tree->root.get());
    trees_.push_back(std::move(tree));
}

std::vector<ScanResult> TreeScan::Run(size_t threads) {
    Start(threads > 0 ? threads - 1 : 0);
    Work();
    return Finish();
}

void TreeScan::Start(size_t threads) {
    for (size_t t = 0; t < threads; ++t) {
        try {
            threads_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            if (t == 0) Work();  // at least one thread lists, if only this one
            break;               // fewer threads list more slowly, not wrongly
        }
    }
}

std::vector<ScanResult> TreeScan::Finish() {
    for (auto& thread : threads_)
        thread.join();
    threads_.clear();
    {
        const std::lock_guard<std::mutex> guard(lock_);
        finished_ = true;
    }
    grown_.notify_all();
    std::vector<ScanResult> results;
    for (const Side* side : sides_) {
        const Tree& tree = *side->tree;
        results.push_back({side->added, !(tree.failed && tree.failedSide == side->which)});
    }
    return results;
}

size_t TreeScan::Await(size_t tree, size_t entry, std::vector<std::string>& unlistable) {
    Side& side = *sides_[tree];
    std::unique_lock<std::mutex> lock(lock_);
    grown_.wait(lock, [this, &side, entry] {
        if (entry < side.published || side.ended || stop_ || finished_ || side.Cancelled())
            return true;
        side.wanted = entry;
        return false;
    });
    side.wanted = SIZE_MAX;
    if (side.options->unlistable != nullptr) {
        const std::vector<std::string>& found = *side.options->unlistable;
        for (; side.unlistableTold < found.size(); ++side.unlistableTold)
            unlistable.push_back(found[side.unlistableTold]);
    }
    return side.published;
}

void TreeScan::Publish(Side& side) {
    bool wake = false;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        side.published = side.list->GetSize();
        wake = side.wanted < side.published || side.ended;
    }
    if (wake) grown_.notify_all();
}

bool TreeScan::AllEnded() const {
    for (const auto& tree : trees_) {
        if (!tree->Ended() && !tree->Cancelled()) return false;
    }
    return true;
}

void TreeScan::Work() {
    // Made when this thread first reads a pair, and kept for the rest.
    std::unique_ptr<FolderPairReader::Worker> reader;
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
        const bool ok = node->listing.List(node->members, tree.sources);
        if (ok && tree.reader != nullptr && SidesOf(node->members) == 3) {
            if (!reader) reader = tree.reader->NewWorker();
            reader->Read(node->listing, node->members);
        }
        if (ok && tree.subFolders) {
            const auto& subGroups = node->listing.SubGroups();
            for (uint32_t s = 0; s < subGroups.size(); ++s) {
                auto sub = std::make_unique<Node>();
                sub->members = node->listing.MembersOf(subGroups[s], node->members);
                sub->sidesLeft = SidesOf(sub->members);
                sub->rank = node->rank;
                sub->rank.push_back(s);
                node->subNodes.push_back(std::move(sub));
            }
        }
        lock.lock();
        Listed(tree, *node, ok, lock);
    }
    lock.unlock();
    wake_.notify_all();
    grown_.notify_all();  // a reader waits in vain once the scan has stopped
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
        if (tree.ready.empty() || tree.Ended() || tree.Cancelled()) continue;
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

void TreeScan::Listed(Tree& tree, Node& node, bool ok, std::unique_lock<std::mutex>& lock) {
    --tree.listing;
    wake_.notify_all();  // more folders to list, or a one-at-a-time tree free again
    if (!ok) {
        tree.failed = true;
        tree.failedSide = node.listing.FailedSide();
        stop_ = true;
        return;
    }
    for (const auto& sub : node.subNodes)
        tree.ready.insert(sub.get());
    node.listed = true;
    // The sides to add to are chosen before the lock is let go: once one
    // side is past the group, it may be freed.
    std::vector<Side*> waiting;
    for (const auto& side : tree.sides) {
        if (side->awaited == &node && !side->assembling) {
            side->assembling = true;
            waiting.push_back(side.get());
        }
    }
    if (waiting.empty()) return;
    lock.unlock();
    for (Side* side : waiting)
        Assemble(*side);
    lock.lock();
}

void TreeScan::Leave(Side& side) {
    const Side::Frame frame = std::move(side.frames.back());
    side.frames.pop_back();
    if (frame.parent == nullptr) return;  // the root lives as long as the scan
    const std::lock_guard<std::mutex> guard(lock_);
    frame.node->sidesLeft = static_cast<uint8_t>(frame.node->sidesLeft & ~(1U << side.which));
    if (frame.node->sidesLeft == 0) frame.parent->subNodes[frame.subIndex].reset();
}

void TreeScan::Assemble(Side& side) {
    const ScanOptions& options = *side.options;
    FileList& list = *side.list;
    auto add = [&side, &list](const char* folder, std::string_view name,
                              const FolderListing::Child& child) {
        uint32_t attributes = child.attributes;
        if (child.read != ListedRead::None)
            attributes |=
                child.read == ListedRead::Summed ? kListedSummedAttribute : kListedDiffersAttribute;
        side.last = list.AddListed(folder, name, attributes, child.size, child.lastWrite);
        if (child.read != ListedRead::None) {
            FileEntry& entry = list.ElementAt(side.last);
            entry.checksum = child.checksum;
            entry.checksumBytes = child.checksumBytes;
        }
        ++side.added;
        ++side.unreported;
    };
    // The counter and the current name are shared with the display: told
    // once per folder rather than once per entry.
    auto flush = [this, &side, &list, &options] {
        if (side.unreported == 0) return;
        if (options.counter != nullptr)
            options.counter->fetch_add(side.unreported, std::memory_order_relaxed);
        side.unreported = 0;
        // The current name is read back without markers, so a name's own
        // 0xFF bytes go in escaped.
        side.shown.clear();
        AppendScanName(side.shown, list.ElementAt(side.last).path.str());
        list.SetCurrentName(side.shown);
        Publish(side);
    };

    while (!side.frames.empty() && !side.Cancelled()) {
        Side::Frame& frame = side.frames.back();
        const FolderListing& listing = frame.node->listing;
        const std::vector<ScanMember>& members = frame.node->members;
        const auto& children = listing.Children();
        auto mine = [&members, &side](const FolderListing::Child& child) {
            return members[child.member].side == side.which;
        };
        if (!frame.entered) {
            frame.entered = true;
            if (options.unlistable != nullptr && !listing.Unlistable().empty()) {
                // Read by Await under the lock.
                const std::lock_guard<std::mutex> guard(lock_);
                for (const auto& folder : listing.Unlistable()) {
                    if (folder.side == side.which) options.unlistable->push_back(folder.path);
                }
            }
            if (options.leftovers != nullptr) {
                for (const auto& file : listing.Leftovers()) {
                    if (file.side == side.which) options.leftovers->push_back(file.path);
                }
            }
            for (size_t k = 0; k < listing.FirstFolder(); ++k) {
                if (mine(children[k]))
                    add(frame.folders[children[k].member], listing.Name(children[k]), children[k]);
            }
            flush();
        }
        const auto& subGroups = listing.SubGroups();
        if (!options.includeSubFolders) {
            // Folders recorded as entries, not listed.
            for (size_t k = listing.FirstFolder(); k < children.size(); ++k) {
                if (mine(children[k]))
                    add(frame.folders[children[k].member], listing.Name(children[k]), children[k]);
            }
            flush();
            frame.nextSub = subGroups.size();
        }
        // Sub-groups of the other side alone are not this list's.
        while (frame.nextSub < subGroups.size()) {
            const FolderListing::SubGroup group = subGroups[frame.nextSub];
            bool any = false;
            for (uint32_t f = group.begin; f < group.end && !any; ++f)
                any = mine(children[f]);
            if (any) break;
            ++frame.nextSub;
        }
        if (frame.nextSub == subGroups.size()) {
            Leave(side);
            continue;
        }
        Node* sub = frame.node->subNodes[frame.nextSub].get();
        {
            const std::lock_guard<std::mutex> guard(lock_);
            if (!sub->listed) {
                side.awaited = sub;
                side.assembling = false;
                return;
            }
        }
        const FolderListing::SubGroup group = subGroups[frame.nextSub];
        std::vector<const char*> folders(sub->members.size(), nullptr);
        for (uint32_t f = group.begin; f < group.end; ++f) {
            if (!mine(children[f])) continue;
            if (options.recordFolders)
                add(frame.folders[children[f].member], listing.Name(children[f]), children[f]);
            const std::string& listPath = sub->members[f - group.begin].listPath;
            folders[f - group.begin] =
                list.AddFolder(std::string_view(listPath).substr(side.rootLength));
        }
        flush();
        Node* parent = frame.node;
        const size_t subIndex = frame.nextSub++;
        side.frames.push_back({sub, parent, subIndex, std::move(folders)});
    }

    const bool completed = side.frames.empty();
    {
        const std::lock_guard<std::mutex> guard(lock_);
        side.assembling = false;
        side.ended = completed;
        side.published = list.GetSize();
    }
    wake_.notify_all();
    grown_.notify_all();
    if (completed && onTreeDone_) onTreeDone_(side.index);
}

}  // namespace ravelmoor
