#pragma once

#include <QDialog>

namespace ravelmoor {

// The about box: the program's name, version and what it does.
class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace ravelmoor
