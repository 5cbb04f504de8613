#include "support/RunProgram.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QProcess>
#include <QProcessEnvironment>

#include <cerrno>
#include <cstdlib>

namespace ravelmoor::test {

namespace {

// Whether the capabilities that override file permissions can be dropped
// from what a program started here may have.
bool CanDropOverride() {
    if (::geteuid() != 0) return true;
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) == 0 &&
                        ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) == 0
                    ? 0
                    : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

ProgramResult Run(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& environment, const std::string& input,
                  const std::string& outputFile, bool boundByPermissions) {
    const char* binary = std::getenv("RAVELMOOR_BINARY");
    EXPECT_NE(binary, nullptr) << "RAVELMOOR_BINARY is not set (run the tests through ctest)";
    ProgramResult result;
    if (binary == nullptr) return result;

    QProcess process;
    QStringList arguments;
    for (const auto& arg : args)
        arguments << QString::fromUtf8(arg.c_str());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment) {
        env.insert(QString::fromUtf8(name.c_str()), QString::fromUtf8(value.c_str()));
    }
    process.setProcessEnvironment(env);
    if (boundByPermissions && ::geteuid() == 0) {
        process.setChildProcessModifier([] {
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
            ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
        });
    }
    if (!outputFile.empty()) process.setStandardOutputFile(QString::fromStdString(outputFile));
    process.start(QString::fromUtf8(binary), arguments);
    if (!process.waitForStarted()) return result;
    if (!input.empty()) process.write(input.data(), static_cast<qint64>(input.size()));
    process.closeWriteChannel();
    process.waitForFinished(120000);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

}  // namespace

ProgramResult RunRavelmoor(const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& environment,
                           const std::string& input, const std::string& outputFile) {
    return Run(args, environment, input, outputFile, false);
}

ProgramResult RunRavelmoorBoundByPermissions(const std::vector<std::string>& args,
                                             const std::map<std::string, std::string>& environment,
                                             bool& bound) {
    bound = CanDropOverride();
    if (!bound) return {};
    return Run(args, environment, {}, {}, true);
}

bool CanOpenTerminal() {
    int controller = -1;
    int terminal = -1;
    if (::openpty(&controller, &terminal, nullptr, nullptr, nullptr) != 0) return false;
    ::close(controller);
    ::close(terminal);
    return true;
}

ProgramResult RunRavelmoorOnTerminal(const std::vector<std::string>& args, const std::string& input,
                                     const std::map<std::string, std::string>& environment,
                                     unsigned short columns) {
    const char* binary = std::getenv("RAVELMOOR_BINARY");
    EXPECT_NE(binary, nullptr) << "RAVELMOOR_BINARY is not set (run the tests through ctest)";
    ProgramResult result;
    if (binary == nullptr) return result;
    std::vector<std::string> words = {binary};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    winsize size{};
    size.ws_row = 24;
    size.ws_col = columns;
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, &size);
    if (child < 0) return result;
    if (child == 0) {
        for (const auto& [name, value] : environment)
            ::setenv(name.c_str(), value.c_str(), 1);
        ::execv(binary, argv.data());
        ::_exit(127);
    }
    // Typed ahead: the terminal keeps the lines until the program reads them;
    // the end of input (Ctrl-D) answers any question asked after them.
    const std::string typed = input + "\x04";
    if (::write(terminal, typed.data(), typed.size()) < 0) ADD_FAILURE() << "typing failed";
    char buffer[4096];
    for (;;) {
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, 120000) <= 0) {
            ::kill(child, SIGKILL);
            ADD_FAILURE() << "the program did not end";
            break;
        }
        const ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got > 0) {
            result.out.append(buffer, static_cast<size_t>(got));
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // EIO: the program closed its side of the terminal
        }
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace ravelmoor::test
