#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/engine/Prompter.h"
#include "core/remote/ConnectionNames.h"

namespace ravelmoor {

// What a connections dialog asks of the editor that holds its rules (the FTP
// and the SFTP one): the name list, the name shown, and what opening,
// picking, "New", "Delete" and "OK" do.
class ConnectionEditing {
  public:
    enum class SaveResult {
        Refused,    // a field failed its check (said); the dialog stays open
        Declined,   // the user did not want to change the existing connection
        Unchanged,  // the connection is stored with these values; nothing written
        Saved,      // written; the dialog closes
    };

    virtual ~ConnectionEditing() = default;

    // Fills the name list from the store; the kept name, when listed, is
    // picked again, else the fields are cleared as by "New".
    virtual void Open() = 0;
    // Picks a listed name: the fields become the stored values.
    virtual void PickName(std::string_view name) = 0;
    virtual void New() = 0;
    // The server (or host) or the directory as edited, or the directory
    // chosen in the browser; the name follows them.
    virtual void SetServer(std::string_view server) = 0;
    virtual void SetDirectory(std::string_view directory) = 0;
    // Deletes the connection named `nameBoxText` (found ignoring case); false,
    // with a message, when it is not listed.
    virtual bool Delete(std::string_view nameBoxText) = 0;
    // "OK": checks the fields, asks before changing an existing connection
    // (whose listed spelling the name then takes), writes it.
    virtual SaveResult Save() = 0;

    virtual const std::string& Name() const = 0;
    // The name list, sorted as the name box sorts (ignoring case).
    virtual const std::vector<std::string>& Names() const = 0;

  protected:
    ConnectionEditing() = default;
    ConnectionEditing(const ConnectionEditing&) = default;
    ConnectionEditing& operator=(const ConnectionEditing&) = default;
};

// The editing both kinds of connection share, over a store with
// ConnectionNames(), LookupConnection(name), WriteConnection(name, fields)
// (answering `stored` and `text`) and DeleteConnection(name), and a record
// whose name is its server (the field `kServer`) followed by its directory.
// The editor of a kind adds the setters of its other fields, what "New"
// starts from, and the checks "OK" makes.
template <typename Store, typename Record, std::string Record::*kServer>
class ConnectionEditorOf : public ConnectionEditing {
  public:
    void Open() override {
        names_.Fill(store_.ConnectionNames());
        const std::string* listed = name_.empty() ? nullptr : names_.Find(name_);
        if (listed != nullptr) {
            PickName(*listed);
        } else {
            New();
        }
    }

    void PickName(std::string_view name) override {
        name_ = name;
        fields_ = store_.LookupConnection(name);
    }

    // Empties the name and the fields.
    void New() override {
        name_.clear();
        fields_ = Record{};
    }

    // Removes the connection from the store (with its password) and the list.
    bool Delete(std::string_view nameBoxText) override {
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

    SaveResult Save() override {
        if (const std::string problem = Problem(); !problem.empty()) {
            prompter_.Warn(problem);
            return SaveResult::Refused;
        }
        if (const std::string* listed = names_.Find(name_)) {
            // One connection per name whatever its case: change the stored one.
            name_ = *listed;
            if (store_.LookupConnection(name_) == fields_) return SaveResult::Unchanged;
            if (!ConnectionNames::AskToChange(prompter_, name_)) return SaveResult::Declined;
        }
        const auto written = store_.WriteConnection(name_, fields_);
        if (!written.stored) {
            prompter_.Warn(written.text);
            return SaveResult::Refused;
        }
        if (!written.text.empty()) prompter_.Inform(written.text);
        names_.Add(name_);
        return SaveResult::Saved;
    }

    void SetServer(std::string_view server) override {
        fields_.*kServer = server;
        name_ = ConnectionNameFor(fields_.*kServer, fields_.directory);
    }
    void SetDirectory(std::string_view directory) override {
        fields_.directory = directory;
        name_ = ConnectionNameFor(fields_.*kServer, fields_.directory);
    }

    const std::string& Name() const override { return name_; }
    const Record& Fields() const { return fields_; }
    const std::vector<std::string>& Names() const override { return names_.All(); }

  protected:
    ConnectionEditorOf(Store& store, Prompter& prompter) : store_(store), prompter_(prompter) {}

    // Why "OK" cannot store the fields under the name, in words; empty when
    // it can. It may first drop what the fields do not keep.
    virtual std::string Problem() = 0;

    Store& store_;
    Prompter& prompter_;
    std::string name_;
    Record fields_;

  private:
    ConnectionNames names_;
};

}  // namespace ravelmoor
