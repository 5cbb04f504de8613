#include "gui/main/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace ravelmoor {

Translations::Translations(const QLocale& locale) {
    for (const QString& language : locale.uiLanguages()) {
        // "de-DE" -> "de_DE"; QTranslator falls back to "de" by itself.
        const QString name = QString(language).replace(QLatin1Char('-'), QLatin1Char('_'));
        if (name == QLatin1String("C") || name.startsWith(QLatin1String("en"))) return;
        if (!own_.load(QStringLiteral("ravelmoor_") + name, QStringLiteral(":/i18n"))) continue;
        QCoreApplication::installTranslator(&own_);
        // Qt's own texts (standard buttons), where Debian ships them.
        if (qt_.load(QStringLiteral("qtbase_") + name,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(&qt_);
        }
        language_ = own_.language();
        return;
    }
}

Translations::~Translations() {
    QCoreApplication::removeTranslator(&qt_);
    QCoreApplication::removeTranslator(&own_);
}

}  // namespace ravelmoor
