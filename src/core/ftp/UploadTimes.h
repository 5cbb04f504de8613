#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace ravelmoor {

// The times that uploads to an FTP server could not keep, remembered per
// server and user: where the server takes no command that sets a file's
// time, an uploaded file carries the time of its upload. The record keeps
// that time beside the original's, so that the next comparison sees the file
// with the original's time and pairs it with its original as unchanged. A
// record holds only while the file is listed as it was after the upload
// (same size, same time); a file changed on the server since is listed as it
// is. Kept in "ftp-uploads/" of the state folder ($XDG_STATE_HOME/ravelmoor,
// else ~/.local/state/ravelmoor), one file per server and user.
class UploadTimes {
  public:
    UploadTimes(const std::string& server, const std::string& user);
    ~UploadTimes();
    UploadTimes(const UploadTimes&) = delete;
    UploadTimes& operator=(const UploadTimes&) = delete;

    // After an upload to `path`: the server lists it with `size` and
    // `serverTime` (and `span` seconds more, for a time to the minute or the
    // day); the original's time was `originalTime`.
    void Remember(const std::string& path, uint64_t size, int64_t serverTime, int64_t span,
                  int64_t originalTime);
    // The file at `path` is gone or was given its time: its record goes.
    void Forget(const std::string& path);
    // The file at `from` was renamed to `to`: its record goes along.
    void Move(const std::string& from, const std::string& to);
    // Where `path` is listed as it was after its upload, the original's
    // time for it (exact); false where there is no such record.
    bool OriginalTime(const std::string& path, uint64_t size, int64_t listedTime,
                      int64_t listedSpan, int64_t& originalTime);

    // Whether no upload is remembered (most servers keep times).
    bool Empty() {
        Load();
        return uploads_.empty();
    }

    // Writes the records when they changed; false when the file could not
    // be written.
    bool Save();

  private:
    struct Upload {
        uint64_t size = 0;
        int64_t serverTime = 0;
        int64_t span = 0;
        int64_t originalTime = 0;
    };
    void Load();

    std::string file_;
    std::map<std::string, Upload> uploads_;
    bool loaded_ = false;
    bool changed_ = false;
};

}  // namespace ravelmoor
