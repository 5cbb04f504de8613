#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/engine/Checksum.h"
#include "core/engine/FdGuard.h"
#include "core/engine/FileList.h"
#include "core/engine/FolderPairReader.h"
#include "core/engine/IoRing.h"
#include "core/engine/PairReadAhead.h"
#include "core/engine/TreeScan.h"
#include "core/local/LocalFileSystem.h"
#include "support/TempTree.h"

#include <fcntl.h>

namespace ravelmoor {
namespace {

std::string Bytes(size_t n, uint32_t seed = 2463534242u) {
    std::string data(n, '\0');
    uint32_t x = seed;
    for (char& c : data) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return data;
}

std::string Flipped(std::string data, size_t at) {
    data[at] = static_cast<char>(data[at] ^ 1);
    return data;
}

// The switch is read once per process: this binary runs once as it is and
// once more with RAVELMOOR_IO_URING=0 (tests/CMakeLists.txt).
bool SwitchedOff() {
    const char* text = std::getenv("RAVELMOOR_IO_URING");
    return text != nullptr && std::strcmp(text, "0") == 0;
}

TEST(IoRingSupport, TheSwitchTurnsBatchingOffAndSaysSo) {
    const IoRingSupport& support = IoRing::Support();
    if (SwitchedOff()) {
        EXPECT_FALSE(support.usable);
        EXPECT_EQ(support.why, "switched off by RAVELMOOR_IO_URING=0");
        EXPECT_EQ(IoRing::Describe(),
                  "Files are read one system call at a time (io_uring: "
                  "switched off by RAVELMOOR_IO_URING=0).");
    } else if (support.usable) {
        EXPECT_EQ(IoRing::Describe(), "Files are read with batched system calls (io_uring).");
    } else {
        // A kernel or a container that refuses the ring says why.
        EXPECT_FALSE(support.why.empty());
    }
}

// Whole reads of files that are not what a listing said: each step reports
// the system's answer, nothing follows a link or waits on a FIFO, and every
// slot is free again for the next batch.
TEST(IoRing, WholeReadsTellWhatBecameOfEachFile) {
    if (!IoRing::Support().usable) GTEST_SKIP() << "no io_uring: " << IoRing::Support().why;
    test::TempTree tree;
    tree.Write("plain", Bytes(1000));
    tree.Write("short", "0123456789");
    tree.Write("empty", "");
    tree.Symlink("link", "plain");
    tree.Fifo("pipe");
    tree.MakeFolder("folder");
    struct Case {
        const char* name;
        uint32_t asked;
        int32_t open;  // 0: opened
        int32_t read;  // bytes, or -errno
    };
    const Case cases[] = {
        {"plain", 1000, 0, 1000},    {"short", 100, 0, 10},   {"empty", 10, 0, 0},
        {"missing", 10, -ENOENT, 0}, {"link", 10, -ELOOP, 0}, {"pipe", 10, 0, 0},
        {"folder", 10, 0, -EISDIR},
    };
    const FdGuard folder(::open(tree.Path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    ASSERT_GE(folder.get(), 0);
    IoRing ring(4);
    ASSERT_TRUE(ring.Ok());
    std::vector<char> buffers(std::size(cases) * 1000);
    // Three rounds through four slots: a slot whose file failed is free too.
    for (int round = 0; round < 3; ++round) {
        std::map<uint64_t, std::map<IoRing::Step, int32_t>> results;
        for (size_t k = 0; k < std::size(cases); k += 4) {
            const size_t end = std::min(std::size(cases), k + 4);
            for (size_t c = k; c < end; ++c) {
                ring.QueueWholeRead(static_cast<unsigned>(c - k), folder.get(), cases[c].name,
                                    buffers.data() + c * 1000, cases[c].asked, c);
            }
            ASSERT_TRUE(ring.Wait(static_cast<unsigned>(3 * (end - k))));
            IoRing::Result result{};
            while (ring.Pop(result))
                results[result.tag][result.step] = result.value;
        }
        for (size_t c = 0; c < std::size(cases); ++c) {
            const Case& want = cases[c];
            ASSERT_EQ(results[c].size(), 3u) << want.name;
            EXPECT_EQ(results[c][IoRing::Step::Open] < 0 ? results[c][IoRing::Step::Open] : 0,
                      want.open)
                << want.name;
            if (want.open == 0) {
                EXPECT_EQ(results[c][IoRing::Step::Read], want.read) << want.name;
                EXPECT_EQ(results[c][IoRing::Step::Close], 0) << want.name;
            } else {
                EXPECT_LT(results[c][IoRing::Step::Read], 0) << want.name;
            }
        }
        EXPECT_EQ(std::string(buffers.data(), 1000), Bytes(1000));
        EXPECT_EQ(std::string(buffers.data() + 1000, 10), "0123456789");
    }
}

// Pairs of small files are read as soon as their folder pair is listed; what
// that leaves in the lists must be what reading the pair side by side gives,
// for every kind of pair, with and without a byte limit, by content and by
// both rules; the rest is left for the comparison's readers.
TEST(ListedPairReading, GivesWhatReadingSideBySideGives) {
    const std::string data = Bytes(70000);
    const std::string block = data.substr(0, 65536);
    struct Case {
        const char* name;
        std::string source, target;
        int64_t targetTime;
        // Read while listed: by content, by both rules, and the same with a
        // limit of 20000 bytes.
        bool crc, both, crcLimited, bothLimited;
    };
    const int64_t time = test::TempTree::kDefaultTime;
    const std::string small = data.substr(0, 900);
    const std::vector<Case> cases = {
        {"equal", small, small, time, true, true, true, true},
        {"first byte differs", small, Flipped(small, 0), time, true, true, true, true},
        {"last byte differs", small, Flipped(small, 899), time, true, true, true, true},
        {"sizes differ", small, data.substr(0, 300), time, true, false, true, false},
        {"both empty", "", "", time, true, true, true, true},
        {"one empty", "", "x", time, true, false, true, false},
        {"one block", block, block, time, true, true, true, true},
        {"one block, last byte differs", block, Flipped(block, 65535), time, true, true, true,
         true},
        {"past one block", data, data, time, false, false, true, true},
        {"past one block, differs early", data, Flipped(data, 3), time, false, false, true, true},
        {"older target", small, small, time - 100, true, false, true, false},
        {"sub/equal", small, small, time, true, true, true, true},
        {"sub/differs", small, Flipped(small, 400), time, true, true, true, true},
    };
    test::TempTree source;
    test::TempTree target;
    for (const Case& c : cases) {
        source.Write(c.name, c.source);
        target.Write(c.name, c.target, c.targetTime);
    }
    // Never read while listed: links, a name twice on one side, a file alone.
    source.Symlink("link", "equal");
    target.Symlink("link", "equal");
    source.Write("Twin", "a");
    source.Write("twin", "a");
    target.Write("twin", "a");
    source.Write("alone", "a");

    LocalFileSystem fs;
    for (const ComparisonMethod method : {ComparisonMethod::Crc, ComparisonMethod::Both}) {
        for (const uint32_t limit : {0u, 20000u}) {
            ComparisonRules rules;
            rules.method = method;
            rules.crcChunk = limit;
            rules.includeSubFolders = true;
            std::atomic<uint64_t> bytes{0};
            const FolderPairReader reader(rules, nullptr, &bytes);
            ScanOptions options;
            options.includeSubFolders = options.recordFolders = true;
            FileList lists[2];
            TreeScan scan;
            scan.AddPair({fs, lists[0], source.Root(), options},
                         {fs, lists[1], target.Root(), options}, &reader);
            scan.Run(2);
            std::map<std::string, FileEntry> entries[2];
            for (size_t s = 0; s < 2; ++s) {
                for (size_t i = 0; i < lists[s].GetSize(); ++i)
                    entries[s][lists[s].ElementAt(i).path.str()] = lists[s].ElementAt(i);
            }
            const std::string what = std::string(method == ComparisonMethod::Crc ? "crc" : "both") +
                                     ", limit " + std::to_string(limit) + ": ";
            constexpr uint32_t kListed = kListedSummedAttribute | kListedDiffersAttribute;
            uint64_t expectedBytes = 0;
            for (const Case& c : cases) {
                FileEntry& a = entries[0][c.name];
                FileEntry& b = entries[1][c.name];
                const bool crc = method == ComparisonMethod::Crc;
                const bool expected =
                    limit != 0 ? (crc ? c.crcLimited : c.bothLimited) : (crc ? c.crc : c.both);
                ASSERT_EQ((a.attributes & kListed) != 0, expected) << what << c.name;
                ASSERT_EQ(a.attributes & kListed, b.attributes & kListed) << what << c.name;
                if (!expected) continue;
                FileEntry sideA = a;
                FileEntry sideB = b;
                sideA.attributes = sideB.attributes = 0;
                const std::string sourceRoot = source.Root();
                const std::string targetRoot = target.Root();
                const PairSources from{fs, sourceRoot, fs, targetRoot, limit, nullptr, nullptr};
                const PairReading reading = ReadPairSideBySide(sideA, sideB, from);
                EXPECT_EQ((a.attributes & kListedDiffersAttribute) != 0,
                          reading == PairReading::Differs)
                    << what << c.name;
                EXPECT_EQ(a.checksum, sideA.checksum) << what << c.name;
                EXPECT_EQ(a.checksumBytes, sideA.checksumBytes) << what << c.name;
                EXPECT_EQ(b.checksum, sideB.checksum) << what << c.name;
                EXPECT_EQ(b.checksumBytes, sideB.checksumBytes) << what << c.name;
                expectedBytes +=
                    ChecksumByteCount(a.size, limit) + ChecksumByteCount(b.size, limit);
            }
            for (const char* name : {"link", "Twin", "twin", "alone"})
                EXPECT_EQ(entries[0][name].attributes & kListed, 0u) << what << name;
            EXPECT_EQ(bytes.load(), expectedBytes) << what;
        }
    }
}

// Large files read with blocks in flight come out to the bit as read one
// block after the other: equal, differing in the first, a middle or the last
// block, limited, shrunk before or after a difference, of other sizes, links.
TEST(PairReadAhead, GivesWhatReadingSideBySideGives) {
    const size_t big = 5 * 65536 + 7;
    const std::string data = Bytes(big, 7);
    struct Case {
        const char* what;
        std::string source, target;
        uint64_t listedTarget;
        uint64_t limit;
    };
    const Case cases[] = {
        {"equal", data, data, big, 0},
        {"first byte differs", data, Flipped(data, 0), big, 0},
        {"middle block differs", data, Flipped(data, 3 * 65536 + 5), big, 0},
        {"last byte differs", data, Flipped(data, big - 1), big, 0},
        {"limited", data, Flipped(data, big - 1), big, 100000},
        {"target shrank", data, data.substr(0, 200000), big, 0},
        {"target shrank after a difference", data, Flipped(data, 5).substr(0, 200000), big, 0},
        {"sizes differ", data, data.substr(0, 100000), 100000, 0},
        {"one block", data.substr(0, 1000), data.substr(0, 1000), 1000, 0},
    };
    test::TempTree tree;
    LocalFileSystem fs;
    PairReadAhead ahead;
    EXPECT_EQ(ahead.Batched(), IoRing::Support().usable);
    const std::string root = tree.Root();
    for (const Case& c : cases) {
        tree.Write("s.bin", c.source);
        tree.Write("t.bin", c.target);
        FileEntry expected[2];
        FileEntry got[2];
        for (FileEntry* pair : {expected, got}) {
            pair[0].path = "s.bin";
            pair[0].size = c.source.size();
            pair[1].path = "t.bin";
            pair[1].size = c.listedTarget;
        }
        std::atomic<uint64_t> bytes{0};
        const PairSources from{fs, root, fs, root, c.limit, nullptr, &bytes};
        const PairReading reading = ReadPairSideBySide(expected[0], expected[1], from);
        EXPECT_EQ(ahead.Read(got[0], got[1], from), reading) << c.what;
        for (size_t side = 0; side < 2; ++side) {
            EXPECT_EQ(got[side].checksum, expected[side].checksum) << c.what << side;
            EXPECT_EQ(got[side].checksumBytes, expected[side].checksumBytes) << c.what << side;
        }
    }
    tree.Symlink("link", "s.bin");
    FileEntry expected[2];
    FileEntry got[2];
    for (FileEntry* pair : {expected, got}) {
        pair[0].path = pair[1].path = "link";
        pair[0].attributes = pair[1].attributes = kSymlinkAttribute;
        pair[0].size = pair[1].size = 5;
    }
    const PairSources from{fs, root, fs, root, 0, nullptr, nullptr};
    EXPECT_EQ(ahead.Read(got[0], got[1], from), ReadPairSideBySide(expected[0], expected[1], from));
    EXPECT_EQ(got[0].checksum, expected[0].checksum);
}

}  // namespace
}  // namespace ravelmoor
