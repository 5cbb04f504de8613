#include "core/ftp/FtpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>

#include "core/engine/CaseFold.h"
#include "core/engine/NameEscape.h"
#include "core/engine/WindowThread.h"
#include "core/ftp/FtpFailureText.h"
#include "core/ftp/FtpServerName.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// How long a waiting call sleeps before it looks at the cancel word again.
constexpr int kPollMilliseconds = 100;
constexpr long kAcceptTimeoutMs = 30000;  // the server's data connection in active mode
constexpr size_t kMaxReplyLines = 4096;
// The most of a download's rest that closing it reads to keep the connection.
constexpr size_t kSkipBeforeLogon = size_t{256} * 1024;

void InitialiseLibcurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CURL* Easy(void* handle) {
    return static_cast<CURL*>(handle);
}

CURLM* Multi(void* handle) {
    return static_cast<CURLM*>(handle);
}

// "ftp://host:port" as libcurl takes it; empty with `problem` set when the
// server text cannot be used.
std::string BaseUrl(const std::string& server, std::string& problem) {
    std::string host;
    std::string port;
    if (!SplitServer(server, host, port, problem)) return {};
    return "ftp://" + host + ":" + port;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

// Whether a LIST listing holds a line for the folder itself ("... .").
bool ListsItself(std::string_view listing) {
    for (size_t at = listing.find(" ."); at != std::string_view::npos;
         at = listing.find(" .", at + 1)) {
        const size_t end = at + 2;
        if (end == listing.size() || listing[end] == '\r' || listing[end] == '\n') return true;
    }
    return false;
}

// The reply codes of a server that does not know a command.
bool IsUnknownCommand(int code) {
    return code == 500 || code == 502 || code == 504;
}

}  // namespace

FtpClient::FtpClient(const FtpConnection& connection, const std::atomic<int32_t>* cancel)
    : connection_(connection), cancel_(cancel) {
    static_assert(sizeof(errorBuffer_) >= CURL_ERROR_SIZE);
    InitialiseLibcurl();
    baseUrl_ = BaseUrl(connection.server, serverProblem_);
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
}

FtpClient::~FtpClient() {
    if (added_) curl_multi_remove_handle(Multi(multi_), Easy(easy_));
    if (easy_ != nullptr) curl_easy_cleanup(Easy(easy_));
    // Closes the cached control connection (with QUIT when it is still good).
    if (multi_ != nullptr) curl_multi_cleanup(Multi(multi_));
}

void FtpClient::Interrupt() {
    interrupted_.store(true);
    if (multi_ != nullptr) curl_multi_wakeup(Multi(multi_));
}

bool FtpClient::Cancelled() const {
    return interrupted_.load() ||
           (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed) != 0);
}

// --- libcurl callbacks ---------------------------------------------------------

size_t FtpClient::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto& client = *static_cast<FtpClient*>(self);
    const size_t bytes = size * count;
    std::string_view line(data, bytes);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    // Every line the server sends on the control connection arrives here.
    if (client.replyLines_.size() < kMaxReplyLines) client.replyLines_.emplace_back(line);
    if (line.size() >= 3 &&
        std::all_of(line.begin(), line.begin() + 3, [](char c) { return c >= '0' && c <= '9'; })) {
        client.lastReply_ = line;
        client.lastReplyCode_ = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    }
    return bytes;
}

size_t FtpClient::OnListingData(char* data, size_t size, size_t count, void* self) {
    auto& client = *static_cast<FtpClient*>(self);
    client.listing_->append(data, size * count);
    return size * count;
}

size_t FtpClient::OnDownloadData(char* data, size_t size, size_t count, void* self) {
    auto& client = *static_cast<FtpClient*>(self);
    // Keep the data in libcurl until the reader has taken the piece before.
    if (client.pieceTaken_ < client.piece_.size()) {
        client.paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    client.piece_.assign(data, size * count);
    client.pieceTaken_ = 0;
    return size * count;
}

size_t FtpClient::OnDiscardData(char* /*data*/, size_t size, size_t count, void* /*self*/) {
    return size * count;
}

// --- One call -------------------------------------------------------------------

std::string FtpClient::UrlOf(const std::string& path) const {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = baseUrl_ + "/";
    url.reserve(url.size() + path.size() + 8);
    size_t at = 0;
    // A first "%2F" makes the path absolute instead of relative to the logon folder.
    if (!path.empty() && path.front() == '/') {
        url += "%2F";
        at = 1;
    }
    for (; at < path.size(); ++at) {
        const auto c = static_cast<unsigned char>(path[at]);
        if (IsUnreserved(c) || c == '/') {
            url.push_back(static_cast<char>(c));
        } else {
            url.push_back('%');
            url.push_back(kHex[c >> 4]);
            url.push_back(kHex[c & 15]);
        }
    }
    return url;
}

bool FtpClient::Prepare(const std::string& path) {
    replyLines_.clear();
    lastReply_.clear();
    lastReplyCode_ = 0;
    error_.clear();
    errorBuffer_[0] = '\0';
    path_ = path;
    timedOut_ = false;
    if (baseUrl_.empty()) {
        error_ = serverProblem_;
        return false;
    }
    if (HasLineBreak(connection_.server) || HasLineBreak(connection_.user) ||
        HasLineBreak(connection_.password)) {
        error_ = FillIn(QCoreApplication::translate("FtpClient",
                                                    "The server name, user name or password of the "
                                                    "connection holds a line break or NUL, which "
                                                    "FTP cannot send."));
        return false;
    }
    if (HasLineBreak(path)) {
        error_ = FillIn(QCoreApplication::translate(
                            "FtpClient", "The name %1 holds a line break, which FTP cannot send."),
                        {path});
        return false;
    }
    CURL* easy = Easy(easy_);
    curl_easy_reset(easy);
    curl_easy_setopt(easy, CURLOPT_URL, UrlOf(path).c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(easy, CURLOPT_USERNAME, connection_.user.c_str());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, connection_.password.c_str());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &FtpClient::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &FtpClient::OnDiscardData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ACCEPTTIMEOUT_MS, kAcceptTimeoutMs);
    // A connection that is not taken, a reply that does not come (the
    // server's greeting counts as part of connecting), and a transfer that
    // moves no byte, fail after the same silence, the one the message names.
    const long silence = connection_.timeoutSeconds;
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, silence);
    curl_easy_setopt(easy, CURLOPT_SERVER_RESPONSE_TIMEOUT, silence);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, silence);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, static_cast<long>(kPieceSize));
    // One CWD to the whole folder, then the command on the bare name.
    curl_easy_setopt(easy, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_SINGLECWD));
    // Active mode unless the connection asks for passive: the server connects
    // back to the address of our control connection.
    if (!connection_.passive) curl_easy_setopt(easy, CURLOPT_FTPPORT, "-");
    return true;
}

bool FtpClient::StartTransfer() {
    ExpectOffWindowThread("an FTP transfer");
    transferDone_ = false;
    transferResult_ = CURLE_OK;
    if (curl_multi_add_handle(Multi(multi_), Easy(easy_)) != CURLM_OK) {
        error_ = FillIn(
            QCoreApplication::translate("FtpClient", "The FTP transfer could not be started."));
        return false;
    }
    added_ = true;
    return true;
}

void FtpClient::Drive(bool untilData) {
    while (!transferDone_ && !Cancelled()) {
        int running = 0;
        curl_multi_perform(Multi(multi_), &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(Multi(multi_), &left)) {
            if (message->msg == CURLMSG_DONE) {
                transferDone_ = true;
                transferResult_ = message->data.result;
            }
        }
        if (transferDone_) return;
        if (untilData && pieceTaken_ < piece_.size()) return;
        // Interrupt() wakes this at once; the cancel word is looked at each turn.
        curl_multi_poll(Multi(multi_), nullptr, 0, kPollMilliseconds, nullptr);
    }
}

void FtpClient::StopTransfer() {
    if (!added_) return;
    // Removing an unfinished transfer makes libcurl drop the control
    // connection; the next call logs on again.
    if (!transferDone_) loggedOn_ = false;
    curl_multi_remove_handle(Multi(multi_), Easy(easy_));
    added_ = false;
}

int FtpClient::Perform() {
    if (!StartTransfer()) return CURLE_FAILED_INIT;
    Drive(false);
    StopTransfer();
    return transferDone_ ? transferResult_ : CURLE_ABORTED_BY_CALLBACK;
}

FtpOutcome FtpClient::Conclude(int code) {
    if (Cancelled()) {
        error_ = FillIn(QCoreApplication::translate("FtpClient", "The FTP call was cancelled."));
        return FtpOutcome::Cancelled;
    }
    if (code == CURLE_OK) return FtpOutcome::Done;
    error_ = FtpFailureText(code, errorBuffer_);
    if (lastReplyCode_ >= 400) {
        error_ = FillIn(QCoreApplication::translate("FtpClient", "%1 (server reply: %2)"),
                        {error_, lastReply_});
    }
    timedOut_ = code == CURLE_OPERATION_TIMEDOUT;
    if (timedOut_) {
        // curl's own text speaks of bytes per second; say what the user needs.
        error_ = FillIn(
            path_.empty() ? QCoreApplication::translate(
                                "FtpClient",
                                "The server %1 timed out: nothing came for %2 seconds "
                                "while reading its first reply.")
                          : QCoreApplication::translate(
                                "FtpClient",
                                "The server %1 timed out: nothing came for %2 seconds "
                                "while reading %3."),
            {connection_.server, std::to_string(connection_.timeoutSeconds), EscapeName(path_)});
    }

    const bool permanentFileReply = lastReplyCode_ >= 550 && lastReplyCode_ <= 559;
    switch (code) {
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_REMOTE_FILE_NOT_FOUND:
        case CURLE_FTP_COULDNT_RETR_FILE:
        case CURLE_QUOTE_ERROR:
        case CURLE_UPLOAD_FAILED:
            if (permanentFileReply) return FtpOutcome::Refused;
            break;
        case CURLE_LOGIN_DENIED:
        case CURLE_COULDNT_CONNECT:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_ACCEPT_TIMEOUT:
        case CURLE_FTP_PORT_FAILED:
        case CURLE_WEIRD_SERVER_REPLY:
            loggedOn_ = false;  // the control connection is gone or useless
            break;
        default:
            break;
    }
    return FtpOutcome::Failed;
}

FtpOutcome FtpClient::EnsureLoggedOn() {
    // Only one transfer at a time: an open download ends here.
    EndDownload();
    return loggedOn_ ? FtpOutcome::Done : Connect();
}

// --- The calls ------------------------------------------------------------------

FtpOutcome FtpClient::Connect() {
    EndDownload();
    if (Cancelled()) return Conclude(CURLE_ABORTED_BY_CALLBACK);
    if (!Prepare("")) return FtpOutcome::Failed;
    CURL* easy = Easy(easy_);
    // Log on, ask for the features, ask for UTF-8 names; a server that knows
    // neither command is fine.
    curl_slist* commands = nullptr;
    commands = curl_slist_append(commands, "*FEAT");
    commands = curl_slist_append(commands, "*OPTS UTF8 ON");
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(easy, CURLOPT_QUOTE, commands);
    const int code = Perform();
    curl_easy_setopt(easy, CURLOPT_QUOTE, static_cast<curl_slist*>(nullptr));
    curl_slist_free_all(commands);
    const FtpOutcome outcome = Conclude(code);
    if (outcome != FtpOutcome::Done) return outcome;

    // FEAT names one feature a line, each line starting with a blank.
    features_.clear();
    for (const std::string& line : replyLines_) {
        if (line.size() > 1 && line.front() == ' ') features_.push_back(line.substr(1));
    }
    machineListing_ = Offers("MLST");
    char* entry = nullptr;
    home_.clear();
    if (curl_easy_getinfo(easy, CURLINFO_FTP_ENTRY_PATH, &entry) == CURLE_OK && entry != nullptr &&
        entry[0] == '/') {
        home_ = entry;
        if (home_.back() != '/') home_ += '/';
    }
    loggedOn_ = true;
    return outcome;
}

FtpOutcome FtpClient::List(const std::string& folder, std::string& text, bool& machineFormat) {
    text.clear();
    FtpOutcome outcome = EnsureLoggedOn();
    if (outcome != FtpOutcome::Done) return outcome;
    for (;;) {
        if (!Prepare(folder)) return FtpOutcome::Failed;
        listing_ = &text;
        curl_easy_setopt(Easy(easy_), CURLOPT_WRITEFUNCTION, &FtpClient::OnListingData);
        // LIST leaves out names that start with a dot where the server lists
        // as `ls` does; "-a" takes them in, where the server knows it.
        const bool all = !machineListing_ && listsAll_ != Knows::No;
        if (machineListing_) curl_easy_setopt(Easy(easy_), CURLOPT_CUSTOMREQUEST, "MLSD");
        if (all) curl_easy_setopt(Easy(easy_), CURLOPT_CUSTOMREQUEST, "LIST -a");
        const int code = Perform();
        listing_ = nullptr;
        machineFormat = machineListing_;
        outcome = Conclude(code);
        // A server that announced MLST but does not know MLSD gets LIST from now on.
        if (outcome == FtpOutcome::Failed && machineListing_ && IsUnknownCommand(lastReplyCode_)) {
            machineListing_ = false;
            text.clear();
            continue;
        }
        if (all && listsAll_ == Knows::Unknown && outcome != FtpOutcome::Cancelled) {
            // Taken at its word only when "-a" listed the folder itself ("."):
            // a server that took "-a" for a name would list nothing, or fail.
            listsAll_ = outcome == FtpOutcome::Done && ListsItself(text) ? Knows::Yes : Knows::No;
            if (listsAll_ == Knows::No) {
                text.clear();
                continue;
            }
        }
        return outcome;
    }
}

FtpOutcome FtpClient::ListName(const std::string& folder, const std::string& name,
                               std::string& text) {
    text.clear();
    const FtpOutcome outcome = EnsureLoggedOn();
    if (outcome != FtpOutcome::Done) return outcome;
    if (HasLineBreak(name) || !Prepare(folder)) return FtpOutcome::Failed;
    listing_ = &text;
    curl_easy_setopt(Easy(easy_), CURLOPT_WRITEFUNCTION, &FtpClient::OnListingData);
    const std::string request = "LIST " + name;
    curl_easy_setopt(Easy(easy_), CURLOPT_CUSTOMREQUEST, request.c_str());
    const int code = Perform();
    listing_ = nullptr;
    return Conclude(code);
}

FtpOutcome FtpClient::OpenDownload(const std::string& path, uint64_t& serial) {
    FtpOutcome outcome = EnsureLoggedOn();
    if (outcome != FtpOutcome::Done) return outcome;
    if (!Prepare(path)) return FtpOutcome::Failed;
    CURL* easy = Easy(easy_);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &FtpClient::OnDownloadData);
    // No SIZE before RETR: the listing gave the size, and the reader checks it.
    curl_easy_setopt(easy, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    piece_.clear();
    pieceTaken_ = 0;
    paused_ = false;
    if (!StartTransfer()) return FtpOutcome::Failed;
    downloading_ = true;
    serial = ++downloadSerial_;
    Drive(true);
    if (Cancelled() || (transferDone_ && transferResult_ != CURLE_OK)) {
        const int code = transferDone_ ? transferResult_ : CURLE_ABORTED_BY_CALLBACK;
        EndDownload();
        return Conclude(code);
    }
    return FtpOutcome::Done;
}

int64_t FtpClient::ReadDownload(uint64_t serial, char* buffer, size_t capacity) {
    if (!downloading_ || serial != downloadSerial_) return -1;
    while (pieceTaken_ >= piece_.size()) {
        if (transferDone_) {
            if (transferResult_ == CURLE_OK) return 0;
            Conclude(transferResult_);
            return -1;
        }
        if (Cancelled()) {
            Conclude(CURLE_ABORTED_BY_CALLBACK);
            return -1;
        }
        if (paused_) {
            // May hand over the held-back data at once, through OnDownloadData.
            paused_ = false;
            curl_easy_pause(Easy(easy_), CURLPAUSE_CONT);
            continue;
        }
        Drive(true);
    }
    const size_t n = std::min({capacity, kPieceSize, piece_.size() - pieceTaken_});
    std::memcpy(buffer, piece_.data() + pieceTaken_, n);
    pieceTaken_ += n;
    return static_cast<int64_t>(n);
}

void FtpClient::CloseDownload(uint64_t serial) {
    if (serial == downloadSerial_) EndDownload();
}

void FtpClient::EndDownload() {
    if (!downloading_) return;
    downloading_ = false;
    // libcurl cannot stop a download and keep its control connection, so
    // when little is left (or only the server's closing reply), reading it
    // to the end is cheaper than logging on again.
    size_t skipped = 0;
    while (!transferDone_ && skipped <= kSkipBeforeLogon && !Cancelled()) {
        skipped += piece_.size() - pieceTaken_;
        pieceTaken_ = piece_.size();
        if (paused_) {
            paused_ = false;
            curl_easy_pause(Easy(easy_), CURLPAUSE_CONT);
            continue;
        }
        Drive(true);
    }
    StopTransfer();
    piece_.clear();
    pieceTaken_ = 0;
    paused_ = false;
}

FtpOutcome FtpClient::Commands(const std::vector<std::string>& commands,
                               std::vector<std::string>* reply) {
    FtpOutcome outcome = EnsureLoggedOn();
    if (outcome != FtpOutcome::Done) return outcome;
    if (!Prepare("/")) return FtpOutcome::Failed;
    // A refused command ("*" before it) does not end the call: libcurl would
    // close the connection after it, and every refusal (an MLST of a file not
    // there yet) would cost a new logon. The replies say how each went.
    curl_slist* list = nullptr;
    for (const std::string& command : commands) {
        if (HasLineBreak(command)) {
            curl_slist_free_all(list);
            error_ = FillIn(
                QCoreApplication::translate("FtpClient", "The FTP command %1 holds a line break."),
                {command});
            return FtpOutcome::Failed;
        }
        list = curl_slist_append(list, ("*" + command).c_str());
    }
    CURL* easy = Easy(easy_);
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(easy, CURLOPT_QUOTE, list);
    const int code = Perform();
    curl_easy_setopt(easy, CURLOPT_QUOTE, static_cast<curl_slist*>(nullptr));
    curl_slist_free_all(list);
    if (reply != nullptr) *reply = replyLines_;
    if (code != CURLE_OK) return Conclude(code);
    // The commands' replies come first, one final line each, in order,
    // before anything libcurl sends of its own. The first refusal counts:
    // the commands after it (an RNTO after a refused RNFR) fail harmlessly.
    size_t answered = 0;
    for (const std::string& line : replyLines_) {
        if (answered == commands.size()) break;
        if (line.size() < 4 || line[3] != ' ' ||
            !std::all_of(line.begin(), line.begin() + 3,
                         [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        ++answered;
        const int answer = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
        if (answer >= 400) {
            lastReply_ = line;
            lastReplyCode_ = answer;
            return Conclude(CURLE_QUOTE_ERROR);
        }
    }
    return FtpOutcome::Done;
}

size_t FtpClient::OnUploadData(char* data, size_t size, size_t count, void* self) {
    auto& client = *static_cast<FtpClient*>(self);
    if (client.uploadStop_ != nullptr && client.uploadStop_->load(std::memory_order_relaxed) != 0) {
        client.uploadStopped_ = true;
        return CURL_READFUNC_ABORT;
    }
    const int64_t got = (*client.uploadSource_)(data, size * count);
    if (got < 0) {
        client.uploadSourceFailed_ = true;
        return CURL_READFUNC_ABORT;
    }
    client.uploaded_ += static_cast<uint64_t>(got);
    return static_cast<size_t>(got);
}

FtpOutcome FtpClient::Upload(const std::string& path, const DataSource& source,
                             const std::atomic<int32_t>* stop, uint64_t& bytes) {
    bytes = 0;
    FtpOutcome outcome = EnsureLoggedOn();
    if (outcome != FtpOutcome::Done) return outcome;
    if (!Prepare(path)) return FtpOutcome::Failed;
    CURL* easy = Easy(easy_);
    curl_easy_setopt(easy, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(easy, CURLOPT_READFUNCTION, &FtpClient::OnUploadData);
    curl_easy_setopt(easy, CURLOPT_READDATA, this);
    uploadSource_ = &source;
    uploadStop_ = stop;
    uploaded_ = 0;
    uploadSourceFailed_ = false;
    uploadStopped_ = false;
    const int code = Perform();
    uploadSource_ = nullptr;
    uploadStop_ = nullptr;
    bytes = uploaded_;
    if (uploadStopped_) {
        error_ = FillIn(QCoreApplication::translate("FtpClient", "The upload was cancelled."));
        return FtpOutcome::Cancelled;
    }
    if (uploadSourceFailed_) {
        error_ = FillIn(QCoreApplication::translate("FtpClient", "the original could not be read"));
        return FtpOutcome::Failed;
    }
    return Conclude(code);
}

bool FtpClient::Offers(std::string_view feature) const {
    return std::any_of(features_.begin(), features_.end(), [feature](const std::string& line) {
        return StartsWithAsciiFolded(line, feature) &&
               (line.size() == feature.size() || line[feature.size()] == ' ');
    });
}

}  // namespace ravelmoor
