#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/ftp/ServerClock.h"

namespace ravelmoor {

class FtpClient;
class Prompter;

// The times of one FTP server over one connection: how its clock reads (a
// probe), giving an uploaded file the time it should have, and asking a
// file's exact time with MDTM where the listing gave only a minute or a day.
class FtpServerTimes {
  public:
    FtpServerTimes(FtpClient& client, Prompter& prompter);

    // Called with the clock after each probe, known or not.
    void OnLearned(std::function<void(const ServerClock&)> callback) {
        onLearned_ = std::move(callback);
    }

    // The probe, at most once per connection: uploads a one-byte file with a
    // hidden temporary name to `serverFolder`, sets its listed time and its
    // MDTM answer against the time of the upload, tries the commands that
    // set a time (MFMT, MDTM with a time, SITE UTIME, in that order) and
    // reads each result back, then removes the file. Where nothing can be
    // written the clock stays unknown; another folder may be tried then.
    void Learn(const std::string& serverFolder);
    const ServerClock& Clock() const { return clock_; }
    void SetClock(const ServerClock& clock) { clock_ = clock; }

    // Gives `path` the UTC time `time` with the command the probe found to
    // work. False where none works (the file keeps the server's time) or the
    // server refused it.
    bool Keep(const std::string& path, int64_t time);

    // The exact time of the file `path`, whose listing gave `listed` and
    // `span` (TimeSpan) more seconds: false when the server does not answer
    // MDTM with a time inside that interval (a refusal, a garbled or future
    // time); one warning per connection then says that the listing's times
    // are used.
    bool ExactTime(const std::string& path, int64_t listed, int64_t span, int64_t& time);
    // False once the server turned MDTM down as a command it does not know.
    bool AsksMdtm() const { return !mdtmRefused_; }

    // ExactTime for many files at once: their MDTM commands go out ahead of
    // the answers on a connection of their own (FtpCommandPipe) where the
    // server allows, else one at a time. found[i] tells whether times[i] is
    // the exact time of files[i]. Returns how many were asked.
    struct Listed {
        std::string path;
        int64_t time = 0;
        int64_t span = 0;
    };
    size_t ExactTimes(const std::vector<Listed>& files, std::vector<int64_t>& times,
                      std::vector<bool>& found);

  private:
    // The listed facts of a probe file; false when it is not listed.
    bool LookAtProbe(const std::string& path, FtpListItem& item);
    // The time `path` reads back as (MDTM where it is known, else the
    // listing), in UTC; false when it cannot be read.
    bool ReadBack(const std::string& path, int64_t& time);
    // Which setter works on `probe`, and with what offset.
    void LearnSetter(const std::string& probe, int64_t uploaded);
    void WarnOfMdtm(const std::string& path, const std::string& answer);
    // Whether an MDTM reply line is a time that fits the listing.
    bool Fits(const std::string& path, const std::string& answer, int64_t listed, int64_t span,
              int64_t& time);
    // Whether the pipe may be tried (not once it failed on this connection).
    bool pipeFailed_ = false;

    FtpClient& client_;
    Prompter& prompter_;
    std::function<void(const ServerClock&)> onLearned_;
    ServerClock clock_;
    std::set<std::string> triedFolders_;
    bool mdtmWarned_ = false;
    bool mdtmRefused_ = false;
    std::string listing_;
};

}  // namespace ravelmoor
