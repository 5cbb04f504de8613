#pragma once

#include <QMenu>

class QAction;

namespace ravelmoor {

struct Settings;

// The main window's "&Settings" menu. Its checks and the text of its last
// item follow the settings on every Refresh.
class SettingsMenu : public QMenu {
    Q_OBJECT

  public:
    explicit SettingsMenu(QWidget* parent = nullptr);

    void Refresh(const Settings& settings);

    QAction* includeSubFolders;
    QAction* sizeAndTimestamp;
    QAction* crc;
    QAction* both;
    QAction* filters;
    QAction* generalSettings;
    QAction* ftpConnections;
    QAction* sftpConnections;
    QAction* loadSettings;
    QAction* saveSettings;
    QAction* restoreDefaults;
    QAction* background;
};

}  // namespace ravelmoor
