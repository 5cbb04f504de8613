#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/settings/SettingsStore.h"
#include "support/TempConfigHome.h"

namespace ravelmoor {
namespace {

using Value = SettingsStore::Value;

// A store over a copy of the file, so that nothing this process keeps in
// memory takes part: what it reads came from the text on disk.
std::unique_ptr<SettingsStore> FromDisk(const test::TempConfigHome& home) {
    const std::string copy = home.Path() + "/copy.ini";
    std::filesystem::copy_file(home.IniPath(), copy,
                               std::filesystem::copy_options::overwrite_existing);
    return std::make_unique<SettingsStore>(copy);
}

TEST(SettingsStore, ValuesKeepTheirTypesThroughTheFile) {
    test::TempConfigHome home;
    const std::vector<std::pair<std::string, Value>> cases = {
        {"int", int64_t{1}},
        {"negative", int64_t{-7}},
        {"dword", int64_t{4294967295}},
        {"digits", std::string("1")},
        {"minusDigits", std::string("-5")},
        {"hugeDigits", std::string("123456789012345678901234")},
        {"at", std::string("@x")},
        {"atDigits", std::string("@@1")},
        {"empty", std::string()},
        {"blank", std::string(" ")},
        {"comma", std::string("a,b")},
        {"quoted", std::string("\"%s1\" \"%s2\"")},
        {"utf8", std::string("/home/j\xc3\xbcrgen")},
        {"notUtf8", std::string("/data/\xff\xfe")},
        {"byteArrayText", std::string("@ByteArray(x)")},
    };
    {
        SettingsStore store;
        for (const auto& [name, value] : cases) {
            if (const auto* number = std::get_if<int64_t>(&value)) {
                store.WriteInt("Settings", name, *number);
            } else {
                store.WriteString("Settings", name, std::get<std::string>(value));
            }
        }
        ASSERT_TRUE(store.Sync().Ok());
    }
    const auto disk = FromDisk(home);
    for (const auto& [name, value] : cases)
        EXPECT_EQ(disk->Read("Settings", name), value) << name;
    const std::string ini = home.Ini();
    EXPECT_NE(ini.find("\nint=1\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("\ndigits=@@1\n"), std::string::npos) << ini;

    EXPECT_EQ(disk->ReadInt("Settings", "digits", 42), 42);
    EXPECT_EQ(disk->ReadString("Settings", "negative", "none"), "-7");
    EXPECT_EQ(disk->ReadInt("Settings", "missing", 42), 42);
    EXPECT_EQ(disk->Read("Settings", "missing"), std::nullopt);
}

TEST(SettingsStore, NamesWithSlashesAndAnyBytesRoundTripThroughTheFile) {
    test::TempConfigHome home;
    const std::vector<std::string> names = {
        "host1/pub/", "/", "a//b", "100%", "x\\y", "[odd] = name;", "caf\xc3\xa9", "raw\xff"};
    {
        SettingsStore store;
        store.WriteInt("Settings", "Chunk", 4096);
        for (const std::string& name : names) {
            store.WriteString("Index", name, "ftp_" + name);
            store.WriteString("ftp_" + name, "Server", name);
        }
        ASSERT_TRUE(store.Sync().Ok());
    }
    const std::string ini = home.Ini();
    EXPECT_NE(ini.find("[ftp_host1%U2215pub%U2215]\nServer=host1/pub/\n"), std::string::npos)
        << ini;
    EXPECT_NE(ini.find("[Settings]\nChunk=4096\n"), std::string::npos) << ini;

    const auto fromDisk = FromDisk(home);
    // Stable order: byte order, with '/' after every byte.
    const std::vector<std::string> sorted = {"100%",       "[odd] = name;", "a//b", "caf\xc3\xa9",
                                             "host1/pub/", "raw\xff",       "x\\y", "/"};
    EXPECT_EQ(fromDisk->ValueNames("Index"), sorted);
    for (const std::string& name : names)
        EXPECT_EQ(fromDisk->ReadString("ftp_" + name, "Server", ""), name) << name;
}

}  // namespace
}  // namespace ravelmoor
