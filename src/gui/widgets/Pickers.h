#pragma once

#include <QString>
#include <optional>
#include <string>

class QWidget;

namespace ravelmoor {

// A file to ask for: the dialog's title, its filter ("Name (*.ext)"), the
// extension added to a name typed without one, and the name to start from.
struct FileChoice {
    QString title;
    QString filter;
    QString defaultSuffix;
    std::string initial;
};

// The folder and file pickers of the windows. Each returns the chosen path,
// or nothing when the user cancelled. Tests put a scripted one in place.
class Pickers {
  public:
    virtual ~Pickers() = default;
    // A folder; `start` is selected at first when it exists.
    virtual std::optional<std::string> PickFolder(QWidget* parent, const QString& title,
                                                  const std::string& start) = 0;
    // An existing file.
    virtual std::optional<std::string> PickFileToOpen(QWidget* parent,
                                                      const FileChoice& choice) = 0;
    // A file to write; the dialog asks before an existing file is replaced.
    virtual std::optional<std::string> PickFileToSave(QWidget* parent,
                                                      const FileChoice& choice) = 0;
};

// The desktop's own file dialogs.
class DialogPickers : public Pickers {
  public:
    std::optional<std::string> PickFolder(QWidget* parent, const QString& title,
                                          const std::string& start) override;
    std::optional<std::string> PickFileToOpen(QWidget* parent, const FileChoice& choice) override;
    std::optional<std::string> PickFileToSave(QWidget* parent, const FileChoice& choice) override;
};

}  // namespace ravelmoor
