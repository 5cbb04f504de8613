// Times Regex::Find with the backtrack guard off and on, next to the C
// library's regexec, and prints Markdown tables. Times are CPU time of the
// measuring thread, best of five rounds.
//
//   regex_bench [FOLDER] [--limit SECONDS]
//
// Runaway expressions run on subjects that almost match, of growing length up
// to 200 characters; without the guard each such Find runs in a child process
// that is stopped after the limit (default 5 s). Typical filters run over the
// relative paths of a real tree (FOLDER, default /usr/include), case-folded
// as the comparison hands them over.
#include <poll.h>
#include <regex.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/engine/CaseFold.h"
#include "core/filters/FilterSet.h"
#include "core/filters/Regex.h"

namespace {

using ravelmoor::Regex;

// CPU time of this thread: the machine is shared, and time spent waiting for
// a core is not the engine's.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs `work` (which returns its own seconds) in a child process; -1 when it
// has not finished within `limit` seconds of wall time (the child is then killed).
double TimeInChild(const std::function<double()>& work, double limit) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const double seconds = work();
        const ssize_t written = write(pipeEnds[1], &seconds, sizeof seconds);
        _exit(written == sizeof seconds ? 0 : 1);
    }
    close(pipeEnds[1]);
    double seconds = -1;
    pollfd ready{pipeEnds[0], POLLIN, 0};
    if (child > 0 && poll(&ready, 1, static_cast<int>(limit * 1000)) == 1) {
        if (read(pipeEnds[0], &seconds, sizeof seconds) != sizeof seconds) seconds = -1;
    }
    if (child > 0) {
        if (seconds < 0) kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    close(pipeEnds[0]);
    return seconds;
}

// Mean seconds per call of `once`, repeated until at least `minimum` seconds
// have passed; the clock is read once per batch, so that reading it costs
// nothing against short calls.
double MeanSeconds(const std::function<void()>& once, double minimum = 0.1) {
    long calls = 0;
    long batch = 1;
    const double start = CpuSeconds();
    double elapsed = 0;
    do {
        for (long k = 0; k < batch; ++k)
            once();
        calls += batch;
        batch *= 2;
        elapsed = CpuSeconds() - start;
    } while (elapsed < minimum);
    return elapsed / static_cast<double>(calls);
}

// The variants take turns, and each keeps the best of its rounds.
std::vector<double> BestOf(const std::vector<std::function<void()>>& variants, int rounds = 5) {
    std::vector<double> best(variants.size(), 1e300);
    for (int round = 0; round < rounds; ++round) {
        for (size_t v = 0; v < variants.size(); ++v)
            best[v] = std::min(best[v], MeanSeconds(variants[v]));
    }
    return best;
}

std::string Duration(double seconds) {
    char text[64];
    if (seconds < 0) return "stopped";
    if (seconds < 1e-6) {
        std::snprintf(text, sizeof text, "%.0f ns", seconds * 1e9);
    } else if (seconds < 1e-3) {
        std::snprintf(text, sizeof text, "%.1f µs", seconds * 1e6);
    } else if (seconds < 1) {
        std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    }
    return text;
}

// An expression as a Markdown table cell: `|` would end the cell.
std::string Cell(const char* expression) {
    std::string cell = "`";
    for (const char* c = expression; *c != '\0'; ++c) {
        if (*c == '|') cell += '\\';
        cell += *c;
    }
    return cell + "`";
}

struct Runaway {
    const char* expression;
    const char* shape;  // how the subject is made, for the table
    std::string (*subject)(size_t length);
};

const Runaway kRunaways[] = {
    {"(a|a)*b", "a…acb", [](size_t n) { return std::string(n - 2, 'a') + "cb"; }},
    {"(x+x+)+y", "x…xzy", [](size_t n) { return std::string(n - 2, 'x') + "zy"; }},
    {"(a|aa)+$", "a…ab", [](size_t n) { return std::string(n - 1, 'a') + "b"; }},
    {"((a+)+)+b", "a…acb", [](size_t n) { return std::string(n - 2, 'a') + "cb"; }},
    {"(.+)+x", "xa…a", [](size_t n) { return "x" + std::string(n - 1, 'a'); }},
};

void RunawayTable(double limit) {
    std::printf(
        "| expression | subject | length | guard off | guard on | regexec | Find |\n"
        "|---|---|---:|---:|---:|---:|---:|\n");
    for (const Runaway& runaway : kRunaways) {
        for (const size_t length : {12, 16, 20, 24, 200}) {
            const std::string subject = runaway.subject(length);
            Regex plain;
            Regex guarded;
            plain.Compile(runaway.expression);
            guarded.Compile(runaway.expression);
            plain.SetBacktrackGuard(false);
            const double off =
                TimeInChild([&] { return MeanSeconds([&] { plain.Find(subject); }); }, limit);
            regex_t posix;
            if (regcomp(&posix, runaway.expression, REG_EXTENDED | REG_NOSUB) != 0) continue;
            const std::vector<double> times =
                BestOf({[&] { guarded.Find(subject); },
                        [&] { (void)regexec(&posix, subject.c_str(), 0, nullptr, 0); }});
            const double on = times[0];
            const double library = times[1];
            regfree(&posix);
            std::printf("| %s | %s | %zu | %s | %s | %s | %td |\n",
                        Cell(runaway.expression).c_str(), runaway.shape, length,
                        off < 0 ? ("> " + Duration(limit)).c_str() : Duration(off).c_str(),
                        Duration(on).c_str(), Duration(library).c_str(), guarded.Find(subject));
        }
    }
}

std::vector<std::string> TreePaths(const std::string& folder, size_t most) {
    std::vector<std::string> paths;
    std::error_code error;
    namespace fs = std::filesystem;
    for (auto it = fs::recursive_directory_iterator(
             folder, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator() && paths.size() < most;
         it.increment(error)) {
        paths.push_back(ravelmoor::FoldCase(fs::relative(it->path(), folder).string()));
    }
    return paths;
}

void TypicalTable(const std::vector<std::string>& paths) {
    const char* const expressions[] = {
        ".*",          "\\.h$", "^qt6/", "\\.(c|cpp|h|hpp)$", "(^|/)private/", "^linux/.*\\.h$",
        "[0-9]+\\.h$", "~$",
    };
    double longest = 0;
    for (const auto& path : paths)
        longest = std::max(longest, static_cast<double>(path.size()));
    std::printf(
        "\n%zu paths, longest %.0f characters; time per Find, averaged over all paths.\n\n"
        "| expression | matches | guard off | guard on | regexec |\n"
        "|---|---:|---:|---:|---:|\n",
        paths.size(), longest);
    for (const char* expression : expressions) {
        Regex plain;
        Regex guarded;
        plain.Compile(expression);
        guarded.Compile(expression);
        plain.SetBacktrackGuard(false);
        size_t matches = 0;
        for (const auto& path : paths)
            matches += guarded.Find(path) >= 0 ? 1 : 0;
        regex_t posix;
        if (regcomp(&posix, expression, REG_EXTENDED | REG_NOSUB) != 0) continue;
        const std::vector<double> times = BestOf({
            [&] {
                for (const auto& path : paths)
                    plain.Find(path);
            },
            [&] {
                for (const auto& path : paths)
                    guarded.Find(path);
            },
            [&] {
                for (const auto& path : paths)
                    (void)regexec(&posix, path.c_str(), 0, nullptr, 0);
            },
        });
        regfree(&posix);
        const auto perPass = static_cast<double>(paths.size());
        const double off = times[0] / perPass;
        const double on = times[1] / perPass;
        const double library = times[2] / perPass;
        std::printf("| %s | %zu | %s | %s | %s |\n", Cell(expression).c_str(), matches,
                    Duration(off).c_str(), Duration(on).c_str(), Duration(library).c_str());
    }

    // What the comparison pays per entry: folding plus the walk over the rules.
    ravelmoor::FilterSet filters;
    filters.Prepare({{"Exclude", "^build/"}, {"Include", "\\.(cpp|h)$"}, {"Exclude", "~$"}});
    filters.Compile();
    size_t excluded = 0;
    const double perEntry = BestOf({[&] {
                                for (const auto& path : paths)
                                    excluded += filters.IsExcluded(path) ? 1 : 0;
                            }})[0] /
                            static_cast<double>(paths.size());
    std::printf(
        "\nFilterSet::IsExcluded with the rules Exclude `^build/`, Include `\\.(cpp|h)$`, "
        "Exclude `~$`: %s per entry.\n",
        Duration(perEntry).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = "/usr/include";
    double limit = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--limit" && i + 1 < argc) {
            limit = std::atof(argv[++i]);
        } else {
            folder = word;
        }
    }
    RunawayTable(limit);
    const std::vector<std::string> paths = TreePaths(folder, 20000);
    if (paths.empty()) {
        std::fprintf(stderr, "No paths found below %s.\n", folder.c_str());
        return 2;
    }
    TypicalTable(paths);
    return 0;
}
