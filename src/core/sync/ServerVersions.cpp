#include "core/sync/ServerVersions.h"

#include <ctime>
#include <utility>
#include <vector>

#include "core/engine/ListingGuard.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr int64_t kSecondsPerDay = 86400;
// More runs in one second than this is no run of a person's.
constexpr int kMaxRunsPerSecond = 100;

std::string Quoted(std::string_view path) {
    return "\"" + std::string(path) + "\"";
}

// The children of one folder, named and marked as folders.
class Children : public ListSink {
  public:
    struct Child {
        std::string name;
        bool folder = false;
    };
    bool OnEntry(const DirEntryFacts& facts) override {
        all.push_back({std::string(facts.name), (facts.attributes & kFolderAttribute) != 0});
        return true;
    }
    std::vector<Child> all;
};

// Reads `count` decimal digits at `at`; false when one is not a digit.
bool Digits(std::string_view text, size_t at, size_t count, int& value) {
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::string VersionStamp(int64_t utcSeconds) {
    const auto when = static_cast<time_t>(utcSeconds);
    struct tm utc {};
    ::gmtime_r(&when, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d-%H%M%S", &utc);
    return text;
}

bool StampTime(std::string_view name, int64_t& utcSeconds) {
    // YYYY-MM-DD-HHMMSS, then perhaps -N.
    constexpr size_t kLength = 17;
    if (name.size() < kLength || name[4] != '-' || name[7] != '-' || name[10] != '-') return false;
    if (name.size() > kLength) {
        if (name[kLength] != '-' || name.size() == kLength + 1) return false;
        for (const char c : name.substr(kLength + 1)) {
            if (c < '0' || c > '9') return false;
        }
    }
    struct tm utc {};
    int field[6] = {};
    if (!Digits(name, 0, 4, field[0]) || !Digits(name, 5, 2, field[1]) ||
        !Digits(name, 8, 2, field[2]) || !Digits(name, 11, 2, field[3]) ||
        !Digits(name, 13, 2, field[4]) || !Digits(name, 15, 2, field[5])) {
        return false;
    }
    if (field[1] < 1 || field[1] > 12 || field[2] < 1 || field[2] > 31 || field[3] > 23 ||
        field[4] > 59 || field[5] > 60) {
        return false;
    }
    utc.tm_year = field[0] - 1900;
    utc.tm_mon = field[1] - 1;
    utc.tm_mday = field[2];
    utc.tm_hour = field[3];
    utc.tm_min = field[4];
    utc.tm_sec = field[5];
    utcSeconds = ::timegm(&utc);
    return true;
}

ServerVersions::ServerVersions(FileSystem& inner, std::string root, int64_t runStart, int days,
                               bool keep)
    : ConfinedFileSystem(inner, root),
      inner_(inner),
      root_(std::move(root)),
      runStart_(runStart),
      days_(days),
      keep_(keep) {}

WriteOutcome ServerVersions::MakeRunFolder(const std::string& root) {
    if (!stamp_.empty()) return {};
    const std::string base = VersionStamp(runStart_);
    for (int run = 1; run <= kMaxRunsPerSecond; ++run) {
        std::string name = run == 1 ? base : base + "-" + std::to_string(run);
        WriteOutcome made = inner_.MakeFolder(root, std::string(kVersionsFolder) + "/" + name);
        if (made.status == WriteStatus::Done) {
            stamp_ = std::move(name);
            return {};
        }
        // Taken by an earlier run: its versions are not mixed with these.
        if (made.status != WriteStatus::Exists) return made;
    }
    return WriteOutcome(WriteStatus::Failed,
                        FillIn(QCoreApplication::translate("ServerVersions",
                                                           "every name for the folder %1 is taken"),
                               {Quoted(root + std::string(kVersionsFolder) + "/" + base)}));
}

WriteOutcome ServerVersions::MoveToTrash(const std::string& root, std::string_view relative) {
    if (!keep_) return inner_.MoveToTrash(root, relative);
    if (relative == kVersionsFolder || relative.starts_with(std::string(kVersionsFolder) + "/")) {
        return WriteOutcome(WriteStatus::Refused,
                            FillIn(QCoreApplication::translate(
                                "ServerVersions", "it lies in the folder of kept versions")));
    }
    if (WriteOutcome made = MakeRunFolder(root); made.status != WriteStatus::Done) return made;
    const std::string kept =
        std::string(kVersionsFolder) + "/" + stamp_ + "/" + std::string(relative);
    WriteOutcome moved = inner_.Rename(root, relative, kept);
    if (moved.status == WriteStatus::Exists) {
        return WriteOutcome(WriteStatus::Failed,
                            FillIn(QCoreApplication::translate(
                                       "ServerVersions", "a version of it is kept at %1 already"),
                                   {Quoted(root + kept)}));
    }
    if (moved.status == WriteStatus::Done) moved.trashedTo = root + kept;
    return moved;
}

WriteOutcome ServerVersions::RemoveTree(const std::string& relative, size_t depth) {
    if (depth > ListingGuard::kMaxDepth) {
        return WriteOutcome(
            WriteStatus::Failed,
            FillIn(QCoreApplication::translate("ListingGuard", "it lies more than %1 levels deep"),
                   {std::to_string(ListingGuard::kMaxDepth)}));
    }
    const std::string folder = root_ + relative + "/";
    Children children;
    if (ListOutcome listed = inner_.ListFolder(folder, children); !listed.Ok())
        return WriteOutcome(WriteStatus::Failed, std::move(listed.reason));
    for (const Children::Child& child : children.all) {
        const std::string path = relative + "/" + child.name;
        WriteOutcome removed =
            child.folder ? RemoveTree(path, depth + 1) : inner_.DeletePermanently(root_, path);
        if (removed.status != WriteStatus::Done) return removed;
    }
    return inner_.RemoveFolder(root_, relative);
}

void ServerVersions::RemoveOld(int64_t now, const std::function<void(const std::string&)>& say) {
    const std::string versions(kVersionsFolder);
    // Not there: nothing was kept yet. Looked at first: an FTP connection
    // learns from its first listing how the server lists, which a folder
    // that is not there would tell it wrongly.
    EntryFacts facts;
    if (!inner_.ReadFacts(root_ + versions, facts) || !facts.IsFolder()) return;
    Children runs;
    if (const ListOutcome listed = inner_.ListFolder(root_ + versions + "/", runs); !listed.Ok()) {
        if (say) {
            say(FillIn(QCoreApplication::translate("ServerVersions",
                                                   "Can not remove the old versions in %1: %2"),
                       {Quoted(root_ + versions), listed.reason}));
        }
        return;
    }
    const int64_t limit = now - int64_t{days_} * kSecondsPerDay;
    for (const Children::Child& run : runs.all) {
        int64_t started = 0;
        if (!run.folder || run.name == stamp_ || !StampTime(run.name, started) ||
            started >= limit) {
            continue;
        }
        const std::string relative = versions + "/" + run.name;
        const WriteOutcome removed = RemoveTree(relative, 0);
        if (!say) continue;
        if (removed.status == WriteStatus::Done) {
            say(FillIn(QCoreApplication::translate(
                           "ServerVersions",
                           "Removed the versions kept on the server in %1: older than %2 days."),
                       {Quoted(root_ + relative), std::to_string(days_)}));
        } else {
            say(FillIn(QCoreApplication::translate("ServerVersions",
                                                   "Can not remove the old versions in %1: %2"),
                       {Quoted(root_ + relative), removed.reason.empty()
                                                      ? std::string("it still holds something")
                                                      : removed.reason}));
        }
    }
}

}  // namespace ravelmoor
