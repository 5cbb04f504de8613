#include "support/TempConfigHome.h"

#include <QSettings>
#include <cstdlib>

namespace ravelmoor::test {

TempConfigHome::TempConfigHome() {
    if (const char* previous = std::getenv("XDG_CONFIG_HOME")) {
        previous_ = previous;
        hadPrevious_ = true;
    }
    ::setenv("XDG_CONFIG_HOME", Path().c_str(), 1);
    if (const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        previousBus_ = bus;
        hadPreviousBus_ = true;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "", 1);
    // QSettings takes the environment once per process; this follows it.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(Path()));
}

TempConfigHome::~TempConfigHome() {
    if (hadPrevious_) {
        ::setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
    if (hadPreviousBus_) {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", previousBus_.c_str(), 1);
    } else {
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
}

std::string TempConfigHome::Ini() const {
    return tree_.Exists("KVOLT/Ravelmoor.ini") ? tree_.Read("KVOLT/Ravelmoor.ini") : std::string();
}

std::string TempConfigHome::Passwords() const {
    return tree_.Exists("KVOLT/Ravelmoor.passwords") ? tree_.Read("KVOLT/Ravelmoor.passwords")
                                                     : std::string();
}

void TempConfigHome::WriteIni(const std::string& text) {
    tree_.Write("KVOLT/Ravelmoor.ini", text);
}

}  // namespace ravelmoor::test
