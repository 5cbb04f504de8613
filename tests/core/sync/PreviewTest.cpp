#include "core/sync/DifferenceViewerCommand.h"
#include "core/sync/PreviewLines.h"
#include "support/SyncFixture.h"

namespace ravelmoor::test {
namespace {

// A plan with all three kinds of action, as data: the preview shows the plan,
// whatever method made it.
class PreviewTest : public SyncTest {
  protected:
    void SetUp() override {
        SyncTest::SetUp();
        source.Write("A.txt", "new", 2000);
        target.Write("a.txt", "old", 1000);
        source.Write("b.txt", "old", 1000);
        target.Write("b.txt", "new", 2000);
        target.Write("gone.txt", "g");
        source.Write("Docs/new.txt", "n");
        target.MakeFolder("docs");
        Compare();
        plan.copyToTarget = {RowOf("A.txt"), RowOf("Docs/new.txt")};
        plan.copyToSource = {RowOf("b.txt")};
        plan.deleteInTarget = {RowOf("gone.txt"), RowOf("Docs")};
    }
    SyncPlan plan;
};

// Each action's line names the paths the execution uses, in their colours;
// a copy sent the other way reads the other way.
TEST_F(PreviewTest, LinesOfEachStepWithTheirColours) {
    const PreviewLines lines(Sides());
    std::vector<std::string> texts;
    std::vector<PreviewLine> all;
    for (const PlanEntry& entry : EntriesOf(plan)) {
        all.push_back(lines.Of(entry.row, entry.step));
        texts.push_back(all.back().PlainText());
    }
    texts.push_back(lines.Of(RowOf("A.txt"), PlanStep::CopyToSource).PlainText());
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "would copy SOURCE " + source.Full("A.txt") + " to OVERWRITE TARGET " +
                             target.Full("a.txt"),
                         "would copy SOURCE " + source.Full("Docs/new.txt") + " to TARGET ",
                         "would copy TARGET " + target.Full("b.txt") + " to OVERWRITE SOURCE " +
                             source.Full("b.txt"),
                         "would DELETE TARGET " + target.Full("gone.txt"),
                         "would DELETE TARGET folder " + target.Full("docs"),
                         "would copy TARGET " + target.Full("a.txt") + " to OVERWRITE SOURCE " +
                             source.Full("A.txt"),
                     }));
    using C = PreviewColour;
    EXPECT_EQ(all[0].runs, (std::vector<PreviewRun>{{"would copy SOURCE ", C::WindowText},
                                                    {source.Full("A.txt"), C::Green},
                                                    {" to OVERWRITE TARGET ", C::WindowText},
                                                    {target.Full("a.txt"), C::Red}}));
    EXPECT_EQ(all[4].runs, (std::vector<PreviewRun>{{"would DELETE TARGET folder ", C::WindowText},
                                                    {target.Full("docs"), C::Red}}));
    const PreviewLine total = PreviewLines::Total(5);
    EXPECT_EQ(total.PlainText(), "Total Files/Folders copied or deleted: 5");
    EXPECT_EQ(total.runs[0].colour, C::Blue);
}

struct CommandCase {
    const char* parameters;
    const char* expected;
};

TEST(DifferenceViewerCommand, PlaceholdersAreFilledByPosition) {
    const CommandCase cases[] = {
        {"\"%s1\" \"%s2\"", "/usr/bin/meld \"/s/a b\" \"/t/a b\""},
        {"--left=%s2 --right=%s1", "/usr/bin/meld --left=/s/a b --right=/t/a b"},
        {"%s1 100%% %s2 %s1", "/usr/bin/meld /s/a b 100% /t/a b "},
        {"%d %s1", "/usr/bin/meld %d /s/a b"},
        {"", "/usr/bin/meld "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FillDifferenceCommand(DifferenceCommandTemplate("/usr/bin/meld", c.parameters),
                                        "/s/a b", "/t/a b"),
                  c.expected)
            << c.parameters;
    }
    EXPECT_EQ(DifferenceCommandTemplate("/opt/%s1/diff", "%s2"), "/opt/%s/diff %s");
}

TEST(DifferenceViewerCommand, EachPathIsOneArgumentWhateverItHolds) {
    struct Case {
        const char* program;
        const char* parameters;
        std::vector<std::string> arguments;
    };
    const std::string s = R"(/s/it's "a b".txt)";
    const std::string t = "/t/a  b";
    const Case cases[] = {
        {"/opt/my viewer/bin", R"("%s1" "%s2")", {s, t}},
        {"\"/opt/my viewer/bin\"", R"(--left="%s2" -x %s1)", {"--left=" + s, "-x", t}},
        {"/opt/my viewer/bin", R"("a title" 100%% %s1%s2)", {"a title", "100%", s + t}},
        {"/opt/my viewer/bin", "", {}},
    };
    for (const Case& c : cases) {
        const ViewerCommand command = MakeViewerCommand(c.program, c.parameters, s, t);
        EXPECT_EQ(command.program, "/opt/my viewer/bin") << c.parameters;
        EXPECT_EQ(command.arguments, c.arguments) << c.parameters;
    }
}

}  // namespace
}  // namespace ravelmoor::test
