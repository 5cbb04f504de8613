#include "core/text/Formatting.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace ravelmoor {
namespace {

// The locale's short time format with seconds: the lists must show them,
// since the 2-second tolerance makes them matter. Most short formats stop at
// the minutes ("HH:mm", "h:mm AP"); the seconds follow the minutes with the
// separator that the format puts before the minutes.
QString TimeFormatWithSeconds(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (format.contains(QLatin1Char('s'))) return format;
    const qsizetype minutes = format.indexOf(QLatin1String("mm"));
    if (minutes <= 0) return QStringLiteral("HH:mm:ss");
    qsizetype separatorStart = minutes;
    while (separatorStart > 0 && !format[separatorStart - 1].isLetter())
        --separatorStart;
    QString separator = format.mid(separatorStart, minutes - separatorStart);
    if (separator.isEmpty()) separator = QStringLiteral(":");
    return format.insert(minutes + 2, separator + QStringLiteral("ss"));
}

}  // namespace

std::string FormatSize(uint64_t size) {
    static const QLocale locale = QLocale::system();
    return locale.toString(static_cast<qulonglong>(size)).toStdString();
}

std::string FormatBytes(double bytes, bool inUserLocale) {
    static constexpr const char* kUnits[] = {"B", "kB", "MB", "GB", "TB", "PB"};
    size_t unit = 0;
    while (bytes >= 1000 && unit + 1 < std::size(kUnits)) {
        bytes /= 1000;
        ++unit;
    }
    const int decimals = unit == 0 ? 0 : 1;
    if (inUserLocale) {
        return (QLocale::system().toString(bytes, 'f', decimals) + QLatin1Char(' ') +
                QLatin1String(kUnits[unit]))
            .toStdString();
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.*f %s", decimals, bytes, kUnits[unit]);
    return text;
}

std::string FormatDuration(double seconds) {
    const auto whole = static_cast<unsigned long long>(std::llround(std::max(seconds, 0.0)));
    char text[48];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", whole / 3600, whole / 60 % 60,
                      whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%llu:%02llu", whole / 60, whole % 60);
    }
    return text;
}

std::string FormatTimestamp(int64_t time) {
    static const QLocale locale = QLocale::system();
    static const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    static const QString timeFormat = TimeFormatWithSeconds(locale);
    const QDateTime local = QDateTime::fromSecsSinceEpoch(time);
    return (locale.toString(local.date(), dateFormat) + QLatin1Char(' ') +
            locale.toString(local.time(), timeFormat))
        .toStdString();
}

}  // namespace ravelmoor
