#include <gtest/gtest.h>

#include "core/ftp/FtpConnectionStore.h"
#include "core/settings/SettingsStore.h"
#include "core/sftp/SftpConnectionStore.h"
#include "support/TempConfigHome.h"

namespace ravelmoor {
namespace {

SftpConnection KeyLogon() {
    SftpConnection connection;
    connection.host = "srv";
    connection.port = 2222;
    connection.user = "anna";
    connection.directory = "/data/";
    connection.logon = SftpLogon::KeyFile;
    connection.keyFile = "/home/anna/.ssh/id_ed25519";
    connection.secret = "pass phrase";
    return connection;
}

TEST(SftpConnectionStore, RoundTripsBesideFtpWithTheSecretOutsideTheFile) {
    test::TempConfigHome home;
    {
        SettingsStore settingsStore;
        SftpConnectionStore store(settingsStore);
        // An FTP connection of the same name is another record.
        FtpConnectionStore(settingsStore)
            .WriteConnection("work", {"ftp.example", "bob", "pw", "/"});
        const auto written = store.WriteConnection("work", KeyLogon());
        EXPECT_TRUE(written.stored) << written.text;
        ASSERT_TRUE(settingsStore.Sync().Ok());
    }
    EXPECT_EQ(home.Ini().find("pass phrase"), std::string::npos) << home.Ini();
    SettingsStore settingsStore;
    SftpConnectionStore store(settingsStore);
    EXPECT_EQ(store.ConnectionNames(), std::vector<std::string>{"work"});
    EXPECT_EQ(store.LookupConnection("work"), KeyLogon());
    EXPECT_EQ(FtpConnectionStore(settingsStore).LookupConnection("work").password, "pw");
    EXPECT_TRUE(store.LookupConnection("Work").IsEmpty());

    store.DeleteConnection("work");
    EXPECT_TRUE(store.LookupConnection("work").IsEmpty());
    EXPECT_EQ(FtpConnectionStore(settingsStore).LookupConnection("work").server, "ftp.example");
}

// The fields the connections dialog can hold are checked, with the exact
// messages, in SftpConnectionsDialogTest; here those it cannot.
TEST(SftpConnectionStore, RefusesBadFieldsAndWritesNothing) {
    test::TempConfigHome home;
    SettingsStore settingsStore;
    SftpConnectionStore store(settingsStore);
    struct Case {
        std::string name;
        SftpConnection connection;
        std::string says;
    };
    auto with = [](auto change) {
        SftpConnection connection = KeyLogon();
        change(connection);
        return connection;
    };
    const std::vector<Case> cases = {
        {"a\nb", KeyLogon(), "connection name"},
        {"c", with([](SftpConnection& c) { c.port = 70000; }), "70000"},
    };
    for (const Case& c : cases) {
        const auto written = store.WriteConnection(c.name, c.connection);
        EXPECT_FALSE(written.stored) << c.says;
        EXPECT_NE(written.text.find(c.says), std::string::npos) << written.text;
    }
    EXPECT_TRUE(store.ConnectionNames().empty());
}

}  // namespace
}  // namespace ravelmoor
