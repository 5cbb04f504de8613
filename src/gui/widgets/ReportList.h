#pragma once

#include <QString>
#include <QTreeWidget>

namespace ravelmoor {

// A flat list of rows with columns that says so in words when it has no
// rows (the filter list shows "Empty").
class ReportList : public QTreeWidget {
    Q_OBJECT

  public:
    explicit ReportList(QWidget* parent = nullptr);

    void SetEmptyText(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString emptyText_;
};

}  // namespace ravelmoor
