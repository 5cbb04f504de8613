#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CommandTest.h"
#include "cli/SyncProgress.h"
#include "cli/Terminal.h"
#include "core/engine/NameEscape.h"

namespace ravelmoor {
namespace {

using ::testing::HasSubstr;

using test::CanOpenTerminal;
using test::RunRavelmoor;
using test::RunRavelmoorOnTerminal;

QJsonObject Parse(const std::string& out) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out;
    return document.object();
}

// The exact bytes of a name in a document: path_bytes where there is one.
std::string NameBytes(const QJsonObject& object) {
    if (object.contains("path_bytes")) {
        return QByteArray::fromBase64(object["path_bytes"].toString().toLatin1()).toStdString();
    }
    return object["path"].toString().toStdString();
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The rows of a compare document as the tab-separated output writes them.
std::string RowsAsTsv(const QJsonObject& document) {
    std::string rows;
    for (const QJsonValue value : document["rows"].toArray()) {
        const QJsonObject row = value.toObject();
        rows += row["source_status"].toString().toStdString() + "\t" +
                row["target_status"].toString().toStdString() + "\t" +
                (row["kind"].toString() == "folder" ? "folder" : "file") + "\t" +
                (row["excluded"].toBool() ? "1" : "0") + "\t" + EscapeName(NameBytes(row)) + "\n";
    }
    return rows;
}

// The trees of SyncCommandTest, plus a name that is not UTF-8.
class MachineOutputTest : public test::CommandTest {
  protected:
    void SetUp() override {
        WriteDifferingTrees();
        source.Write("caf\xE9.txt", "c", 1700);
    }
};

// Every JSON row is the tab-separated row of the same run, field for field,
// and a name that is not UTF-8 comes back exactly from path_bytes.
TEST_F(MachineOutputTest, CompareJsonHoldsTheRowsOfTheTabSeparatedOutput) {
    const std::vector<std::vector<std::string>> optionSets = {{"-r"}, {"-r", "--all"}, {}};
    for (const auto& options : optionSets) {
        std::vector<std::string> tsvArgs = {"compare", "--format", "tsv"};
        tsvArgs.insert(tsvArgs.end(), options.begin(), options.end());
        tsvArgs.insert(tsvArgs.end(), {source.Path(), target.Path()});
        std::vector<std::string> jsonArgs = tsvArgs;
        jsonArgs[2] = "json";
        const auto tsv = RunRavelmoor(tsvArgs);
        const auto json = RunRavelmoor(jsonArgs);
        EXPECT_EQ(json.exitCode, tsv.exitCode);
        const QJsonObject document = Parse(json.out);
        EXPECT_EQ(document["format"].toString(), "ravelmoor-compare");
        EXPECT_EQ(document["version"].toInt(), 1);
        EXPECT_EQ(document["source"].toString().toStdString(), source.Root());
        EXPECT_EQ(RowsAsTsv(document), tsv.out) << json.out;
        EXPECT_THAT(json.out, HasSubstr("\"path_bytes\":\"Y2Fm6S50eHQ=\""));
    }
}

// A document too long for one piece of output (it goes out as it is made)
// is still one document, every row in it once.
TEST(MachineOutput, ALongJsonDocumentIsWholeAcrossItsPieces) {
    test::TempTree source;
    test::TempTree target;
    for (int i = 0; i < 1500; ++i)
        source.Write("folder-" + std::to_string(i % 7) + "/a-file-of-some-length-" +
                         std::to_string(i) + ".txt",
                     "x");
    const auto tsv =
        RunRavelmoor({"compare", "-r", "--format", "tsv", source.Path(), target.Path()});
    const auto json =
        RunRavelmoor({"compare", "-r", "--format", "json", source.Path(), target.Path()});
    ASSERT_GT(json.out.size(), 4u * 64 * 1024);
    const QJsonObject document = Parse(json.out);
    EXPECT_EQ(document["rows"].toArray().size(), 1507);
    EXPECT_EQ(RowsAsTsv(document), tsv.out);
    EXPECT_EQ(document["summary"].toObject()["only_in_source"].toInt(), 1507);

    const auto sync = RunRavelmoor(
        {"sync", "-rn", "--method", "update", "--format", "json", source.Path(), target.Path()});
    EXPECT_EQ(Parse(sync.out)["actions"].toArray().size(), 1507);
}

// The plan, and what the sync made of it: each action with its outcome and
// reason; the same actions in the log, which later runs append to.
TEST_F(MachineOutputTest, SyncJsonAndLogGiveEachActionItsOutcome) {
    source.Write("blocked/inner.txt", "z");
    target.Write("blocked", "a file in the way");
    const std::string log = home.Full("sync.log");
    // "action side kind path", then the outcome and whether a reason is given;
    // a dry run plans each of them.
    const std::vector<std::pair<std::string, std::string>> done = {
        {"copy target file caf\xE9.txt", " done"},
        {"copy target file only-here.txt", " done"},
        {"copy target folder blocked", " failed reason"},
        {"copy target file blocked/inner.txt", " failed reason"},
        {"replace target file docs/report.txt", " done"},
    };
    struct Case {
        std::vector<std::string> options;
        int exitCode;
        bool dryRun;
    };
    const Case cases[] = {{{"-n"}, 1, true}, {{"--yes"}, 1, false}};
    for (const Case& c : cases) {
        std::vector<std::string> args = {"sync",     "-r",   "--method", "update",
                                         "--format", "json", "--log",    log};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto result = RunOnTrees(args);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        const QJsonObject document = Parse(result.out);
        EXPECT_EQ(document["format"].toString(), "ravelmoor-sync");
        EXPECT_EQ(document["method"].toString(), "update");
        EXPECT_EQ(document["dry_run"].toBool(), c.dryRun);
        const QJsonArray actions = document["actions"].toArray();
        std::vector<std::string> got;
        for (const QJsonValue value : actions) {
            const QJsonObject action = value.toObject();
            got.push_back(action["action"].toString().toStdString() + " " +
                          action["side"].toString().toStdString() + " " +
                          action["kind"].toString().toStdString() + " " + NameBytes(action) + " " +
                          action["outcome"].toString().toStdString() +
                          (action.contains("reason") ? " reason" : ""));
        }
        std::vector<std::string> expected;
        expected.reserve(done.size());
        for (const auto& [action, outcome] : done)
            expected.push_back(action + (c.dryRun ? " planned" : outcome));
        EXPECT_EQ(got, expected) << result.out;
        EXPECT_EQ(actions[4].toObject()["replaced_mtime"].toInteger(), 1000);
    }
    EXPECT_EQ(target.Read("caf\xE9.txt"), "c");
    EXPECT_EQ(target.Read("blocked"), "a file in the way");

    const std::string text = home.Read("sync.log");
    EXPECT_EQ(Occurrences(text, "# ravelmoor sync "), 2u) << text;
    EXPECT_THAT(text, HasSubstr("# source: " + source.Root() + "\n# target: " + target.Root() +
                                "\n# method: update, compared by size-time\n"));
    EXPECT_THAT(text, HasSubstr("planned\tcopy\ttarget\tonly-here.txt\n"));
    EXPECT_THAT(text, HasSubstr("done\tcopy\ttarget\tcaf\\xE9.txt\n"));
    EXPECT_THAT(text,
                HasSubstr("failed\tcopy\ttarget\tblocked/\t\"" + target.Full("blocked") + "\" is"));
    EXPECT_THAT(text, HasSubstr("done\treplace\ttarget\tdocs/report.txt\n# Synchronised in "));
}

// Errors that end the run with status 2 and one message: a log that can not
// be opened (before anything changes), output that can not be written.
TEST_F(MachineOutputTest, OutputThatCanNotBeWrittenIsAnError) {
    const std::string noLog = home.Full("missing/sync.log");
    struct Case {
        std::vector<std::string> args;
        std::string outputFile;
        std::string err;
    };
    const std::string full =
        "ravelmoor: Can not write the output: standard output (No space left on device)\n";
    const std::string s = source.Path();
    const std::string t = target.Path();
    const Case cases[] = {
        {{"sync", "-r", "--method", "update", "--yes", "--log", noLog, s, t},
         {},
         "ravelmoor: Can not open the log file: " + noLog + " (No such file or directory)\n"},
        {{"compare", "-r", s, t}, "/dev/full", full},
        {{"sync", "-rn", "--format", "json", "--method", "update", s, t}, "/dev/full", full},
        {{"--version"}, "/dev/full", full},
    };
    for (const Case& c : cases) {
        const auto result = RunRavelmoor(c.args, Environment(), {}, c.outputFile);
        EXPECT_EQ(result.exitCode, 2) << c.args[0];
        EXPECT_EQ(result.err, c.err);
    }
    EXPECT_FALSE(target.Exists("only-here.txt"));
}

// The progress line is cut to the terminal's width in display columns,
// between characters, never inside one.
TEST(ProgressLineTest, IsCutBetweenCharacters) {
    const std::string line = SyncProgress::Line(
        2, 5, 10, 40, 0, "/t/\xC3\xA9t\xC3\xA9/\xE2\x82\xAC\xF0\x9F\x98\x80.txt");
    for (size_t width = 1; width <= line.size(); ++width) {
        const std::string_view cut = Terminal::FitWidth(line, width);
        EXPECT_TRUE(IsValidUtf8(cut)) << width;
        EXPECT_EQ(line.compare(0, cut.size(), cut), 0);
    }
    EXPECT_EQ(Terminal::FitWidth("a\xC3\xA9\xE2\x82\xAC"
                                 "b",
                                 3),
              "a\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(Terminal::FitWidth("a\xC3\xA9\xE2\x82\xAC"
                                 "b",
                                 2),
              "a\xC3\xA9");
    // Wide CJK characters take two columns each, so they cannot overrun it.
    EXPECT_EQ(Terminal::FitWidth("ab\xE6\x97\xA5\xE6\x9C\xAC", 3), "ab");
    EXPECT_EQ(Terminal::FitWidth("ab\xE6\x97\xA5\xE6\x9C\xAC", 5), "ab\xE6\x97\xA5");
    EXPECT_EQ(line.substr(0, line.find(':')), "Synchronising 2 of 5 objects, 10 of 40 bytes");
}

// A long name loses its middle, not its end: the counts before it and the
// file's own name stay on the line.
TEST(ProgressLineTest, ALongNameIsShortenedInItsMiddle) {
    const std::string head = "Synchronising 1 of 2 objects: ";  // 30 columns
    struct Case {
        std::string name;
        size_t columns;
        std::string shown;
    };
    const Case cases[] = {
        {"/t/short.txt", 79, head + "/t/short.txt"},
        {"/target/some/deep/folder/report-2026.txt", 50, head + "/targe\u2026port-2026.txt"},
        // Two columns for each wide character: never one too many.
        {"/t/a/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 38,
         head + "/t\u2026\xE6\x9C\xAC\xE8\xAA\x9E"},
        // No room for the name at all: the line is cut at its end.
        {"/t/report.txt", 31, head + "/"},
    };
    for (const Case& c : cases) {
        const std::string shown = Terminal::FitMiddle(head, c.name, c.columns);
        EXPECT_EQ(shown, c.shown) << c.name;
        EXPECT_TRUE(IsValidUtf8(shown)) << c.name;
        EXPECT_EQ(Terminal::FitWidth(shown, c.columns), shown) << c.name;
    }
}

// On a terminal, one question for the side that changes says what will
// happen there; Enter (or the end of input) is No and asks nothing again.
TEST_F(MachineOutputTest, OneConfirmationOnTheTerminalAndEnterIsNo) {
    if (!CanOpenTerminal()) GTEST_SKIP() << "no pseudo-terminal can be opened here";
    test::TempTree empty;
    test::TempTree full;
    for (int i = 0; i < 12; ++i)
        full.Write("f" + std::to_string(i) + ".txt", "x");
    const std::string question =
        R"(Please confirm that you want to "Update and Prune Target" on Target ")" + target.Root() +
        "\": copy 2 new files, replace 1 file (the old version goes to the trash), move 2 "
        "objects to the trash; 5 bytes to copy. [yes/NO] ";
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string asked;
        int exitCode;
        bool changed;
    };
    const std::vector<std::string> prune = {"sync",         "-r",          "--method",
                                            "update-prune", source.Path(), target.Path()};
    const std::string mass =
        "The synchronisation will delete 12 of 12 objects in Target \"" + full.Root() + "\".";
    const Case cases[] = {
        {prune, "\n", question, 2, false},
        {prune, "", question, 2, false},
        {{"sync", "--method", "force", empty.Path(), full.Path()}, "\n", mass, 2, false},
        {prune, "y\n", question, 0, true},
    };
    for (const Case& c : cases) {
        const auto result = RunRavelmoorOnTerminal(c.args, c.input, Environment(), 40);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.out;
        EXPECT_EQ(Occurrences(result.out, c.asked), 1u) << result.out;
        EXPECT_EQ(Occurrences(result.out, "Please confirm"), 1u) << result.out;
        EXPECT_TRUE(IsValidUtf8(result.out)) << result.out;
        EXPECT_EQ(target.Exists("only-here.txt"), c.changed);
        EXPECT_EQ(full.Exists("f0.txt"), true);
    }
    EXPECT_EQ(target.Read("docs/report.txt"), "new");
    EXPECT_FALSE(target.Exists("gone"));
}

}  // namespace
}  // namespace ravelmoor
