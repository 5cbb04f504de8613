#include "results/Formatting.h"

#include <QDateTime>
#include <QLocale>

namespace ravelmoor {

std::string FormatSize(uint64_t size) {
    static const QLocale locale = QLocale::system();
    return locale.toString(static_cast<qulonglong>(size)).toStdString();
}

std::string FormatTimestamp(int64_t time) {
    static const QLocale locale = QLocale::system();
    const QDateTime local = QDateTime::fromSecsSinceEpoch(time);
    return (locale.toString(local.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
            locale.toString(local.time(), QLocale::ShortFormat))
        .toStdString();
}

}  // namespace ravelmoor
