#pragma once

#include <QComboBox>
#include <string>
#include <vector>

class QLineEdit;

namespace ravelmoor {

// The name box of a connections dialog: the stored names to pick from, and
// the current name, which cannot be typed (it follows the server and the
// directory). Show puts the editor's list and name in without raising the
// signals of a user's edit.
class ConnectionNameBox : public QComboBox {
    Q_OBJECT

  public:
    explicit ConnectionNameBox(QWidget* parent = nullptr);

    void Show(const std::vector<std::string>& names, const std::string& name);

    // Shows `text` in `box` unless it shows it already, so that its cursor
    // and undo history stay where the user's typing left them.
    static void ShowText(QLineEdit* box, const std::string& text);
};

}  // namespace ravelmoor
