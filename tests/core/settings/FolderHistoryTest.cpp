#include <gtest/gtest.h>

#include "core/settings/FolderHistory.h"
#include "core/settings/SettingsStore.h"
#include "support/TempConfigHome.h"

namespace ravelmoor {
namespace {

using Entries = std::vector<std::string>;

TEST(FolderHistory, AddToHistoryPutsTheTextFirstAndKeepsSix) {
    struct Case {
        Entries before;
        std::string added;
        Entries after;
    };
    const std::vector<Case> cases = {
        {{}, "/a", {"/a"}},
        {{"/a", "/b"}, "/c", {"/c", "/a", "/b"}},
        {{"/a", "/b", "/c"}, "/b", {"/b", "/a", "/c"}},
        {{"/a", "/Data"}, "/data", {"/data", "/a"}},
        {{"/1", "/2", "/3", "/4", "/5", "/6"}, "/7", {"/7", "/1", "/2", "/3", "/4", "/5"}},
        {{"/1", "/2", "/3", "/4", "/5", "/6"}, "/6", {"/6", "/1", "/2", "/3", "/4", "/5"}},
        {{"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8"},
         "/9",
         {"/9", "/1", "/2", "/3", "/4", "/5"}},
    };
    for (const Case& c : cases) {
        test::TempConfigHome home;
        {
            SettingsStore store;
            for (size_t i = 0; i < c.before.size(); ++i)
                store.WriteString("LS", std::to_string(i), c.before[i]);
        }
        FolderHistory history(FolderHistory::kSourceSection);
        history.Load(SettingsStore());
        EXPECT_EQ(history.Entries(), c.before);
        history.AddToHistory(c.added);
        EXPECT_EQ(history.Entries(), c.after) << c.added;
    }
}

TEST(FolderHistory, SaveRewritesTheWholeSection) {
    test::TempConfigHome home;
    home.WriteIni("[LT]\n0=/old\n1=/older\n2=/oldest\nextra=/x\n\n[LS]\n0=/kept\n");
    FolderHistory history(FolderHistory::kTargetSection);
    history.Load(SettingsStore());
    EXPECT_EQ(history.Entries(), (Entries{"/old", "/older", "/oldest", "/x"}));
    history.AddToHistory("/new");
    {
        SettingsStore store;
        history.Save(store);
    }
    EXPECT_EQ(home.Ini(), "[LS]\n0=/kept\n\n[LT]\n0=/new\n1=/old\n2=/older\n3=/oldest\n4=/x\n");
}

}  // namespace
}  // namespace ravelmoor
