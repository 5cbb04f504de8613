#include <gtest/gtest.h>

#include "app/SettingsStore.h"
#include "ftp/FtpConnectionEditor.h"
#include "ftp/FtpConnectionStore.h"
#include "support/ScriptedPrompter.h"
#include "support/TempConfigHome.h"

namespace ravelmoor {
namespace {

using Result = FtpConnectionEditor::SaveResult;

class FtpConnectionEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store.WriteConnection("host1/pub/", {"host1", "anna", "pw", "/pub/", true});
        store.WriteConnection("Beta/", {"Beta", "", "", "/"});
        editor.Open();
    }
    void Edit(const std::string& server, const std::string& directory) {
        editor.New();
        editor.SetServer(server);
        editor.SetDirectory(directory);
    }

    test::TempConfigHome home;
    SettingsStore settingsStore;
    FtpConnectionStore store{settingsStore};
    test::ScriptedPrompter prompter;
    FtpConnectionEditor editor{store, prompter};
};

TEST_F(FtpConnectionEditorTest, NameFollowsServerAndDirectory) {
    EXPECT_EQ(editor.Names(), (std::vector<std::string>{"Beta/", "host1/pub/"}));
    editor.PickName("host1/pub/");
    editor.SetDirectory("/x/");
    editor.SetServer("ab");
    editor.NameEdited();
    EXPECT_EQ(editor.Name(), "ab/x/");
    EXPECT_EQ(editor.Fields(), (FtpConnection{"ab", "anna", "pw", "/x/", true}));
    editor.New();
    EXPECT_EQ(editor.Name(), "");
    EXPECT_EQ(editor.Fields(), (FtpConnection{"", "", "", "", true}));
}

TEST_F(FtpConnectionEditorTest, OpenPicksTheKeptNameAgain) {
    editor.PickName("host1/pub/");
    editor.Open();
    EXPECT_EQ(editor.Fields().user, "anna");
    editor.SetServer("gone");
    editor.Open();
    EXPECT_EQ(editor.Name(), "");
}

TEST_F(FtpConnectionEditorTest, SaveChecksInOrder) {
    struct Case {
        std::string server;
        std::string directory;
        Result result;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"", "", Result::Refused, "Empty connection name"},
        {"", "/pub/", Result::Refused, "Empty server name"},
        {"ho st", "/", Result::Refused, "Invalid URL for server and directory"},
        {"host:port", "/", Result::Refused, "Invalid URL for server and directory"},
        {"host2", "/pub/", Result::Saved, ""},
        {"ftp://host3", "/my dir/", Result::Saved, ""},
        {"[::1]:2121", "", Result::Saved, ""},
    };
    for (const Case& c : cases) {
        test::ScriptedPrompter quiet;
        FtpConnectionEditor fresh(store, quiet);
        fresh.Open();
        fresh.SetServer(c.server);
        fresh.SetDirectory(c.directory);
        EXPECT_EQ(fresh.Save(), c.result) << c.server;
        EXPECT_EQ(quiet.Texts(),
                  c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
        EXPECT_EQ(store.LookupConnection(c.server + c.directory).server,
                  c.result == Result::Saved ? c.server : "");
    }
}

TEST_F(FtpConnectionEditorTest, ChangingAStoredConnectionAsksFirst) {
    editor.PickName("host1/pub/");
    EXPECT_EQ(editor.Save(), Result::Unchanged);
    EXPECT_TRUE(prompter.Texts().empty());

    editor.SetPassword("new");
    prompter.Script({false});
    EXPECT_EQ(editor.Save(), Result::Declined);
    EXPECT_EQ(store.LookupConnection("host1/pub/").password, "pw");
    EXPECT_EQ(prompter.Texts(),
              std::vector<std::string>{
                  "A connection called host1/pub/ already exists. Do you want to change the "
                  "settings for this connection? If not, press cancel and choose a new "
                  "connection name."});

    prompter.Script({true});
    EXPECT_EQ(editor.Save(), Result::Saved);
    EXPECT_EQ(store.LookupConnection("host1/pub/"),
              (FtpConnection{"host1", "anna", "new", "/pub/", true}));

    // The data connection mode is part of what is stored.
    editor.SetPassive(false);
    prompter.Script({true});
    EXPECT_EQ(editor.Save(), Result::Saved);
    EXPECT_EQ(prompter.Texts().size(), 3u);
    EXPECT_FALSE(store.LookupConnection("host1/pub/").passive);
}

TEST_F(FtpConnectionEditorTest, DeleteNeedsAListedName) {
    EXPECT_FALSE(editor.Delete("nothing/"));
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Select connection name to be deleted"});
    editor.PickName("host1/pub/");
    EXPECT_TRUE(editor.Delete("host1/pub/"));
    EXPECT_EQ(editor.Names(), std::vector<std::string>{"Beta/"});
    EXPECT_EQ(editor.Name(), "");
    EXPECT_EQ(store.ConnectionNames(), std::vector<std::string>{"Beta/"});
    EXPECT_FALSE(settingsStore.HasSection("ftp_host1/pub/"));
}

}  // namespace
}  // namespace ravelmoor
