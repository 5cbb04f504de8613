#include "core/ftp/FtpServerName.h"

#include <algorithm>

#include "core/engine/CaseFold.h"
#include "core/text/Translated.h"

namespace ravelmoor {

bool SplitServer(std::string server, std::string& host, std::string& port, std::string& problem) {
    if (StartsWithAsciiFolded(server, "ftp://")) server.erase(0, 6);
    while (!server.empty() && server.back() == '/')
        server.pop_back();
    host = server;
    port = "21";
    if (!server.empty() && server.front() == '[') {
        const size_t close = server.find(']');
        if (close == std::string::npos) {
            problem = FillIn(QCoreApplication::translate(
                                 "FtpClient", "The server name %1 lacks its closing ']'."),
                             {server});
            return false;
        }
        host = server.substr(0, close + 1);
        if (close + 1 < server.size()) {
            if (server[close + 1] != ':') {
                problem = FillIn(
                    QCoreApplication::translate("FtpClient", "The server name %1 cannot be read."),
                    {server});
                return false;
            }
            port = server.substr(close + 2);
        }
    } else if (std::count(server.begin(), server.end(), ':') == 1) {
        const size_t colon = server.find(':');
        host = server.substr(0, colon);
        port = server.substr(colon + 1);
    } else if (server.find(':') != std::string::npos) {
        host = "[" + server + "]";  // a bare IPv6 address
    }
    const bool portOk =
        !port.empty() && port.size() <= 5 &&
        std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        std::stoi(port) >= 1 && std::stoi(port) <= 65535;
    if (host.empty() || !portOk) {
        problem =
            FillIn(QCoreApplication::translate(
                       "FtpClient", "The server name %1 is not a host name with an optional port."),
                   {server});
        return false;
    }
    return true;
}

}  // namespace ravelmoor
