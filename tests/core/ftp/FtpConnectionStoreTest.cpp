#include <gtest/gtest.h>

#include "core/ftp/FtpConnectionStore.h"
#include "core/settings/SettingsStore.h"
#include "support/TempConfigHome.h"

namespace ravelmoor {
namespace {

const FtpConnection kPub{"host1", "anna", "1234", "/pub/"};

TEST(FtpConnectionStore, ConnectionsRoundTripThroughTheFileAndLookupIsByteExact) {
    test::TempConfigHome home;
    {
        SettingsStore settingsStore;
        FtpConnectionStore store(settingsStore);
        store.WriteConnection("host1/pub/", kPub);
        store.WriteConnection("h/", {"h", "", "", "/", true});
        ASSERT_TRUE(settingsStore.Sync().Ok());
    }
    // '/' is kept as a character that sorts after every byte.
    EXPECT_NE(home.Ini().find("[Index]\nhost1%U2215pub%U2215=ftp_host1/pub/\nh%U2215=ftp_h/\n"),
              std::string::npos)
        << home.Ini();

    SettingsStore settingsStore;
    const FtpConnectionStore store(settingsStore);
    EXPECT_EQ(store.ConnectionNames(), (std::vector<std::string>{"host1/pub/", "h/"}));
    struct Case {
        std::string name;
        FtpConnection expected;
    };
    const std::vector<Case> cases = {
        {"host1/pub/", kPub}, {"h/", {"h", "", "", "/", true}},
        {"HOST1/pub/", {}},   {"host1/pub", {}},
        {"host1/pub/ ", {}},  {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store.LookupConnection(c.name), c.expected) << c.name;
}

// The section is named after the index key; the index value is never read.
TEST(FtpConnectionStore, IndexDataIsNeverReadAndAMissingValueIsEmpty) {
    test::TempConfigHome home;
    home.WriteIni("[Index]\nwork=somewhere_else\n\n[ftp_work]\nServer=ftp.example.org\n");
    SettingsStore settingsStore;
    const FtpConnectionStore store(settingsStore);
    EXPECT_EQ(store.LookupConnection("work"), (FtpConnection{"ftp.example.org", "", "", ""}));
}

}  // namespace
}  // namespace ravelmoor
