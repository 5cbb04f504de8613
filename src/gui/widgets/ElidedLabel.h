#pragma once

#include <QFrame>
#include <QString>

namespace ravelmoor {

// A one-line text that never widens its window: what does not fit is cut in
// the middle (or at the end) with an ellipsis, and the whole text is the
// tooltip. The text is shown as it is: no '&' mnemonics, no rich text.
class ElidedLabel : public QFrame {
    Q_OBJECT

  public:
    explicit ElidedLabel(QWidget* parent = nullptr, Qt::TextElideMode mode = Qt::ElideMiddle);

    void setText(const QString& text);
    const QString& text() const { return text_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    Qt::TextElideMode mode_;
};

}  // namespace ravelmoor
