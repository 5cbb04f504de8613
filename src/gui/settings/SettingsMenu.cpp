#include "gui/settings/SettingsMenu.h"

#include <QActionGroup>

#include "core/engine/ComparisonMethod.h"
#include "core/settings/Settings.h"

namespace ravelmoor {

SettingsMenu::SettingsMenu(QWidget* parent) : QMenu(tr("&Settings"), parent) {
    includeSubFolders = addAction(tr("&Include sub-folders"));
    includeSubFolders->setCheckable(true);
    addSeparator();
    auto* methods = new QActionGroup(this);
    sizeAndTimestamp = methods->addAction(tr("Size and Timestamp"));
    crc = methods->addAction(tr("CRC"));
    both = methods->addAction(tr("Both"));
    for (QAction* method : methods->actions()) {
        method->setCheckable(true);
        addAction(method);
    }
    addSeparator();
    filters = addAction(tr("&Filters..."));
    generalSettings = addAction(tr("&General Settings..."));
    ftpConnections = addAction(tr("FTP &Connections..."));
    sftpConnections = addAction(tr("SF&TP Connections..."));
    addSeparator();
    loadSettings = addAction(tr("&Load settings from a file..."));
    saveSettings = addAction(tr("S&ave settings to a file..."));
    restoreDefaults = addAction(tr("&Restore default settings"));
    addSeparator();
    background = addAction(QString());
}

void SettingsMenu::Refresh(const Settings& settings) {
    includeSubFolders->setChecked(settings.includeSubFolders);
    switch (settings.comparisonMethod) {
        case static_cast<int32_t>(ComparisonMethod::SizeAndTimestamp):
            sizeAndTimestamp->setChecked(true);
            break;
        case static_cast<int32_t>(ComparisonMethod::Crc):
            crc->setChecked(true);
            break;
        default:  // the summary, too, calls any other number "both"
            both->setChecked(true);
            break;
    }
    background->setText(settings.backgroundOn ? tr("Remove background color")
                                              : tr("Restore background color"));
}

}  // namespace ravelmoor
