#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

namespace ravelmoor {

// The desktop program's texts in the user's language: while it lives, the
// program's own translation (compiled in under :/i18n) and Qt's for its
// standard buttons are installed in the application. The first of the
// locale's UI languages (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as Qt reads
// them) that is English or has a translation wins; English, or a language
// without one, leaves the texts as written. Needs a QCoreApplication.
class Translations {
  public:
    explicit Translations(const QLocale& locale = QLocale::system());
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The language installed ("de_DE"), or empty when the texts stay English.
    const QString& Language() const { return language_; }

  private:
    QTranslator own_;
    QTranslator qt_;
    QString language_;
};

}  // namespace ravelmoor
