#include "cli/Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>

namespace ravelmoor {
namespace {

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}
bool progressShown = false;
std::atomic<bool> quietMode{false};
constexpr std::string_view kPrefix = "ravelmoor: ";

void ClearLocked() {
    if (!progressShown) return;
    std::fputs("\r\x1b[K", stderr);
    progressShown = false;
}

}  // namespace

bool Terminal::StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}
bool Terminal::StdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

int Terminal::Width() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

void Terminal::ShowProgress(std::string_view text) {
    if (quietMode || !StderrIsTerminal()) return;
    std::lock_guard<std::mutex> guard(Lock());
    const auto width = static_cast<size_t>(Width() > 1 ? Width() - 1 : 1);
    std::string line(text.substr(0, width));
    std::fprintf(stderr, "\r%s\x1b[K", line.c_str());
    std::fflush(stderr);
    progressShown = true;
}

void Terminal::ClearProgress() {
    std::lock_guard<std::mutex> guard(Lock());
    ClearLocked();
    std::fflush(stderr);
}

void Terminal::Message(std::string_view text) {
    std::lock_guard<std::mutex> guard(Lock());
    ClearLocked();
    std::string line(kPrefix);
    line.append(text).push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void Terminal::Info(std::string_view text) {
    if (!quietMode) Message(text);
}

void Terminal::SetQuiet(bool quiet) {
    quietMode = quiet;
}

bool Terminal::Quiet() {
    return quietMode;
}

bool Terminal::Ask(std::string_view question, std::string& answer) {
    if (!StdinIsTerminal()) return false;
    std::lock_guard<std::mutex> guard(Lock());
    ClearLocked();
    std::fwrite(question.data(), 1, question.size(), stderr);
    std::fflush(stderr);
    return static_cast<bool>(std::getline(std::cin, answer));
}

}  // namespace ravelmoor
