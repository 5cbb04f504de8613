#include "gui/widgets/HistoryComboBox.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace ravelmoor {

HistoryComboBox::HistoryComboBox(std::string section, QWidget* parent)
    : QComboBox(parent), history_(std::move(section)) {
    setEditable(true);
    // The launch decides what enters the list, not the Enter key.
    setInsertPolicy(QComboBox::NoInsert);
    // Long paths must not widen the window.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(40);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // A folder dragged from a file manager lands on the text box inside.
    setAcceptDrops(true);
    lineEdit()->installEventFilter(this);
}

QString HistoryComboBox::DroppedFolder(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    const QString path = urls.front().toLocalFile();
    return QFileInfo(path).isDir() ? path : QString();
}

bool HistoryComboBox::TakeDrop(QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (DroppedFolder(drag->mimeData()).isEmpty()) {
                drag->ignore();
            } else {
                drag->acceptProposedAction();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString folder = DroppedFolder(drop->mimeData());
            if (folder.isEmpty()) {
                drop->ignore();
                return true;
            }
            SetText(folder.toStdString());
            drop->acceptProposedAction();
            setFocus(Qt::OtherFocusReason);
            return true;
        }
        default:
            return false;
    }
}

bool HistoryComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && TakeDrop(event)) return true;
    return QComboBox::eventFilter(watched, event);
}

void HistoryComboBox::dragEnterEvent(QDragEnterEvent* event) {
    TakeDrop(event);
}

void HistoryComboBox::dragMoveEvent(QDragMoveEvent* event) {
    TakeDrop(event);
}

void HistoryComboBox::dropEvent(QDropEvent* event) {
    TakeDrop(event);
}

void HistoryComboBox::Load(const SettingsStore& store) {
    const std::string text = Text();
    history_.Load(store);
    FillList();
    SetText(text);
}

void HistoryComboBox::Save(SettingsStore& store) const {
    history_.Save(store);
}

void HistoryComboBox::AddToHistory(const std::string& text) {
    history_.AddToHistory(text);
    FillList();
    setCurrentIndex(0);
}

std::string HistoryComboBox::Text() const {
    return currentText().toStdString();
}

void HistoryComboBox::SetText(const std::string& text) {
    setEditText(QString::fromStdString(text));
}

void HistoryComboBox::FillList() {
    const QSignalBlocker quiet(this);
    clear();
    for (const std::string& entry : history_.Entries())
        addItem(QString::fromStdString(entry));
}

}  // namespace ravelmoor
