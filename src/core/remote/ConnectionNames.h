#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ravelmoor {

class Prompter;

// Sorts connection names as the dialog's name list shows them: ignoring case,
// then byte order.
void SortConnectionNames(std::vector<std::string>& names);

// A connection's name: its server followed by its directory, as they are.
std::string ConnectionNameFor(std::string_view server, std::string_view directory);

// The name list of a connections dialog: sorted as its name box shows it
// (ignoring case, then byte order), searched ignoring case, as the dialog's
// user sees one connection per name whatever its case. Shared by the FTP and
// SFTP dialogs, together with the words they use about names.
class ConnectionNames {
  public:
    // The store's names, sorted.
    void Fill(std::vector<std::string> names);
    // The listed name equal to `name` ignoring case, or null.
    const std::string* Find(std::string_view name) const;
    // Lists `name` (in its place) unless it is listed with this spelling.
    void Add(const std::string& name);
    // Removes a name that Find returned.
    void Remove(const std::string* listed);
    const std::vector<std::string>& All() const { return names_; }

    // "Select connection name to be deleted".
    static void WarnNotListed(Prompter& prompter);
    // Asks before the stored connection `name` is changed; true for OK.
    static bool AskToChange(Prompter& prompter, const std::string& name);

  private:
    std::vector<std::string> names_;
};

}  // namespace ravelmoor
