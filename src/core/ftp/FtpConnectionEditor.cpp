#include "core/ftp/FtpConnectionEditor.h"

#include <QUrl>
#include <algorithm>

#include "core/engine/CaseFold.h"
#include "core/engine/Prompter.h"
#include "core/ftp/FtpConnectionStore.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

bool ListOrder(const std::string& a, const std::string& b) {
    const std::string foldedA = FoldCase(a);
    const std::string foldedB = FoldCase(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

// A URL needs a scheme and a host; "host1/pub/" alone is only a path.
bool ParsesAsUrl(const std::string& text) {
    const QUrl url(QString::fromStdString(text));
    return url.isValid() && !url.scheme().isEmpty() && !url.host().isEmpty();
}

}  // namespace

void SortConnectionNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), ListOrder);
}

std::string ConnectionNameFor(std::string_view server, std::string_view directory) {
    return std::string(server) + std::string(directory);
}

bool IsAcceptableFtpUrl(std::string_view server, std::string_view directory) {
    const std::string text = ConnectionNameFor(server, directory);
    return ParsesAsUrl(text) || ParsesAsUrl("ftp://" + text);
}

void FtpConnectionEditor::Open() {
    names_.Fill(store_.ConnectionNames());
    const std::string* listed = name_.empty() ? nullptr : names_.Find(name_);
    if (listed != nullptr) {
        PickName(*listed);
    } else {
        New();
    }
}

void FtpConnectionEditor::PickName(std::string_view name) {
    name_ = name;
    fields_ = store_.ReadConnection(name);
}

void FtpConnectionEditor::SetServer(std::string_view server) {
    fields_.server = server;
    name_ = ConnectionNameFor(fields_.server, fields_.directory);
}

void FtpConnectionEditor::SetDirectory(std::string_view directory) {
    fields_.directory = directory;
    name_ = ConnectionNameFor(fields_.server, fields_.directory);
}

void FtpConnectionEditor::New() {
    name_.clear();
    fields_ = FtpConnection{};
    fields_.passive = true;
}

bool FtpConnectionEditor::Delete(std::string_view nameBoxText) {
    const std::string* listed = names_.Find(nameBoxText);
    if (listed == nullptr) {
        ConnectionNames::WarnNotListed(prompter_);
        return false;
    }
    // The store tells names apart by case: it holds the listed spelling.
    store_.DeleteConnection(*listed);
    names_.Remove(listed);
    New();
    return true;
}

FtpConnectionEditor::SaveResult FtpConnectionEditor::Save() {
    if (name_.empty()) {
        prompter_.Warn(
            FillIn(QCoreApplication::translate("FtpConnectionEditor", "Empty connection name")));
        return SaveResult::Refused;
    }
    if (fields_.server.empty()) {
        prompter_.Warn(
            FillIn(QCoreApplication::translate("FtpConnectionEditor", "Empty server name")));
        return SaveResult::Refused;
    }
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
        if (HasLineBreak(*field)) {
            prompter_.Warn(Translated("FtpConnectionEditor", message));
            return SaveResult::Refused;
        }
    }
    if (!IsAcceptableFtpUrl(fields_.server, fields_.directory)) {
        prompter_.Warn(FillIn(QCoreApplication::translate("FtpConnectionEditor",
                                                          "Invalid URL for server and directory")));
        return SaveResult::Refused;
    }
    if (const std::string* listed = names_.Find(name_)) {
        // One connection per name whatever its case: change the stored one.
        name_ = *listed;
        const FtpConnection stored = store_.ReadConnection(name_);
        if (stored == fields_) return SaveResult::Unchanged;
        if (!ConnectionNames::AskToChange(prompter_, name_)) return SaveResult::Declined;
    }
    const FtpConnectionStore::PasswordWrite password = store_.WriteConnection(name_, fields_);
    if (!password.stored) {
        prompter_.Warn(password.text);
        return SaveResult::Refused;
    }
    if (!password.text.empty()) prompter_.Inform(password.text);
    names_.Add(name_);
    return SaveResult::Saved;
}

}  // namespace ravelmoor
