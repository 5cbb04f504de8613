#include "core/ftp/FtpConnectionEditor.h"

#include <QUrl>

#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// A URL needs a scheme and a host; "host1/pub/" alone is only a path.
bool ParsesAsUrl(const std::string& text) {
    const QUrl url(QString::fromStdString(text));
    return url.isValid() && !url.scheme().isEmpty() && !url.host().isEmpty();
}

}  // namespace

bool IsAcceptableFtpUrl(std::string_view server, std::string_view directory) {
    const std::string text = ConnectionNameFor(server, directory);
    return ParsesAsUrl(text) || ParsesAsUrl("ftp://" + text);
}

void FtpConnectionEditor::New() {
    ConnectionEditorOf::New();
    fields_.passive = true;
}

std::string FtpConnectionEditor::Problem() {
    if (name_.empty())
        return FillIn(QCoreApplication::translate("FtpConnectionEditor", "Empty connection name"));
    if (fields_.server.empty())
        return FillIn(QCoreApplication::translate("FtpConnectionEditor", "Empty server name"));
    for (const auto& [field, message] :
         {std::pair{&fields_.server,
                    QT_TRANSLATE_NOOP("FtpConnectionEditor",
                                      "The server name holds a line break or NUL character, "
                                      "which FTP cannot send.")},
          std::pair{&fields_.user,
                    QT_TRANSLATE_NOOP("FtpConnectionEditor",
                                      "The user name holds a line break or NUL character, "
                                      "which FTP cannot send.")},
          std::pair{&fields_.password,
                    QT_TRANSLATE_NOOP("FtpConnectionEditor",
                                      "The password holds a line break or NUL character, "
                                      "which FTP cannot send.")},
          std::pair{&fields_.directory,
                    QT_TRANSLATE_NOOP("FtpConnectionEditor",
                                      "The directory holds a line break or NUL character, "
                                      "which FTP cannot send.")}}) {
        if (HasLineBreak(*field)) return Translated("FtpConnectionEditor", message);
    }
    if (!IsAcceptableFtpUrl(fields_.server, fields_.directory)) {
        return FillIn(QCoreApplication::translate("FtpConnectionEditor",
                                                  "Invalid URL for server and directory"));
    }
    return {};
}

}  // namespace ravelmoor
