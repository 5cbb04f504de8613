#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <string>

#include "core/engine/Checksum.h"
#include "core/engine/LocalFileSystem.h"
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

}  // namespace
}  // namespace ravelmoor
