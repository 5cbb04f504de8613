#include "core/sftp/SftpConnectionEditor.h"

#include "core/engine/Prompter.h"
#include "core/ftp/FtpConnectionEditor.h"
#include "core/sftp/SftpConnectionStore.h"

namespace ravelmoor {

void SftpConnectionEditor::Open() {
    names_.Fill(store_.ConnectionNames());
    const std::string* listed = name_.empty() ? nullptr : names_.Find(name_);
    if (listed != nullptr) {
        PickName(*listed);
    } else {
        New();
    }
}

void SftpConnectionEditor::PickName(std::string_view name) {
    name_ = name;
    fields_ = store_.LookupConnection(name);
}

void SftpConnectionEditor::SetHost(std::string_view host) {
    fields_.host = host;
    name_ = ConnectionNameFor(fields_.host, fields_.directory);
}

void SftpConnectionEditor::SetDirectory(std::string_view directory) {
    fields_.directory = directory;
    name_ = ConnectionNameFor(fields_.host, fields_.directory);
}

void SftpConnectionEditor::New() {
    name_.clear();
    fields_ = SftpConnection{};
}

bool SftpConnectionEditor::Delete(std::string_view nameBoxText) {
    const std::string* listed = names_.Find(nameBoxText);
    if (listed == nullptr) {
        ConnectionNames::WarnNotListed(prompter_);
        return false;
    }
    store_.DeleteConnection(*listed);
    names_.Remove(listed);
    New();
    return true;
}

SftpConnectionEditor::SaveResult SftpConnectionEditor::Save() {
    // The agent holds its own keys: a secret typed for another logon is not kept.
    if (fields_.logon == SftpLogon::Agent) fields_.secret.clear();
    if (const std::string problem = SftpConnectionStore::Problem(name_, fields_);
        !problem.empty()) {
        prompter_.Warn(problem);
        return SaveResult::Refused;
    }
    if (const std::string* listed = names_.Find(name_)) {
        name_ = *listed;
        if (store_.LookupConnection(name_) == fields_) return SaveResult::Unchanged;
        if (!ConnectionNames::AskToChange(prompter_, name_)) return SaveResult::Declined;
    }
    const SftpConnectionStore::WriteResult written = store_.WriteConnection(name_, fields_);
    if (!written.stored) {
        prompter_.Warn(written.text);
        return SaveResult::Refused;
    }
    if (!written.text.empty()) prompter_.Inform(written.text);
    names_.Add(name_);
    return SaveResult::Saved;
}

}  // namespace ravelmoor
