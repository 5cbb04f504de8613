#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <sstream>

#include "cli/SyncProgress.h"
#include "cli/Terminal.h"
#include "core/engine/NameEscape.h"
#include "support/RunProgram.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The trees of SyncCommandTest, plus a name that is not UTF-8 and a folder
// whose way is blocked by a file on Target (its copy fails, even as root).
class MachineOutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        source.Write("same.txt", "same");
        target.Write("same.txt", "same");
        source.Write("Docs/report.txt", "new", 2000);
        target.Write("docs/report.txt", "old", 1000);
        source.Write("only-here.txt", "x", 1500);
        target.Write("gone/old.txt", "y");
        source.Write("caf\xE9.txt", "c", 1700);
    }
    std::map<std::string, std::string> Environment() const {
        return {{"HOME", home.Path()}, {"XDG_DATA_HOME", home.Full("data")}};
    }
    test::TempTree source;
    test::TempTree target;
    test::TempTree home;
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
        std::string rebuilt;
        for (const QJsonValue value : document["rows"].toArray()) {
            const QJsonObject row = value.toObject();
            rebuilt += row["source_status"].toString().toStdString() + "\t" +
                       row["target_status"].toString().toStdString() + "\t" +
                       (row["kind"].toString() == "folder" ? "folder" : "file") + "\t" +
                       (row["excluded"].toBool() ? "1" : "0") + "\t" + EscapeName(NameBytes(row)) +
                       "\n";
        }
        EXPECT_EQ(rebuilt, tsv.out) << json.out;
        EXPECT_NE(json.out.find("\"path_bytes\":\"Y2Fm6S50eHQ=\""), std::string::npos);
    }
}

// The plan, and what the sync made of it: each action with its outcome and
// reason; the same actions in the log, which later runs append to.
TEST_F(MachineOutputTest, SyncJsonAndLogGiveEachActionItsOutcome) {
    source.Write("blocked/inner.txt", "z");
    target.Write("blocked", "a file in the way");
    const std::string log = home.Full("sync.log");
    struct Expected {
        std::string action, kind, path, outcome;
        bool reason;
    };
    const std::vector<Expected> done = {
        {"copy", "file", "caf\xE9.txt", "done", false},
        {"copy", "file", "only-here.txt", "done", false},
        {"copy", "folder", "blocked", "failed", true},
        {"copy", "file", "blocked/inner.txt", "failed", true},
        {"replace", "file", "docs/report.txt", "done", false},
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
        args.insert(args.end(), {source.Path(), target.Path()});
        const auto result = RunRavelmoor(args, Environment());
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        const QJsonObject document = Parse(result.out);
        EXPECT_EQ(document["format"].toString(), "ravelmoor-sync");
        EXPECT_EQ(document["method"].toString(), "update");
        EXPECT_EQ(document["dry_run"].toBool(), c.dryRun);
        const QJsonArray actions = document["actions"].toArray();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(done.size())) << result.out;
        for (size_t i = 0; i < done.size(); ++i) {
            const QJsonObject action = actions[static_cast<qsizetype>(i)].toObject();
            EXPECT_EQ(action["action"].toString().toStdString(), done[i].action);
            EXPECT_EQ(action["side"].toString(), "target");
            EXPECT_EQ(action["kind"].toString().toStdString(), done[i].kind);
            EXPECT_EQ(NameBytes(action), done[i].path);
            EXPECT_EQ(action["outcome"].toString().toStdString(),
                      c.dryRun ? "planned" : done[i].outcome);
            EXPECT_EQ(action.contains("reason"), !c.dryRun && done[i].reason) << done[i].path;
        }
        EXPECT_EQ(actions[4].toObject()["replaced_mtime"].toInteger(), 1000);
    }
    EXPECT_EQ(target.Read("caf\xE9.txt"), "c");
    EXPECT_EQ(target.Read("blocked"), "a file in the way");

    const std::string text = ReadFile(log);
    EXPECT_EQ(Occurrences(text, "# ravelmoor sync "), 2u) << text;
    EXPECT_NE(text.find("# source: " + source.Root() + "\n# target: " + target.Root() +
                        "\n# method: update, compared by size-time\n"),
              std::string::npos);
    EXPECT_NE(text.find("planned\tcopy\ttarget\tonly-here.txt\n"), std::string::npos);
    EXPECT_NE(text.find("done\tcopy\ttarget\tcaf\\xE9.txt\n"), std::string::npos);
    EXPECT_NE(text.find("failed\tcopy\ttarget\tblocked/\t\"" + target.Full("blocked") + "\" is"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("done\treplace\ttarget\tdocs/report.txt\n# Synchronised in "),
              std::string::npos);
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
    const Case cases[] = {
        {{"sync", "-r", "--method", "update", "--yes", "--log", noLog, source.Path(),
          target.Path()},
         {},
         "ravelmoor: Can not open the log file: " + noLog + " (No such file or directory)\n"},
        {{"compare", "-r", source.Path(), target.Path()},
         "/dev/full",
         "ravelmoor: Can not write the output: standard output (No space left on device)\n"},
        {{"sync", "-rn", "--format", "json", "--method", "update", source.Path(), target.Path()},
         "/dev/full",
         "ravelmoor: Can not write the output: standard output (No space left on device)\n"},
        {{"--version"},
         "/dev/full",
         "ravelmoor: Can not write the output: standard output (No space left on device)\n"},
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

// On a terminal, one question for the side that changes says what will
// happen there; Enter (or the end of input) is No and asks nothing again.
TEST_F(MachineOutputTest, OneConfirmationOnTheTerminalAndEnterIsNo) {
    test::TempTree empty;
    test::TempTree full;
    for (int i = 0; i < 12; ++i)
        full.Write("f" + std::to_string(i) + ".txt", "x");
    const std::string question =
        "Please confirm that you want to \"Update and Prune Target\" on Target \"" + target.Root() +
        "\": copy 2 new files, replace 1 file (the old version goes to the trash), move 2 "
        "objects to the trash; 5 bytes to copy. [yes/NO] ";
    struct Case {
        std::vector<std::string> args;
        std::string input;
        int exitCode;
        std::string asked;
        bool changed;
    };
    const Case cases[] = {
        {{"sync", "-r", "--method", "update-prune", source.Path(), target.Path()},
         "\n",
         2,
         question,
         false},
        {{"sync", "-r", "--method", "update-prune", source.Path(), target.Path()},
         "",
         2,
         question,
         false},
        {{"sync", "--method", "force", empty.Path(), full.Path()},
         "\n",
         2,
         "The synchronisation will delete 12 of 12 objects in Target \"" + full.Root() + "\".",
         false},
        {{"sync", "-r", "--method", "update-prune", source.Path(), target.Path()},
         "y\n",
         0,
         question,
         true},
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
