#include "cli/Terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cwchar>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

namespace ravelmoor {
namespace {

std::mutex& Lock() {
    static std::mutex lock;
    return lock;
}
bool progressShown = false;
std::atomic<bool> quietMode{false};
std::atomic<int> outputError{0};
constexpr std::string_view kPrefix = "ravelmoor: ";

// The code point of the UTF-8 sequence at `at`, and its length; false on a
// byte that starts no whole sequence.
bool DecodeUtf8(std::string_view text, size_t at, char32_t& c, size_t& length) {
    const auto lead = static_cast<unsigned char>(text[at]);
    length = lead < 0x80           ? 1
             : (lead >> 5) == 0x6  ? 2
             : (lead >> 4) == 0xE  ? 3
             : (lead >> 3) == 0x1E ? 4
                                   : 0;
    if (length == 0 || at + length > text.size()) {
        length = 1;
        return false;
    }
    c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[at + k]);
        if ((byte & 0xC0) != 0x80) {
            length = 1;
            return false;
        }
        c = (c << 6) | (byte & 0x3F);
    }
    return true;
}

// The columns a terminal gives `c`: wcwidth under a UTF-8 character type,
// whatever the user's locale, since the line is UTF-8 in any case (a wide
// CJK character takes two, a combining mark none). One where the C library
// has no width for it, or no UTF-8 locale.
int Columns(char32_t c) {
    if (c < 0x80) return 1;
    static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (utf8 == locale_t{}) return 1;
    const locale_t previous = ::uselocale(utf8);
    const int width = ::wcwidth(static_cast<wchar_t>(c));
    ::uselocale(previous);
    return width < 0 ? 1 : width;
}

size_t ColumnsOf(std::string_view text) {
    size_t shown = 0;
    for (size_t i = 0; i < text.size();) {
        size_t length = 1;
        char32_t c = 0;
        if (!DecodeUtf8(text, i, c, length)) c = 0xFFFD;
        shown += static_cast<size_t>(Columns(c));
        i += length;
    }
    return shown;
}

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

std::string_view Terminal::FitWidth(std::string_view text, size_t columns) {
    size_t shown = 0;
    for (size_t i = 0; i < text.size();) {
        size_t length = 1;
        char32_t c = 0;
        if (!DecodeUtf8(text, i, c, length)) c = 0xFFFD;  // a stray byte takes one column
        shown += static_cast<size_t>(Columns(c));
        if (shown > columns) return text.substr(0, i);
        i += length;
    }
    return text;
}

std::string Terminal::FitMiddle(std::string_view head, std::string_view name, size_t columns) {
    // Where each character of the name starts, and the columns before it.
    std::vector<size_t> starts;
    std::vector<size_t> before;
    size_t nameColumns = 0;
    for (size_t i = 0; i < name.size();) {
        size_t length = 1;
        char32_t c = 0;
        if (!DecodeUtf8(name, i, c, length)) c = 0xFFFD;
        starts.push_back(i);
        before.push_back(nameColumns);
        nameColumns += static_cast<size_t>(Columns(c));
        i += length;
    }
    starts.push_back(name.size());
    before.push_back(nameColumns);
    std::string line(head);
    line.append(name);
    const size_t headColumns = ColumnsOf(head);
    if (headColumns + nameColumns <= columns) return line;
    // "…" takes one column; at least two of the name's are worth showing.
    if (headColumns + 3 > columns) return std::string(FitWidth(line, columns));
    // The end of a name tells more than its middle: it keeps two thirds.
    const size_t room = columns - headColumns - 1;
    const size_t endRoom = room - room / 3;
    size_t first = 0;  // characters kept from the start
    while (first + 1 < starts.size() && before[first + 1] <= room - endRoom)
        ++first;
    size_t last = starts.size() - 1;  // the first character of the kept end
    while (last > first && nameColumns - before[last - 1] <= endRoom)
        --last;
    line.assign(head);
    line.append(name.substr(0, starts[first]));
    line.append("\u2026");
    line.append(name.substr(starts[last]));
    return line;
}

void Terminal::ShowProgress(std::string_view text, std::string_view name) {
    if (quietMode || !StderrIsTerminal()) return;
    std::lock_guard<std::mutex> guard(Lock());
    // The last column stays free, so that the cursor never wraps.
    const auto width = static_cast<size_t>(Width() > 1 ? Width() - 1 : 1);
    const std::string line = FitMiddle(text, name, width);
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

bool Terminal::FlushOutput() {
    errno = 0;
    if (std::fflush(stdout) != 0) {
        int expected = 0;
        outputError.compare_exchange_strong(expected, errno != 0 ? errno : EIO);
    }
    return std::ferror(stdout) == 0;
}

int Terminal::OutputError() {
    return outputError;
}

bool Terminal::Ask(std::string_view question, std::string& answer) {
    if (!StdinIsTerminal()) return false;
    std::lock_guard<std::mutex> guard(Lock());
    ClearLocked();
    std::fwrite(question.data(), 1, question.size(), stderr);
    std::fflush(stderr);
    if (std::getline(std::cin, answer)) return true;
    // The end of input (Ctrl-D) left the cursor after the question.
    std::fputc('\n', stderr);
    return false;
}

}  // namespace ravelmoor
