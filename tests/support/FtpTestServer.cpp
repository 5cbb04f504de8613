#include "support/FtpTestServer.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <cstdlib>

#include "core/ftp/FtpConnectionStore.h"

namespace ravelmoor::test {
namespace {

// The first line the server writes: "PORT <n>" once it listens.
int ReadPort(int fd) {
    std::string line;
    char c = 0;
    while (line.size() < 64) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 30000) <= 0) return 0;
        if (::read(fd, &c, 1) != 1) return 0;
        if (c == '\n') break;
        line.push_back(c);
    }
    if (line.rfind("PORT ", 0) != 0) return 0;
    return std::atoi(line.c_str() + 5);
}

}  // namespace

FtpTestServer::FtpTestServer(const std::string& folder, const std::string& user,
                             const std::string& password, const std::vector<std::string>& flags)
    : user_(user), password_(password) {
    std::vector<std::string> words = {"/usr/bin/python3", RAVELMOOR_FTP_TEST_SERVER, "--dir",
                                      folder};
    if (!user.empty()) {
        words.insert(words.end(), {"--user", user, "--password", password});
    }
    words.insert(words.end(), flags.begin(), flags.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0) {
        ADD_FAILURE() << "pipe failed";
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        // The server goes with the test, however the test ends.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (pid_ > 0) port_ = ReadPort(out[0]);
    ::close(out[0]);
    EXPECT_GT(port_, 0) << "the FTP test server did not start";
}

FtpTestServer::~FtpTestServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
}

std::string FtpTestServer::Server() const {
    return "127.0.0.1:" + std::to_string(port_);
}

FtpConnection FtpTestServer::Connection(const std::string& directory) const {
    return FtpConnectionStore::WithDefaultLogon({Server(), user_, password_, directory});
}

}  // namespace ravelmoor::test
