#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "cli/CommandTest.h"

namespace ravelmoor {
namespace {

using ::testing::HasSubstr;

using test::RunRavelmoor;

using Edit = std::function<void(QJsonObject& document)>;

// The action of `document` whose Source or Target facts name `path`.
QJsonObject* ActionOn(QJsonArray& actions, const QString& path, QJsonObject& holder, int& index) {
    for (index = 0; index < actions.size(); ++index) {
        holder = actions[index].toObject();
        for (const char* side : {"source", "target"}) {
            if (holder[side].toObject()["path"].toString() == path) return &holder;
        }
    }
    ADD_FAILURE() << "no action on " << path.toStdString();
    return nullptr;
}

// Changes the action on `path` with `change`, or removes it without one.
Edit OnAction(const QString& path, std::function<void(QJsonObject&)> change = nullptr) {
    return [path, change](QJsonObject& document) {
        QJsonArray actions = document["actions"].toArray();
        QJsonObject action;
        int index = 0;
        if (ActionOn(actions, path, action, index) == nullptr) return;
        if (change) {
            change(action);
            actions[index] = action;
        } else {
            actions.removeAt(index);
        }
        document["actions"] = actions;
    };
}

class PlanFileTest : public test::CommandTest {
  protected:
    void SetUp() override { WriteDifferingTrees(); }

    // `sync -rn --method update --format json` into a file, edited: the
    // document changed by `edit`, or, as an editor leaves it, the line of
    // the last action deleted (the comma before it stays).
    std::string WritePlan(const Edit& edit, bool deleteLastLine = false) {
        const auto made = RunOnTrees({"sync", "-rn", "--method", "update", "--format", "json"});
        EXPECT_EQ(made.exitCode, 1) << made.err;
        std::string text = made.out;
        if (deleteLastLine) {
            const size_t end = text.find("\n],");
            const size_t start = text.rfind('\n', end - 1);
            text.erase(start, end - start);
        }
        if (edit) {
            QJsonObject document =
                QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
            edit(document);
            text = QJsonDocument(document).toJson().toStdString();
        }
        return Save(text);
    }
    std::string Save(const std::string& text) {
        const std::string path = home.Full("plan.json");
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    test::ProgramResult RunPlan(const std::string& plan) {
        return RunRavelmoor({"sync", "--plan", plan, "--yes"}, Environment());
    }
};

// A plan written by a dry run, edited or not, runs exactly its actions.
TEST_F(PlanFileTest, EditedPlanRunsTheEditedList) {
    const std::map<std::string, std::string> sourceBefore = source.Contents();
    const std::map<std::string, std::string> targetBefore = target.Contents();
    struct Case {
        const char* name;
        Edit edit;
        std::map<std::string, std::string> sourceChanges;
        std::map<std::string, std::string> targetChanges;
        bool deleteLastLine = false;
    };
    const std::vector<Case> cases = {
        {"as written", nullptr, {}, {{"docs/report.txt", "new"}, {"only-here.txt", "x"}}},
        {"the last action's line deleted", nullptr, {}, {{"only-here.txt", "x"}}, true},
        {"a row removed", OnAction("only-here.txt"), {}, {{"docs/report.txt", "new"}}},
        {"a row skipped",
         OnAction("Docs/report.txt", [](QJsonObject& a) { a["outcome"] = "skipped"; }),
         {},
         {{"only-here.txt", "x"}}},
        {"a copy reversed",
         OnAction("Docs/report.txt", [](QJsonObject& a) { a["side"] = "source"; }),
         {{"Docs/report.txt", "old"}},
         {{"only-here.txt", "x"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string plan = WritePlan(c.edit, c.deleteLastLine);
        const auto run = RunPlan(plan);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::map<std::string, std::string> sourceAfter = sourceBefore;
        std::map<std::string, std::string> targetAfter = targetBefore;
        for (const auto& [path, content] : c.sourceChanges)
            sourceAfter[path] = content;
        for (const auto& [path, content] : c.targetChanges)
            targetAfter[path] = content;
        EXPECT_EQ(source.Contents(), sourceAfter);
        EXPECT_EQ(target.Contents(), targetAfter);
        // Back to the trees the plan is made on, for the next case.
        source.Write("Docs/report.txt", "new", 2000);
        target.Write("docs/report.txt", "old", 1000);
        std::filesystem::remove(target.Full("only-here.txt"));
    }
}

// A row whose facts changed since the plan was made stops the whole plan
// before anything is done, and is named with how it changed.
TEST_F(PlanFileTest, RowsChangedSinceThePlanAreRefusedByName) {
    struct Case {
        const char* name;
        std::function<void()> change;
        std::string named;
    };
    const std::vector<Case> cases = {
        {"changed", [&] { source.Write("only-here.txt", "xy", 1500); },
         "only-here.txt (changed in Source)"},
        {"gone", [&] { std::filesystem::remove(source.Full("only-here.txt")); },
         "only-here.txt (gone from Source)"},
        {"new on the other side", [&] { target.Write("only-here.txt", "z", 1500); },
         "only-here.txt (new in Target)"},
        {"replaced file touched", [&] { target.SetTime("docs/report.txt", 1100); },
         "Docs/report.txt (changed in Target)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string plan = WritePlan(nullptr);
        c.change();
        const std::map<std::string, std::string> sourceBefore = source.Contents();
        const std::map<std::string, std::string> targetBefore = target.Contents();
        const auto run = RunPlan(plan);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_THAT(run.err, HasSubstr("The trees changed since the plan"));
        EXPECT_THAT(run.err, HasSubstr("\n  " + c.named)) << run.err;
        EXPECT_EQ(source.Contents(), sourceBefore);
        EXPECT_EQ(target.Contents(), targetBefore);
        // Back as the plan saw it.
        std::filesystem::remove(target.Full("only-here.txt"));
        source.Write("only-here.txt", "x", 1500);
        target.SetTime("docs/report.txt", 1000);
    }
}

// A file that is not a plan is refused, naming the file and what is wrong
// where, and nothing is done.
TEST_F(PlanFileTest, MalformedPlanIsRefusedNamingFileAndField) {
    const auto made = RunOnTrees({"sync", "-rn", "--method", "update", "--format", "json"});
    const std::string written = made.out;
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = written;
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    };
    struct Case {
        const char* name;
        std::string text;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"cut short", written.substr(0, written.size() / 2), ": line "},
        {"not a sync document", replaced("ravelmoor-sync", "ravelmoor-compare"),
         "field \"format\": expected ravelmoor-sync"},
        {"the record of a run", replaced("\"dry_run\":true", "\"dry_run\":false"),
         "field \"dry_run\""},
        {"a side that is none", replaced("\"side\":\"target\"", "\"side\":\"left\""),
         "action 1 (line 2), field \"side\": expected source or target"},
        {"an outcome that is no choice",
         replaced("\"outcome\":\"planned\"", "\"outcome\":\"done\""),
         "action 1 (line 2), field \"outcome\": expected planned or skipped"},
        {"facts without a kind", replaced("\"kind\":\"file\",\"size\":3", "\"size\":3"),
         "field \"source\": expected a \"kind\""},
        {"a method of two-way", replaced("\"method\":\"update\"", "\"method\":\"two-way\""),
         "field \"method\""},
    };
    const std::map<std::string, std::string> targetBefore = target.Contents();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string plan = Save(c.text);
        const auto run = RunPlan(plan);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_THAT(run.err, HasSubstr("The plan file " + plan + " can not be used: "));
        EXPECT_THAT(run.err, HasSubstr(c.reason)) << run.err;
        EXPECT_EQ(target.Contents(), targetBefore);
    }
    const auto missing = RunPlan(home.Full("no-plan.json"));
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_THAT(missing.err,
                HasSubstr("The plan file " + home.Full("no-plan.json") + " can not be read: "));
}

}  // namespace
}  // namespace ravelmoor
