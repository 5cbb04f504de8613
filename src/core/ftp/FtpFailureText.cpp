#include "core/ftp/FtpFailureText.h"

#include <curl/curl.h>

#include "core/text/Translated.h"

namespace ravelmoor {

std::string FtpFailureText(int code, const char* curlText) {
    const char* own = nullptr;
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
            own = QT_TRANSLATE_NOOP("FtpClient", "The server's name could not be resolved.");
            break;
        case CURLE_COULDNT_CONNECT:
            own = QT_TRANSLATE_NOOP("FtpClient", "The server could not be reached.");
            break;
        case CURLE_LOGIN_DENIED:
            own = QT_TRANSLATE_NOOP("FtpClient", "The server refused the user name or password.");
            break;
        case CURLE_REMOTE_ACCESS_DENIED:
            own = QT_TRANSLATE_NOOP("FtpClient", "The server denied access.");
            break;
        case CURLE_REMOTE_FILE_NOT_FOUND:
            own = QT_TRANSLATE_NOOP("FtpClient", "The server does not have it.");
            break;
        case CURLE_FTP_COULDNT_RETR_FILE:
            own = QT_TRANSLATE_NOOP("FtpClient", "The server did not send the file.");
            break;
        case CURLE_UPLOAD_FAILED:
            own = QT_TRANSLATE_NOOP("FtpClient", "The server did not take the upload.");
            break;
        case CURLE_QUOTE_ERROR:
            own = QT_TRANSLATE_NOOP("FtpClient", "The server refused the command.");
            break;
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
            own = QT_TRANSLATE_NOOP("FtpClient", "The connection to the server broke off.");
            break;
        case CURLE_FTP_ACCEPT_FAILED:
        case CURLE_FTP_ACCEPT_TIMEOUT:
        case CURLE_FTP_PORT_FAILED:
            own = QT_TRANSLATE_NOOP("FtpClient",
                                    "The server's data connection could not be made (try passive "
                                    "mode).");
            break;
        case CURLE_WEIRD_SERVER_REPLY:
            own = QT_TRANSLATE_NOOP("FtpClient", "The server's reply could not be understood.");
            break;
        default:
            break;
    }
    if (own != nullptr) {
        std::string translated = Translated("FtpClient", own);
        if (translated != own) return translated;
    }
    std::string text =
        curlText[0] != '\0' ? curlText : curl_easy_strerror(static_cast<CURLcode>(code));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

}  // namespace ravelmoor
