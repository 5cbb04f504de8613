#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/results/VisualiseDifferences.h"
#include "core/settings/Settings.h"
#include "core/sync/DifferenceViewerCommand.h"
#include "support/ScriptedPrompter.h"

namespace ravelmoor {
namespace {

// A desktop whose fetch of each pair's Target ends as the test says, and
// which remembers what it started.
class ScriptedHost : public ViewerHost {
  public:
    explicit ScriptedHost(std::map<std::string, FetchOutcome> fetches)
        : fetches_(std::move(fetches)) {}
    FetchOutcome MakeLocal(PathPair& pair) override {
        const auto found = fetches_.find(pair.target);
        return found == fetches_.end() ? FetchOutcome() : found->second;
    }
    bool Start(const ViewerCommand& command) override {
        started.push_back(command.arguments.back());
        return true;
    }
    bool EditSettings() override { return false; }

    std::vector<std::string> started;

  private:
    std::map<std::string, FetchOutcome> fetches_;
};

// A pair whose file cannot be fetched is said and skipped; a fetch the user
// cancelled ends the visualising without a word.
TEST(VisualiseDifferences, FetchOutcomeDecidesWhatHappensToThePairsLeft) {
    const std::vector<PathPair> pairs = {{"/s/a", "/t/a"}, {"/s/b", "/t/b"}, {"/s/c", "/t/c"}};
    struct Row {
        const char* name;
        std::map<std::string, FetchOutcome> fetches;
        std::vector<std::string> said;
        std::vector<std::string> started;
    };
    const Row rows[] = {
        {"all fetched", {}, {}, {"/t/a", "/t/b", "/t/c"}},
        {"one refused",
         {{"/t/b", FetchOutcome(FetchStatus::Failed, "Can not download /t/b: gone")}},
         {"Can not download /t/b: gone"},
         {"/t/a", "/t/c"}},
        {"cancelled", {{"/t/b", FetchOutcome(FetchStatus::Stopped)}}, {}, {"/t/a"}},
    };
    Settings settings;
    settings.comparisonProgram = "/usr/bin/true";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::ScriptedPrompter prompter;  // Yes to "more than one pair?"
        ScriptedHost host(row.fetches);
        VisualiseDifferences(pairs.size(), pairs, settings, prompter, host);
        std::vector<std::string> said = prompter.Texts();
        ASSERT_FALSE(said.empty());
        said.erase(said.begin());  // the question about several pairs
        EXPECT_EQ(said, row.said);
        EXPECT_EQ(host.started, row.started);
    }
}

}  // namespace
}  // namespace ravelmoor
