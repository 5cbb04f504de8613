#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace ravelmoor {

class SettingsStore;

// Every top-level window of the program opens where it was last left, and
// as large, on a screen of the same name and size: each window's place is
// kept per window and per screen in the per-user store (section
// "Geometry"). Installed once on the application, it takes the windows as
// they are shown and hidden. The results window keeps its own placement, and
// message boxes and menus are left where Qt puts them.
class GeometryMemory : public QObject {
  public:
    explicit GeometryMemory(SettingsStore& store, QObject* parent = nullptr);

    // The store's name for the place of `window` on its screen; empty for a
    // window whose place is not kept.
    static QString KeyOf(const QWidget& window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Restore(QWidget& window);
    void Keep(const QWidget& window);

    SettingsStore& store_;
};

}  // namespace ravelmoor
