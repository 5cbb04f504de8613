#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ftp/FtpConnection.h"

namespace ravelmoor {

// How one FTP call ended.
enum class FtpOutcome {
    Done,
    Refused,    // the server refused it for good: no such file or folder, no access
    Failed,     // the connection or the server failed
    Cancelled,  // the run was cancelled or the call interrupted
};

// One FTP connection over libcurl: one easy handle driven by its own multi
// handle, so that the control connection is made and logged on once and then
// reused for every listing and every download, and so that a blocked call can
// be broken from another thread. Server texts are "host", "host:port" (port
// 21 when none is given) or "[v6-address]:port". Paths handed in are absolute
// server paths ("/pub/data/"); folders end with '/'.
//
// Only one transfer at a time: every call ends an open download first. All
// calls but Interrupt come from one thread at a time.
class FtpClient {
  public:
    // A download is handed out in pieces of at most this many bytes.
    static constexpr size_t kPieceSize = 16384;

    // `cancel` (may be null) is a cancel word checked while waiting for the
    // server; a set word ends the waiting call as Cancelled.
    FtpClient(const FtpConnection& connection, const std::atomic<int32_t>* cancel);
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    // False when libcurl could not make its handles.
    bool Initialised() const { return easy_ != nullptr && multi_ != nullptr; }

    // Connects and logs on, and asks which listing the server offers.
    FtpOutcome Connect();

    // The listing of one folder into `text`: MLSD when the server offers it
    // (`machineFormat` true), otherwise LIST, with "-a" where the server
    // takes it, so that names starting with a dot are listed too.
    FtpOutcome List(const std::string& folder, std::string& text, bool& machineFormat);

    // The LIST lines of the one name `name` in `folder` ("LIST name"), for
    // a name that no server takes for a pattern or an option.
    FtpOutcome ListName(const std::string& folder, const std::string& name, std::string& text);

    // A download, read in pieces: OpenDownload starts it (and waits for its
    // first data, so that a refusal shows at once), ReadDownload returns the
    // next piece (0 at the end, -1 on a failure), CloseDownload ends it, early
    // or not. `serial` names the download for ReadDownload and CloseDownload,
    // which ignore a download that has been replaced.
    FtpOutcome OpenDownload(const std::string& path, uint64_t& serial);
    int64_t ReadDownload(uint64_t serial, char* buffer, size_t capacity);
    void CloseDownload(uint64_t serial);

    // Sends commands on the control connection, one after the other, and
    // stops at the first the server refuses; `reply` gets every reply line of
    // the call.
    FtpOutcome Commands(const std::vector<std::string>& commands,
                        std::vector<std::string>* reply = nullptr);
    FtpOutcome Command(const std::string& command, std::vector<std::string>* reply = nullptr) {
        return Commands({command}, reply);
    }

    // Stores the data that `source` hands out (a count, 0 at the end, -1 on
    // a failure) as the file `path`. A set `stop` word ends it as Cancelled.
    // `bytes` counts what was sent.
    using DataSource = std::function<int64_t(char* buffer, size_t capacity)>;
    FtpOutcome Upload(const std::string& path, const DataSource& source,
                      const std::atomic<int32_t>* stop, uint64_t& bytes);

    // Breaks a waiting call and fails every later one. Any thread.
    void Interrupt();
    bool Cancelled() const;

    // What the last failed call said: libcurl's words and the server's last
    // reply line.
    const std::string& ErrorText() const { return error_; }
    // True when the last call failed because the server stayed silent for
    // the connection's timeout; ErrorText then says so and on what.
    bool TimedOut() const { return timedOut_; }
    const FtpConnection& Connection() const { return connection_; }
    const std::atomic<int32_t>* CancelWord() const { return cancel_; }
    // The folder the logon started in, ending with '/' ("" when unknown).
    const std::string& HomeFolder() const { return home_; }
    bool OffersMachineListing() const { return machineListing_; }
    // Whether the server named `feature` (MFMT, UTF8, ...) in its feature list.
    bool Offers(std::string_view feature) const;

  private:
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnListingData(char* data, size_t size, size_t count, void* self);
    static size_t OnDownloadData(char* data, size_t size, size_t count, void* self);
    static size_t OnDiscardData(char* data, size_t size, size_t count, void* self);
    static size_t OnUploadData(char* data, size_t size, size_t count, void* self);

    std::string UrlOf(const std::string& path) const;
    bool Prepare(const std::string& path);
    bool StartTransfer();
    // Drives the transfer until it ends, the call is cancelled, or (with
    // `untilData`) a download's next piece has arrived.
    void Drive(bool untilData);
    void StopTransfer();
    int Perform();
    FtpOutcome Conclude(int code);
    FtpOutcome EnsureLoggedOn();
    void EndDownload();

    FtpConnection connection_;
    const std::atomic<int32_t>* cancel_;
    std::atomic<bool> interrupted_{false};
    std::string baseUrl_;  // "ftp://host:port", empty when the server text is unusable
    std::string serverProblem_;

    void* easy_ = nullptr;   // CURL*
    void* multi_ = nullptr;  // CURLM*
    bool added_ = false;
    bool transferDone_ = false;
    int transferResult_ = 0;
    char errorBuffer_[256] = {};

    std::vector<std::string> replyLines_;
    std::string lastReply_;
    int lastReplyCode_ = 0;
    bool timedOut_ = false;
    std::string error_;
    std::string path_;  // what the current call works on, for its messages

    std::string* listing_ = nullptr;
    // The download: the piece libcurl delivered last and how much of it the
    // reader has taken. libcurl is paused while a piece is still unread.
    bool downloading_ = false;
    uint64_t downloadSerial_ = 0;
    std::string piece_;
    size_t pieceTaken_ = 0;
    bool paused_ = false;

    // The upload: where its data comes from, and what became of it.
    const DataSource* uploadSource_ = nullptr;
    const std::atomic<int32_t>* uploadStop_ = nullptr;
    uint64_t uploaded_ = 0;
    bool uploadSourceFailed_ = false;
    bool uploadStopped_ = false;

    bool loggedOn_ = false;
    bool machineListing_ = false;
    // Whether the server's LIST takes "-a" (names that start with a dot too).
    enum class Knows : uint8_t { Unknown, Yes, No };
    Knows listsAll_ = Knows::Unknown;
    std::vector<std::string> features_;  // one a line, as FEAT gave them, trimmed
    std::string home_;
};

}  // namespace ravelmoor
