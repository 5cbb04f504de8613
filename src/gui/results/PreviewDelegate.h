#pragma once

#include <QStyledItemDelegate>

namespace ravelmoor {

class PreviewModel;

// Draws a preview line as its coloured runs (what is copied green, what is
// overwritten or deleted red) after the row's check box.
class PreviewDelegate : public QStyledItemDelegate {
  public:
    PreviewDelegate(const PreviewModel& model, QObject* parent)
        : QStyledItemDelegate(parent), model_(model) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    const PreviewModel& model_;
};

}  // namespace ravelmoor
