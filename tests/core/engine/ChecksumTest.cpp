#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <string>

#include "core/engine/Checksum.h"
#include "core/local/LocalFileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

std::string Bytes(size_t n) {
    std::string data(n, '\0');
    uint32_t x = 2463534242u;
    for (char& c : data) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return data;
}

uint32_t ZlibCrc(const std::string& data, size_t count) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(count)));
}

FileEntry EntryFor(const std::string& name, uint64_t size) {
    FileEntry entry;
    entry.path = name;
    entry.size = size;
    return entry;
}

TEST(ChecksumByteCount, FollowsTheLimitRules) {
    struct Case {
        uint64_t size, limit, expected;
    };
    const Case cases[] = {
        {10, 0, 10},
        {10, 1, 4},
        {10, 9, 10},
        {100000, 20000, 32768},
        {100000, 16384, 16384},
        {100000, 16385, 32768},
        {20000, 20000, 20000},
        {0, 5, 0},
        {5000, 3000, 3000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChecksumByteCount(c.size, c.limit), c.expected)
            << "size " << c.size << " limit " << c.limit;
    }
}

TEST(ComputeChecksum, MatchesZlibForWholeAndPartialFiles) {
    test::TempTree tree;
    LocalFileSystem fs;
    struct Case {
        size_t size;
        uint64_t limit;
        size_t folded;
        bool inverted;
    };
    const Case cases[] = {
        {1, 0, 1, true},         {16383, 0, 16383, true},       {16384, 0, 16384, true},
        {16385, 0, 16385, true}, {700001, 0, 700001, true},     {10, 1, 4, false},
        {10, 9, 10, true},       {100000, 20000, 32768, false},
    };
    for (const Case& c : cases) {
        const std::string data = Bytes(c.size);
        tree.Write("f.bin", data);
        FileEntry entry = EntryFor("f.bin", c.size);
        std::atomic<uint64_t> bytes{0};
        ASSERT_TRUE(ComputeChecksum(entry, fs, tree.Root(), c.limit, nullptr, &bytes)) << c.size;
        const uint32_t crc = ZlibCrc(data, c.folded);
        EXPECT_EQ(entry.checksum, c.inverted ? crc : ~crc)
            << "size " << c.size << " limit " << c.limit;
        EXPECT_EQ(entry.checksumBytes, c.folded);
        EXPECT_EQ(bytes.load(), c.folded);
    }
}

TEST(ComputeChecksum, EmptyFileIsNeverOpened) {
    test::TempTree tree;
    tree.Write("empty", "");
    auto fs = std::make_shared<test::FaultyFileSystem>();
    fs->FailOpen("empty");
    FileEntry entry = EntryFor("empty", 0);
    EXPECT_TRUE(ComputeChecksum(entry, *fs, tree.Root(), 0, nullptr, nullptr));
    EXPECT_EQ(entry.checksum, 0xFFFFFFFFu);
}

TEST(ComputeChecksum, ReadFailuresGiveFalse) {
    test::TempTree tree;
    tree.Write("locked", Bytes(100));
    tree.Write("broken", Bytes(50000));
    tree.Write("shrunk", Bytes(10));
    test::FaultyFileSystem fs;
    fs.FailOpen("locked");
    fs.FailReadAfter("broken", 20000);

    FileEntry locked = EntryFor("locked", 100);
    EXPECT_FALSE(ComputeChecksum(locked, fs, tree.Root(), 0, nullptr, nullptr));
    FileEntry broken = EntryFor("broken", 50000);
    EXPECT_FALSE(ComputeChecksum(broken, fs, tree.Root(), 0, nullptr, nullptr));
    FileEntry shrunk = EntryFor("shrunk", 20);  // listed larger than it is now
    EXPECT_FALSE(ComputeChecksum(shrunk, fs, tree.Root(), 0, nullptr, nullptr));
}

TEST(ComputeChecksum, SymbolicLinkSumsItsText) {
    test::TempTree tree;
    tree.Symlink("link", "some/target.txt");
    LocalFileSystem fs;
    FileEntry entry = EntryFor("link", 15);
    entry.attributes = kSymlinkAttribute;
    ASSERT_TRUE(ComputeChecksum(entry, fs, tree.Root(), 0, nullptr, nullptr));
    EXPECT_EQ(entry.checksum, ZlibCrc("some/target.txt", 15));
}

TEST(ComputeChecksum, CancelStopsEarlyWithTrue) {
    test::TempTree tree;
    tree.Write("big", Bytes(1 << 20));
    LocalFileSystem fs;
    std::atomic<int32_t> cancel{1};
    FileEntry entry = EntryFor("big", 1 << 20);
    EXPECT_TRUE(ComputeChecksum(entry, fs, tree.Root(), 0, &cancel, nullptr));
    EXPECT_LT(entry.checksumBytes, uint64_t{1} << 20);
}

// Side by side: pairs that match keep the checksums of ComputeChecksum; a
// difference stops the reading at its block; a file that cannot be read
// before any difference is seen makes the pair unreadable.
TEST(ReadPairSideBySide, StopsAtTheFirstDifferenceAndKeepsTheSumsOfEqualPairs) {
    const size_t big = 700001;
    const std::string data = Bytes(big);
    auto flipped = [&data](size_t at) {
        std::string copy = data;
        copy[at] = static_cast<char>(copy[at] ^ 1);
        return copy;
    };
    struct Case {
        const char* what;
        std::string source, target;
        uint64_t listedTarget;  // the size the listing said
        uint64_t limit;
        PairReading expected;
        uint64_t mostBytesRead;  // both files together
    };
    const uint64_t block = 65536;  // what side by side reads at once
    const Case cases[] = {
        {"equal", data, data, big, 0, PairReading::Summed, 2 * big},
        {"equal, limited", data, data, big, 20000, PairReading::Summed, uint64_t{2} * 32768},
        {"equal, one block", data.substr(0, 10), data.substr(0, 10), 10, 0, PairReading::Summed,
         20},
        {"last byte differs", data, flipped(big - 1), big, 0, PairReading::Differs, 2 * big},
        {"first byte differs", data, flipped(0), big, 0, PairReading::Differs, 2 * block},
        {"sizes differ: both summed", data, data.substr(0, 1000), 1000, 0, PairReading::Summed,
         big + 1000},
        {"target shrank", data, data.substr(0, 100000), big, 0, PairReading::Unreadable, 2 * big},
        {"target shrank after a difference", data, flipped(5).substr(0, 100000), big, 0,
         PairReading::Differs, 2 * block},
    };
    test::TempTree tree;
    LocalFileSystem fs;
    for (const Case& c : cases) {
        tree.Write("s.bin", c.source);
        tree.Write("t.bin", c.target);
        FileEntry source = EntryFor("s.bin", c.source.size());
        FileEntry target = EntryFor("t.bin", c.listedTarget);
        std::atomic<uint64_t> bytes{0};
        const std::string root = tree.Root();
        const PairSources from{fs, root, fs, root, c.limit, nullptr, &bytes};
        EXPECT_EQ(ReadPairSideBySide(source, target, from), c.expected) << c.what;
        EXPECT_LE(bytes.load(), c.mostBytesRead) << c.what;
        if (c.expected != PairReading::Summed) continue;
        FileEntry alone = EntryFor("s.bin", c.source.size());
        ASSERT_TRUE(ComputeChecksum(alone, fs, tree.Root(), c.limit, nullptr, nullptr));
        EXPECT_EQ(source.checksum, alone.checksum) << c.what;
        EXPECT_EQ(source.checksumBytes, alone.checksumBytes) << c.what;
        EXPECT_EQ(target.checksum == source.checksum, c.source == c.target) << c.what;
    }
}

TEST(ReadPairSideBySide, ReadFailuresMakeThePairUnreadable) {
    test::TempTree tree;
    const std::string data = Bytes(200000);
    tree.Write("a", data);
    tree.Write("locked", data);
    tree.Write("broken", data);
    test::FaultyFileSystem fs;
    fs.FailOpen("locked");
    fs.FailReadAfter("broken", 100000);
    const std::string root = tree.Root();
    for (const char* name : {"locked", "broken"}) {
        FileEntry source = EntryFor("a", data.size());
        FileEntry target = EntryFor(name, data.size());
        const PairSources from{fs, root, fs, root, 0, nullptr, nullptr};
        EXPECT_EQ(ReadPairSideBySide(source, target, from), PairReading::Unreadable) << name;
    }
}

}  // namespace
}  // namespace ravelmoor
