#include <gtest/gtest.h>

#include <QBuffer>

#include "core/settings/SettingsFile.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using namespace std::string_literals;

const std::string kMagic =
    "Ravelmoor file [[[[[>>>>>]]]]]]---/KVOLT-(odrane)(quespen) - file version 1.2.1";

bool Deserialize(const std::string& bytes, Settings& settings) {
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return DeserializeSettings(buffer, settings);
}

// A settings value that differs from the defaults in every field.
Settings EverythingSet() {
    Settings settings;
    settings.sourceFolder = std::string(255, 's');            // 0xFF, 16-bit length
    settings.targetFolder = std::string(65534, 't');          // 0xFF, 0xFFFF, 32-bit length
    settings.comparisonProgram = std::string(254, 'p');       // one length byte
    settings.comparisonParameters = std::string(65533, 'q');  // the longest 16-bit length
    settings.includeSubFolders = true;
    settings.comparisonMethod = 2;
    settings.ignoreTwoSeconds = true;
    settings.ignoreSixtySeconds = true;
    settings.ignoreOneHour = true;
    settings.crcChunk = 0x01020304;
    settings.filterRules = {{"Include", "\\.txt$"}, {"Exclude", ""}, {" ", "^temp"}};
    return settings;
}

TEST(SettingsFile, DefaultsAreThe123ByteFile) {
    const std::string expected = "\x4f" + kMagic + std::string("\0\0", 2) +
                                 std::string(6 * 4, '\0') + std::string("\0", 1) +
                                 "\x0b\"%s1\" \"%s2\"" + std::string(4, '\0');
    EXPECT_EQ(expected.size(), 123u);
    EXPECT_EQ(SerializeSettings(Settings{}), expected);
}

TEST(SettingsFile, EveryFieldAndLengthEncodingRoundTrips) {
    const Settings saved = EverythingSet();
    const std::string bytes = SerializeSettings(saved);
    const size_t source = 80;
    const size_t target = source + 3 + 255;
    EXPECT_EQ(bytes.substr(source, 3), "\xff\xff\x00"s);
    EXPECT_EQ(bytes.substr(target, 7), "\xff\xff\xff\xfe\xff\x00\x00"s);
    const size_t integers = target + 7 + 65534;
    EXPECT_EQ(bytes.substr(integers, 24), std::string("\x01\0\0\0\x02\0\0\0\x01\0\0\0"
                                                      "\x01\0\0\0\x01\0\0\0\x04\x03\x02\x01",
                                                      24));
    EXPECT_EQ(static_cast<uint8_t>(bytes[integers + 24]), 254);
    EXPECT_EQ(bytes.substr(integers + 24 + 255, 3), "\xff\xfd\xff"s);

    Settings loaded;
    loaded.backgroundOn = false;  // not in the file: must stay
    ASSERT_TRUE(Deserialize(bytes, loaded));
    Settings expected = saved;
    expected.backgroundOn = false;
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(SerializeSettings(loaded), bytes);
}

TEST(SettingsFile, DamagedFilesAreRefusedAndChangeNothing) {
    const std::string good = SerializeSettings(EverythingSet());
    std::string wrongMagic = good;
    wrongMagic[5] = 'X';
    std::string pastTheEnd = SerializeSettings(Settings{});
    pastTheEnd.replace(80, 2, "\xff\xff\xff\xf0\xff\xff\xff\x00"s);  // a 4 GB source folder
    std::string tooManyRules = SerializeSettings(Settings{});
    tooManyRules.replace(tooManyRules.size() - 4, 4, "\xff\xff\xff\x7f"s);
    Settings withNul;
    withNul.sourceFolder = "/home/a\0b"s;  // a NUL inside the folder path
    Settings oneRule;
    oneRule.filterRules = {{"", ""}};
    std::string oneRuleTooMany = SerializeSettings(oneRule);  // count 2, room for one
    oneRuleTooMany[oneRuleTooMany.size() - 6] = 2;
    std::string negativeCount = SerializeSettings(Settings{});
    negativeCount.replace(negativeCount.size() - 4, 4, "\xff\xff\xff\xff"s);
    std::vector<std::string> damaged = {wrongMagic,
                                        "",
                                        pastTheEnd,
                                        tooManyRules,
                                        "\x50" + kMagic + "x",
                                        SerializeSettings(withNul),
                                        oneRuleTooMany,
                                        negativeCount};
    for (size_t cut = 1; cut < good.size(); cut += cut < 400 ? 1 : 997)
        damaged.push_back(good.substr(0, cut));

    Settings before;
    before.sourceFolder = "/keep";
    before.filterRules = {{"Include", "keep"}};
    for (const std::string& bytes : damaged) {
        Settings settings = before;
        EXPECT_FALSE(Deserialize(bytes, settings)) << bytes.size();
        EXPECT_EQ(settings, before) << bytes.size();
    }
}

TEST(SettingsFile, LoadingChecksTheFileWithItsMessages) {
    test::TempTree tree;
    tree.Write("a b.zvs", SerializeSettings(EverythingSet()));
    tree.Write("SETUP.ZVS", SerializeSettings(EverythingSet()));
    tree.Write("setup.txt", SerializeSettings(EverythingSet()));
    tree.Write("bad.zvs", kMagic);
    tree.MakeFolder("folder.zvs");
    const auto chosen = LoadChosenSettingsFile;
    const auto commandLine = LoadSettingsFromCommandLine;
    struct Case {
        decltype(chosen) load;
        std::string file;
        bool loaded;
        std::string message;
    };
    const std::vector<Case> cases = {
        {chosen, "a b.zvs", true, ""},
        {chosen, "SETUP.ZVS", true, ""},
        {chosen, "setup.txt", false, "Incorrect file extension."},
        {chosen, "none.zvs", false, "File " + tree.Full("none.zvs") + " not found."},
        {chosen, "folder.zvs", false, "Can not read file " + tree.Full("folder.zvs")},
        {chosen, "bad.zvs", false, "Invalid file."},
        {commandLine, "setup.txt", true, ""},
        {commandLine, "none.zvs", false, "File not found: " + tree.Full("none.zvs")},
        {commandLine, "folder.zvs", false, "Can not read file: " + tree.Full("folder.zvs")},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.settingsFileName = "/earlier.zvs";
        const SettingsFileOutcome outcome = c.load(tree.Full(c.file), settings);
        EXPECT_EQ(outcome.Ok(), c.loaded) << c.file;
        EXPECT_EQ(outcome.reason, c.message);
        const bool notSettings = c.file == "bad.zvs";
        EXPECT_EQ(settings.settingsFileName,
                  c.loaded ? tree.Full(c.file) : (notSettings ? "" : "/earlier.zvs"));
        // The folder in the file is relative: it is taken relative to the file's folder.
        EXPECT_EQ(settings.sourceFolder, c.loaded ? tree.Full(std::string(255, 's')) : "");
    }
    Settings settings;
    const SettingsFileOutcome nothing = LoadSettingsFromCommandLine("", settings);
    EXPECT_FALSE(nothing.Ok());
    EXPECT_EQ(nothing.reason, "");
}

TEST(SettingsFile, RelativeFoldersAreTakenFromTheFilesOwnFolder) {
    test::TempTree tree;
    const std::string file = tree.Full("sets/run.zvs");
    struct Case {
        std::string written;
        std::string loaded;
    };
    const std::vector<Case> cases = {
        {"docs", tree.Full("sets/docs")},       {" ../data/ ", tree.Full("data")},
        {"./a/../b", tree.Full("sets/b")},      {"/srv/site", "/srv/site"},
        {"(ftp) host/pub/", "(ftp) host/pub/"}, {"", ""},
        {"(sftp) box", "(sftp) box"},
    };
    for (const Case& c : cases) {
        Settings written;
        written.sourceFolder = c.written;
        written.targetFolder = c.written;
        tree.Write("sets/run.zvs", SerializeSettings(written));
        Settings settings;
        ASSERT_TRUE(LoadSettingsFromCommandLine(file, settings).Ok()) << c.written;
        EXPECT_EQ(settings.sourceFolder, c.loaded) << c.written;
        EXPECT_EQ(settings.targetFolder, c.loaded) << c.written;
    }
}

TEST(SettingsFile, SavingKeepsTheCaseOfThePathAndSaysWhere) {
    test::TempTree tree;
    Settings settings = EverythingSet();
    const SettingsFileOutcome saved = SaveChosenSettingsFile(tree.Full("Setup.zvs"), settings);
    ASSERT_TRUE(saved.Ok());
    EXPECT_EQ(saved.reason, "Settings saved to file: " + tree.Full("Setup.zvs"));
    EXPECT_EQ(settings.settingsFileName, tree.Full("Setup.zvs"));
    EXPECT_EQ(tree.Read("Setup.zvs"), SerializeSettings(settings));
    EXPECT_FALSE(tree.Exists("setup.zvs"));

    const SettingsFileOutcome refused =
        SaveChosenSettingsFile(tree.Full("no/such/folder/x.zvs"), settings);
    EXPECT_FALSE(refused.Ok());
    EXPECT_EQ(refused.reason, "Can not create file for writing");
}

}  // namespace
}  // namespace ravelmoor
