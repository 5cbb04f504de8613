#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <libssh/libssh.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/sftp/SshConfig.h"
#include "support/RunProgram.h"
#include "support/SshTestServer.h"
#include "support/TempConfigHome.h"
#include "support/TempTree.h"

namespace ravelmoor {
namespace {

using test::RunRavelmoor;
using ::testing::HasSubstr;
using ::testing::Not;

void WriteFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

// HOME set to a folder of the test's own while the object lives.
class ScopedHome {
  public:
    explicit ScopedHome(const std::string& home) {
        if (const char* previous = std::getenv("HOME")) previous_ = previous;
        ::setenv("HOME", home.c_str(), 1);
    }
    ~ScopedHome() { ::setenv("HOME", previous_.c_str(), 1); }
    ScopedHome(const ScopedHome&) = delete;
    ScopedHome& operator=(const ScopedHome&) = delete;

  private:
    std::string previous_;
};

// The configuration is read as OpenSSH reads it, including where libssh's
// own parser would read it otherwise (a negated pattern, the Host lines
// after a HostName); the connection's own user and port go over it.
TEST(SshConfig, ReadsTheHostAsOpenSshDoes) {
    test::TempTree home;
    const ScopedHome scoped(home.Path());
    WriteFile(home.Full(".ssh/config"),
              "Host mybox\n"
              "  HostName 127.0.0.1\n  Port 2222\n  User alice\n"
              "  UserKnownHostsFile ~/.ssh/known_mybox\n"
              "Host first\n  Port 1111\n"
              "Host first\n  Port 2222\n"
              "Host *.lan !nas.lan\n  User lanuser\n"
              "Host renamed\n  HostName real.example\n"
              "Host real.example\n  Port 5555\n"
              "Host viajump\n  HostName 10.0.0.5\n  ProxyJump bob@jumphost:2200,second\n"
              "Host piped\n  ProxyCommand nc %h %p\n"
              "Host strict\n  StrictHostKeyChecking yes\n"
              "Host lax\n  StrictHostKeyChecking no\n"
              "Host *\n  Port 2020\n");
    struct Case {
        std::string host;
        std::string user;  // the connection's own
        int port;
        std::string toHost;
        int toPort;
        std::string toUser;
        std::string proxy;
        bool strict;
    };
    const std::vector<Case> cases = {
        {"mybox", "", 22, "127.0.0.1", 2222, "alice", "", false},
        {"mybox", "carl", 2200, "127.0.0.1", 2200, "carl", "", false},
        {"first", "", 22, "first", 1111, "", "", false},
        {"pc.lan", "", 22, "pc.lan", 2020, "lanuser", "", false},
        {"nas.lan", "", 22, "nas.lan", 2020, "", "", false},
        {"renamed", "", 22, "real.example", 2020, "", "", false},
        {"viajump", "", 22, "10.0.0.5", 2020, "",
         "ssh -F '" + home.Full(".ssh/config") +
             "' -l 'bob' -p '2200' -J 'second' -W '[10.0.0.5]:2020' 'jumphost'",
         false},
        {"piped", "", 22, "piped", 2020, "", "nc piped 2020", false},
        {"strict", "", 22, "strict", 2020, "", "", true},
        {"lax", "", 22, "lax", 2020, "", "", false},
    };
    const passwd* entry = ::getpwuid(::getuid());
    const std::string me = entry != nullptr ? entry->pw_name : "";
    for (const Case& c : cases) {
        SftpConnection connection;
        connection.host = c.host;
        connection.user = c.user;
        connection.port = c.port;
        ssh_session session = ssh_new();
        const SshConfig config = SshConfig::Apply(session, connection);
        ssh_free(session);
        EXPECT_EQ(config.Problem(), "") << c.host;
        EXPECT_EQ(config.Host(), c.toHost) << c.host;
        EXPECT_EQ(config.Port(), c.toPort) << c.host;
        // Without a User line, the local user logs on.
        EXPECT_EQ(config.User(), c.toUser.empty() ? me : c.toUser) << c.host;
        EXPECT_EQ(config.ProxyCommand(), c.proxy) << c.host;
        EXPECT_EQ(config.RefusesUnknownHostKeys(), c.strict) << c.host;
    }
    ssh_session session = ssh_new();
    SftpConnection mybox;
    mybox.host = "mybox";
    EXPECT_EQ(SshConfig::Apply(session, mybox).KnownHostsFile(), home.Full(".ssh/known_mybox"));
    ssh_free(session);
}

// A user's habits on a real server: a host alias that only ~/.ssh/config
// knows, a ProxyJump through a second server, and the errors of both.
class SshConfigOnTheCommandLine : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(jump.Running());
        ASSERT_TRUE(server.Running());
        environment = config.Environment();
        environment["XDG_DATA_HOME"] = state.Full("data");
        environment["XDG_STATE_HOME"] = state.Full("state");
        served.Write("on-the-server.txt", "s", 1000);
        local.Write("here.txt", "h", 1000);
    }
    // ~/.ssh/config of the HOME the program runs with (the last server's).
    void WriteConfig(const std::string& text) { WriteFile(server.Home() + "/.ssh/config", text); }
    std::string Box(const std::string& name, const std::string& extra = {}) const {
        return "Host " + name + "\n  HostName 127.0.0.1\n  Port " + std::to_string(server.Port()) +
               "\n  IdentityFile " + server.UserKey() + "\n" + extra;
    }
    std::string Jump(const std::string& port) const {
        WriteFile(server.Home() + "/.ssh/jump_known_hosts", jump.KnownHostsLine() + "\n");
        return "Host jumphost\n  HostName 127.0.0.1\n  Port " + port + "\n  IdentityFile " +
               jump.UserKey() + "\n  UserKnownHostsFile " + server.Home() +
               "/.ssh/jump_known_hosts\n  StrictHostKeyChecking yes\n  BatchMode yes\n";
    }
    test::ProgramResult Add(const std::string& host) {
        return RunRavelmoor({"sftp", "add", "--host", host, "--dir", served.Path()}, environment);
    }
    test::ProgramResult Compare(const std::string& name, bool acceptKey = true) {
        std::vector<std::string> args = {"compare", "--format", "tsv"};
        if (acceptKey) args.push_back("--accept-new-host-key");
        args.insert(args.end(), {local.Path(), "(sftp) " + name + served.Path()});
        return RunRavelmoor(args, environment);
    }

    test::SshTestServer jump;
    test::SshTestServer server;  // HOME is its home from here on
    test::TempConfigHome config;
    test::TempTree state;
    test::TempTree served;
    test::TempTree local;
    std::map<std::string, std::string> environment;
};

TEST_F(SshConfigOnTheCommandLine, AnAliasAndAProxyJumpReachTheServer) {
    const std::string rows =
        "unmatched\tmissing\tfile\t0\there.txt\n"
        "missing\tunmatched\tfile\t0\ton-the-server.txt\n";
    struct Case {
        std::string name;
        std::string config;
    };
    const Case cases[] = {
        // "sftp add --host mybox" stored a host only ~/.ssh/config knows, and
        // the compare failed: "Cannot find the host mybox".
        {"mybox", Box("mybox")},
        {"behindjump",
         Box("behindjump", "  ProxyJump jumphost\n") + Jump(std::to_string(jump.Port()))},
    };
    for (const Case& c : cases) {
        WriteConfig(c.config);
        const auto added = Add(c.name);
        ASSERT_EQ(added.exitCode, 0) << added.err;
        const auto compared = Compare(c.name);
        EXPECT_EQ(compared.exitCode, 1) << c.name << ": " << compared.err;
        EXPECT_EQ(compared.out, rows) << c.name;
    }
    // The key of the server behind the jump is remembered under its own
    // name and port, as ssh remembers it.
    EXPECT_THAT(FileText(server.KnownHosts()),
                HasSubstr("[127.0.0.1]:" + std::to_string(server.Port()) + " "));
}

// Errors end with the system's reason (or ssh's, for a jump), not with the
// empty "Server: User:" fields every SFTP error used to end with; a host key
// the configuration's StrictHostKeyChecking refuses is refused even when the
// command line would take it.
TEST_F(SshConfigOnTheCommandLine, FailuresSayWhyInTheirOwnWords) {
    const std::string closedPort = std::to_string(jump.Port() == 65535 ? 1 : jump.Port() + 1000);
    struct Case {
        std::string name;
        std::string config;
        std::vector<std::string> says;
    };
    const Case cases[] = {
        {"closedbox",
         "Host closedbox\n  HostName 127.0.0.1\n  Port " + closedPort + "\n",
         {"Cannot connect to closedbox (127.0.0.1:" + closedPort + "): Connection refused"}},
        {"deadjump",
         Box("deadjump", "  ProxyJump jumphost\n") + Jump(closedPort),
         {"Cannot connect to deadjump (127.0.0.1:" + std::to_string(server.Port()) + "): ",
          "(the proxy command: ", "port " + closedPort + ": Connection refused"}},
        {"strictbox",
         Box("strictbox", "  StrictHostKeyChecking yes\n"),
         {"is not known", "StrictHostKeyChecking in the SSH configuration refuses"}},
    };
    for (const Case& c : cases) {
        WriteConfig(c.config);
        ASSERT_EQ(Add(c.name).exitCode, 0);
        const auto compared = Compare(c.name);
        EXPECT_EQ(compared.exitCode, 2) << c.name;
        EXPECT_EQ(compared.out, "") << c.name;
        for (const std::string& words : c.says)
            EXPECT_THAT(compared.err, HasSubstr(words)) << c.name;
        EXPECT_THAT(compared.err, Not(HasSubstr("Server:"))) << c.name;
        EXPECT_THAT(compared.err, Not(HasSubstr(" User:"))) << c.name;
    }
    EXPECT_EQ(FileText(server.KnownHosts()), "");
}

}  // namespace
}  // namespace ravelmoor
