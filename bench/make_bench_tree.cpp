// Writes a deterministic Source/Target pair of folder trees for benchmarks.
//
//   make_bench_tree OUT FILES [--mean-size BYTES] [--seed N]
//
// OUT/src holds FILES files over nested folders with realistic name lengths
// and a few long paths; OUT/tgt is a copy in which about 1% each of the files
// have a same-size content change with equal times, are older, are missing,
// have a different case in their name, and about 1% more files exist only
// there. The same arguments always give the same trees.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t Below(uint64_t n) { return Next() % n; }
    double Unit() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }

  private:
    uint64_t state_;
};

const char* const kWords[] = {
    "project",  "report",  "invoice", "photos",   "backup",  "archive", "notes",   "draft",
    "final",    "meeting", "budget",  "summary",  "design",  "src",     "include", "assets",
    "images",   "video",   "music",   "document", "letters", "travel",  "family",  "work",
    "personal", "data",    "export",  "import",   "config",  "scripts", "build",   "release",
    "alpha",    "beta",    "gamma",   "delta",    "quarter", "annual",  "client",  "vendor"};
const char* const kExtensions[] = {".txt", ".pdf", ".jpg", ".png",  ".docx", ".xlsx", ".cpp",
                                   ".h",   ".md",  ".csv", ".json", ".mp3",  ".zip",  ".html"};

std::string Word(Random& random) {
    return kWords[random.Below(std::size(kWords))];
}

std::string FolderName(Random& random) {
    std::string name = Word(random);
    switch (random.Below(4)) {
        case 0:
            name += "_" + std::to_string(2015 + random.Below(10));
            break;
        case 1:
            name += "-" + Word(random);
            break;
        case 2:
            name[0] = static_cast<char>(std::toupper(name[0]));
            break;
        default:
            break;
    }
    return name;
}

std::string FileName(Random& random, uint64_t serial, bool longName) {
    std::string name = Word(random);
    if (random.Below(2) == 0) name += " " + Word(random);
    if (longName) {
        while (name.size() < 160)
            name += "_" + Word(random);
    }
    name += "_" + std::to_string(serial);
    name += kExtensions[random.Below(std::size(kExtensions))];
    return name;
}

// Mostly small files, a few large ones, averaging about `mean` bytes.
uint64_t FileSize(Random& random, uint64_t mean) {
    const double u = random.Unit();
    if (u < 0.05) return 0;
    if (u < 0.95) return static_cast<uint64_t>(random.Unit() * static_cast<double>(mean) * 1.2);
    return static_cast<uint64_t>(random.Unit() * static_cast<double>(mean) * 8.0);
}

struct Folder {
    std::string path;  // relative, no trailing '/'
    int depth;
};

struct File {
    size_t folder;
    std::string name;
    uint64_t size;
    int64_t mtime;
    uint64_t contentSeed;
};

// A shared pool of pseudo-random bytes that file contents are cut from.
std::vector<char> MakePool(size_t size) {
    std::vector<char> pool(size);
    Random random(12345);
    for (size_t i = 0; i < size; i += 8) {
        const uint64_t v = random.Next();
        std::memcpy(pool.data() + i, &v, std::min<size_t>(8, size - i));
    }
    return pool;
}

void Fail(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

void MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) Fail("mkdir " + path);
}

void WriteFile(const std::string& path, const std::vector<char>& pool, uint64_t size, uint64_t seed,
               int64_t mtime, bool flipByte) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("open " + path);
    uint64_t written = 0;
    uint64_t offset = seed % (pool.size() / 2);
    std::vector<char> piece;
    while (written < size) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(size - written, pool.size() / 2));
        piece.assign(pool.begin() + static_cast<long>(offset),
                     pool.begin() + static_cast<long>(offset + n));
        if (flipByte && written == 0) piece[n / 2] = static_cast<char>(piece[n / 2] ^ 0x5A);
        if (::write(fd, piece.data(), n) != static_cast<ssize_t>(n)) Fail("write " + path);
        written += n;
        offset = (offset + 7919) % (pool.size() / 2);
    }
    timespec times[2] = {{mtime, 0}, {mtime, 0}};
    if (::futimens(fd, times) != 0) Fail("futimens " + path);
    ::close(fd);
}

std::string CaseVariant(const std::string& name) {
    std::string variant = name;
    for (char& c : variant) {
        if (std::islower(static_cast<unsigned char>(c))) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return variant;
        }
    }
    return variant;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_bench_tree OUT FILES [--mean-size BYTES] [--seed N]\n");
        return 2;
    }
    const std::string out = argv[1];
    const uint64_t fileCount = std::strtoull(argv[2], nullptr, 10);
    uint64_t meanSize = 1024;
    uint64_t seed = 1;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--mean-size") == 0)
            meanSize = std::strtoull(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--seed") == 0) seed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    Random random(seed);

    // Folders: about one per 25 files, up to 8 levels deep, shallow ones favoured.
    std::vector<Folder> folders{{"", 0}};
    const uint64_t folderCount = std::max<uint64_t>(1, fileCount / 25);
    while (folders.size() < folderCount) {
        const Folder& parent =
            folders[random.Below(std::min<uint64_t>(folders.size(), 64 + folders.size() / 2))];
        if (parent.depth >= 8) continue;
        std::string name =
            FolderName(random) + (random.Below(3) == 0 ? "" : std::to_string(folders.size()));
        folders.push_back(
            {parent.path.empty() ? name : parent.path + "/" + name, parent.depth + 1});
    }

    const int64_t baseTime = 1700000000;
    std::vector<File> files;
    files.reserve(fileCount);
    for (uint64_t i = 0; i < fileCount; ++i) {
        const bool longName = random.Below(1000) == 0;
        size_t folder = random.Below(folders.size());
        if (longName) {
            folder = std::max_element(
                         folders.begin(), folders.end(),
                         [](const Folder& a, const Folder& b) { return a.depth < b.depth; }) -
                     folders.begin();
        }
        files.push_back({folder, FileName(random, i, longName), FileSize(random, meanSize),
                         baseTime + static_cast<int64_t>(random.Below(86400 * 365)),
                         random.Next()});
    }

    const std::vector<char> pool = MakePool(1 << 22);
    const std::string src = out + "/src";
    const std::string tgt = out + "/tgt";
    MakeFolder(out);
    MakeFolder(src);
    MakeFolder(tgt);
    for (const Folder& folder : folders) {
        if (folder.path.empty()) continue;
        MakeFolder(src + "/" + folder.path);
        MakeFolder(tgt + "/" + folder.path);
    }

    uint64_t changed = 0, older = 0, onlySource = 0, onlyTarget = 0, caseOnly = 0;
    for (const File& file : files) {
        const std::string relative = folders[file.folder].path.empty()
                                         ? file.name
                                         : folders[file.folder].path + "/" + file.name;
        WriteFile(src + "/" + relative, pool, file.size, file.contentSeed, file.mtime, false);
        const uint64_t roll = random.Below(100);
        if (roll == 0 && file.size > 0) {
            ++changed;  // same size, same time, different bytes
            WriteFile(tgt + "/" + relative, pool, file.size, file.contentSeed, file.mtime, true);
        } else if (roll == 1) {
            ++older;
            WriteFile(tgt + "/" + relative, pool, file.size, file.contentSeed, file.mtime - 86400,
                      false);
        } else if (roll == 2) {
            ++onlySource;
        } else if (roll == 3) {
            ++caseOnly;
            const std::string folder = folders[file.folder].path;
            const std::string name = CaseVariant(file.name);
            WriteFile(tgt + "/" + (folder.empty() ? name : folder + "/" + name), pool, file.size,
                      file.contentSeed, file.mtime, false);
        } else {
            WriteFile(tgt + "/" + relative, pool, file.size, file.contentSeed, file.mtime, false);
        }
        if (random.Below(100) == 0) {
            ++onlyTarget;
            const std::string folder = folders[file.folder].path;
            const std::string name = "extra_" + file.name;
            WriteFile(tgt + "/" + (folder.empty() ? name : folder + "/" + name), pool, file.size,
                      file.contentSeed + 1, file.mtime, false);
        }
    }
    std::printf(
        "%s: %llu files in %zu folders; target: %llu changed, %llu older, %llu missing, "
        "%llu case-only, %llu extra\n",
        out.c_str(), static_cast<unsigned long long>(fileCount), folders.size(),
        static_cast<unsigned long long>(changed), static_cast<unsigned long long>(older),
        static_cast<unsigned long long>(onlySource), static_cast<unsigned long long>(caseOnly),
        static_cast<unsigned long long>(onlyTarget));
    return 0;
}
