#include "core/ftp/FtpServerTimes.h"

#include <cstdlib>
#include <ctime>
#include <vector>

#include "core/engine/FileSystem.h"
#include "core/engine/NameEscape.h"
#include "core/engine/Prompter.h"
#include "core/engine/Trace.h"
#include "core/ftp/FtpClient.h"
#include "core/ftp/FtpCommandPipe.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr int64_t kDay = 86400;
// A server whose zone puts it further from UTC than this is not a zone.
constexpr int32_t kMostOffset = 15 * 3600;
// The seconds an answer may lie outside the listing's interval: MDTM and
// the listing may round a fraction of a second differently.
constexpr int64_t kRounding = 1;
// From this many files on, MDTM goes out ahead of its answers.
constexpr size_t kPipeFrom = 8;

int64_t Now() {
    return static_cast<int64_t>(std::time(nullptr));
}

// The answer of an MDTM among the reply lines: the text after "213 ".
bool AnswerOf(const std::vector<std::string>& reply, std::string& answer) {
    for (const std::string& line : reply) {
        if (line.size() > 4 && line.compare(0, 4, "213 ") == 0) {
            answer = line.substr(4);
            while (!answer.empty() && answer.back() == ' ')
                answer.pop_back();
            return true;
        }
    }
    return false;
}

}  // namespace

FtpServerTimes::FtpServerTimes(FtpClient& client, Prompter& prompter)
    : client_(client), prompter_(prompter) {}

bool FtpServerTimes::LookAtProbe(const std::string& path, FtpListItem& item) {
    const size_t slash = path.rfind('/');
    const std::string folder = path.substr(0, slash + 1);
    const std::string name = path.substr(slash + 1);
    if (client_.OffersMachineListing()) {
        std::vector<std::string> reply;
        if (client_.Command("MLST " + path, &reply) == FtpOutcome::Done) {
            for (const std::string& line : reply) {
                if (line.size() > 1 && line.front() == ' ' &&
                    ParseMlstLine(std::string_view(line).substr(1), item) == FtpLineOutcome::Item) {
                    return true;
                }
            }
        }
    }
    if (client_.ListName(folder, name, listing_) != FtpOutcome::Done) return false;
    std::string_view rest = listing_;
    const bool crlf = UsesCrLf(rest);
    while (!rest.empty()) {
        const std::string_view line = TakeListingLine(rest, crlf);
        if (ParseListLine(line, Now(), item) == FtpLineOutcome::Item && item.name == name) {
            return true;
        }
    }
    return false;
}

bool FtpServerTimes::ReadBack(const std::string& path, int64_t& time) {
    if (clock_.mdtmKnown) {
        std::vector<std::string> reply;
        std::string answer;
        return client_.Command("MDTM " + path, &reply) == FtpOutcome::Done &&
               AnswerOf(reply, answer) && clock_.MdtmTime(answer, time);
    }
    FtpListItem item;
    if (!LookAtProbe(path, item)) return false;
    time = clock_.ListedTime(item);
    return true;
}

void FtpServerTimes::Learn(const std::string& serverFolder) {
    if (clock_.known || !triedFolders_.insert(serverFolder).second) return;
    const std::string probe = serverFolder + TemporaryName();
    bool given = false;
    const FtpClient::DataSource oneByte = [&given](char* buffer, size_t capacity) -> int64_t {
        if (given || capacity == 0) return 0;
        given = true;
        buffer[0] = '\n';
        return 1;
    };
    uint64_t bytes = 0;
    const int64_t before = Now();
    if (client_.Upload(probe, oneByte, nullptr, bytes) != FtpOutcome::Done) {
        TraceLine("FTP: no probe file in %s: %s\n", serverFolder.c_str(),
                  client_.ErrorText().c_str());
        if (client_.Cancelled()) return;
        client_.Command("DELE " + probe);
        // What is shown for the connection says so: read-only, or no folder yet.
        if (onLearned_) onLearned_(clock_);
        return;
    }
    const int64_t after = Now();

    ServerClock clock;
    FtpListItem item;
    if (LookAtProbe(probe, item)) {
        clock.listingOffset =
            OffsetOfReading(item.clockReading, TimeSpan(item.timeSpan), before, after);
        clock.listingIsLocal = item.isClockReading && clock.listingOffset == LocalOffset(after);
        clock.known = std::abs(clock.listingOffset) <= kMostOffset;
    }
    std::vector<std::string> reply;
    std::string answer;
    int64_t mdtm = 0;
    if (clock.known && client_.Command("MDTM " + probe, &reply) == FtpOutcome::Done &&
        AnswerOf(reply, answer) && ParseMachineTime(answer, mdtm)) {
        clock.mdtmOffset = OffsetOfReading(mdtm, 0, before, after);
        clock.mdtmKnown = std::abs(clock.mdtmOffset) <= kMostOffset;
        clock.mdtmIsLocal = clock.mdtmKnown && clock.mdtmOffset == LocalOffset(after);
        if (!clock.mdtmKnown) clock.mdtmOffset = 0;
    }
    clock_ = clock;
    if (clock_.known) LearnSetter(probe, after);
    client_.Command("DELE " + probe);
    TraceLine("FTP: the clock of the server: %s\n", clock_.Describe().c_str());
    if (onLearned_) onLearned_(clock_);
}

void FtpServerTimes::LearnSetter(const std::string& probe, int64_t uploaded) {
    // A time two days back, on a whole minute, so that a listing to the
    // minute reads it back exactly and it cannot be the upload's own time.
    const int64_t wanted = (uploaded - 2 * kDay) / 60 * 60;
    const std::string text = MachineTimeText(wanted);
    struct Candidate {
        TimeSetter setter;
        std::string command;
        bool offered;
    };
    const Candidate candidates[] = {
        {TimeSetter::Mfmt, "MFMT " + text + " " + probe, client_.Offers("MFMT")},
        {TimeSetter::MdtmWithTime, "MDTM " + text + " " + probe, client_.Offers("MDTM")},
        {TimeSetter::SiteUtime, "SITE UTIME " + text + " " + probe, true},
    };
    clock_.setter = TimeSetter::None;
    for (const Candidate& candidate : candidates) {
        if (!candidate.offered) continue;
        if (client_.Command(candidate.command) != FtpOutcome::Done) {
            if (client_.Cancelled()) return;
            continue;
        }
        int64_t got = 0;
        if (!ReadBack(probe, got)) continue;
        // The setter took the text in its own zone: what it was sent minus
        // what the file now has, to the quarter hour.
        const int32_t offset = OffsetOfReading(wanted, 0, got, got);
        if (std::abs(offset) > kMostOffset || std::llabs(wanted - offset - got) > 60) continue;
        clock_.setter = candidate.setter;
        clock_.setterOffset = offset;
        return;
    }
}

bool FtpServerTimes::Keep(const std::string& path, int64_t time) {
    const char* command = nullptr;
    switch (clock_.setter) {
        case TimeSetter::Mfmt:
            command = "MFMT ";
            break;
        case TimeSetter::MdtmWithTime:
            command = "MDTM ";
            break;
        case TimeSetter::SiteUtime:
            command = "SITE UTIME ";
            break;
        case TimeSetter::Untried:
            // No probe found the clock: MFMT is the one command whose time
            // is UTC by its definition.
            if (!client_.Offers("MFMT")) return false;
            command = "MFMT ";
            break;
        case TimeSetter::None:
            return false;
    }
    return client_.Command(std::string(command) + clock_.SetterText(time) + " " + path) ==
           FtpOutcome::Done;
}

void FtpServerTimes::WarnOfMdtm(const std::string& path, const std::string& answer) {
    if (mdtmWarned_) return;
    mdtmWarned_ = true;
    prompter_.Warn(FillIn(QCoreApplication::translate(
                              "FtpServerTimes",
                              "The FTP server's answer to MDTM for %1 (%2) is not a time that "
                              "fits its listing; the listing's times, to the minute or the day, "
                              "are used instead."),
                          {EscapeName(path), EscapeName(answer)}));
}

bool FtpServerTimes::Fits(const std::string& path, const std::string& answer, int64_t listed,
                          int64_t span, int64_t& time) {
    int64_t exact = 0;
    if (!clock_.MdtmTime(answer, exact) || exact < listed - kRounding ||
        exact > listed + span + kRounding || exact > Now() + kDay) {
        WarnOfMdtm(path, answer);
        return false;
    }
    time = exact;
    return true;
}

bool FtpServerTimes::ExactTime(const std::string& path, int64_t listed, int64_t span,
                               int64_t& time) {
    if (mdtmRefused_) return false;
    std::vector<std::string> reply;
    const FtpOutcome outcome = client_.Command("MDTM " + path, &reply);
    if (outcome == FtpOutcome::Cancelled || client_.Cancelled()) return false;
    std::string answer;
    if (outcome != FtpOutcome::Done || !AnswerOf(reply, answer)) {
        // A server that does not know the command is asked no more.
        mdtmRefused_ = outcome == FtpOutcome::Failed;
        WarnOfMdtm(path, client_.ErrorText());
        return false;
    }
    return Fits(path, answer, listed, span, time);
}

size_t FtpServerTimes::ExactTimes(const std::vector<Listed>& files, std::vector<int64_t>& times,
                                  std::vector<bool>& found) {
    times.assign(files.size(), 0);
    found.assign(files.size(), false);
    size_t done = 0;
    // A few are asked faster one by one than a second logon takes.
    if (files.size() >= kPipeFrom && !pipeFailed_ && !mdtmRefused_) {
        FtpCommandPipe pipe(client_.Connection(), client_.CancelWord());
        std::vector<std::string> commands;
        commands.reserve(files.size());
        for (const Listed& file : files)
            commands.push_back("MDTM " + file.path);
        std::vector<std::string> answers;
        pipeFailed_ = !pipe.Open() || !pipe.Ask(commands, answers);
        for (; done < answers.size() && !mdtmRefused_; ++done) {
            const std::string& line = answers[done];
            if (line.compare(0, 4, "213 ") == 0) {
                found[done] = Fits(files[done].path, line.substr(4), files[done].time,
                                   files[done].span, times[done]);
            } else {
                mdtmRefused_ = line.compare(0, 3, "500") == 0 || line.compare(0, 3, "502") == 0;
                WarnOfMdtm(files[done].path, line);
            }
        }
        if (pipeFailed_) TraceLine("FTP: MDTM asked one at a time: the server took no pipe\n");
    }
    for (; done < files.size() && !mdtmRefused_ && !client_.Cancelled(); ++done) {
        found[done] = ExactTime(files[done].path, files[done].time, files[done].span, times[done]);
    }
    return done;
}

}  // namespace ravelmoor
