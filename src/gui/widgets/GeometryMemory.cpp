#include "gui/widgets/GeometryMemory.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "core/results/WindowPlacement.h"
#include "core/settings/SettingsStore.h"

namespace ravelmoor {
namespace {

constexpr const char* kSection = "Geometry";
// Set on a window once its kept place has been given to it.
constexpr const char* kPlacedProperty = "ravelmoorPlaced";
constexpr QLatin1String kOwnNamespace("ravelmoor::");

std::vector<QRect> ScreenAreas() {
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.push_back(screen->availableGeometry());
    return areas;
}

}  // namespace

GeometryMemory::GeometryMemory(SettingsStore& store, QObject* parent)
    : QObject(parent), store_(store) {}

QString GeometryMemory::KeyOf(const QWidget& window) {
    const QString name = QString::fromLatin1(window.metaObject()->className());
    // The program's own windows only; the results window places itself.
    if (!window.isWindow() || !name.startsWith(kOwnNamespace) ||
        name == QLatin1String("ravelmoor::ResultsWindow") || window.windowType() == Qt::Popup ||
        window.windowType() == Qt::ToolTip) {
        return {};
    }
    const QScreen* screen = window.screen();
    if (screen == nullptr) return {};
    const QSize size = screen->geometry().size();
    return QStringLiteral("%1@%2 %3x%4")
        .arg(name.mid(kOwnNamespace.size()), screen->name())
        .arg(size.width())
        .arg(size.height());
}

bool GeometryMemory::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow()) {
            if (type == QEvent::Show) {
                Restore(*window);
            } else {
                Keep(*window);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void GeometryMemory::Restore(QWidget& window) {
    if (window.property(kPlacedProperty).toBool()) return;
    window.setProperty(kPlacedProperty, true);
    const QString key = KeyOf(window);
    if (key.isEmpty()) return;
    const std::optional<WindowPlacement> kept =
        ParsePlacement(store_.ReadString(kSection, key.toStdString(), ""));
    if (!kept) return;
    window.setGeometry(ClampToScreens(kept->Rect(), ScreenAreas()));
}

void GeometryMemory::Keep(const QWidget& window) {
    // Only what the window was given, not the state it was shown in.
    if (!window.property(kPlacedProperty).toBool()) return;
    const QString key = KeyOf(window);
    if (key.isEmpty()) return;
    store_.WriteString(kSection, key.toStdString(),
                       FormatPlacement(WindowPlacement::FromRect(window.geometry(), false)));
}

}  // namespace ravelmoor
