#include "gui/main/DesktopApp.h"

#include <QApplication>

#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "gui/main/MainWindow.h"
#include "gui/main/Translations.h"
#include "gui/settings/BackgroundSetup.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/DarkPalette.h"
#include "gui/widgets/GeometryMemory.h"
#include "gui/widgets/GuiPrompter.h"
#include "gui/widgets/IconButton.h"

// Resources compiled into a static library are registered by name.
static void RegisterResources() {
    Q_INIT_RESOURCE(ravelmoor);
}

namespace ravelmoor {

void LoadProgramResources() {
    RegisterResources();
}

int RunDesktop(int argc, char** argv, const std::string& settingsFile) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ravelmoor"));
    QApplication::setOrganizationName(QStringLiteral("KVOLT"));
    // Lets the desktop find the installed entry and icon for the windows.
    QGuiApplication::setDesktopFileName(QStringLiteral(RAVELMOOR_APP_ID));
    LoadProgramResources();
    const Translations translations;
    QApplication::setWindowIcon(ProgramIcon("ravelmoor"));
    ApplyPaletteFromEnvironment();

    SettingsStore store;
    Settings settings;
    settings.LoadAtStartup(store);
    GuiPrompter prompter;
    GeometryMemory geometry(store);
    app.installEventFilter(&geometry);
    if (!LoadBackgroundAtStartup(settings, store, prompter, PrimaryScreenDepth)) return 1;

    MainWindow window(settings, store, prompter);
    // The program ends with its main window, even while a help window is open.
    QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
    window.show();
    window.LoadSettingsFromCommandLine(settingsFile);
    const int status = QApplication::exec();
    SetSharedBackground(nullptr);
    return status;
}

}  // namespace ravelmoor
