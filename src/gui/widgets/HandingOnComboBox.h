#pragma once

#include <QComboBox>
#include <functional>
#include <utility>

namespace ravelmoor {

// A combo box that hands the focus on when its drop-down list closes:
// `closed` is called then, chosen or not.
class HandingOnComboBox : public QComboBox {
  public:
    HandingOnComboBox(std::function<void()> closed, QWidget* parent)
        : QComboBox(parent), closed_(std::move(closed)) {}
    void hidePopup() override {
        QComboBox::hidePopup();
        closed_();
    }

  private:
    std::function<void()> closed_;
};

}  // namespace ravelmoor
