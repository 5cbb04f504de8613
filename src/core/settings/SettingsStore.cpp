#include "core/settings/SettingsStore.h"

#include <QSettings>
#include <QStringConverter>
#include <QStringList>
#include <QVariant>

#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// Stands for '/' in names handed to QSettings; no Latin-1 byte maps to it.
constexpr char16_t kSlashStandIn = u'\u2215';

QString EncodeName(std::string_view name) {
    QString encoded = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    encoded.replace(QChar(u'/'), QChar(kSlashStandIn));
    return encoded;
}

std::string DecodeName(const QString& encoded) {
    std::string name;
    name.reserve(static_cast<size_t>(encoded.size()));
    for (const QChar c : encoded) {
        if (c == QChar(kSlashStandIn)) {
            name += '/';
        } else if (c.unicode() <= 0xFF) {
            name += static_cast<char>(c.unicode());
        } else {
            // Only a hand-edited file holds other characters; keep their UTF-8.
            name += QString(c).toStdString();
        }
    }
    return name;
}

QString Key(std::string_view section, std::string_view name) {
    return EncodeName(section) + u'/' + EncodeName(name);
}

// An optional '-' followed by at least one digit: the text an integer is
// written as.
bool LooksLikeInteger(const QString& text) {
    qsizetype i = text.startsWith(u'-') ? 1 : 0;
    if (i >= text.size()) return false;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
    }
    return true;
}

SettingsStore::Value FromStored(const QVariant& stored) {
    if (stored.typeId() == QMetaType::QByteArray) return stored.toByteArray().toStdString();
    if (stored.typeId() == QMetaType::QStringList) {
        // A hand-edited value with unquoted commas; take it as the text it was.
        return stored.toStringList().join(QStringLiteral(", ")).toStdString();
    }
    const QString text = stored.toString();
    if (text.startsWith(u'@')) return text.mid(1).toStdString();
    if (LooksLikeInteger(text)) {
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        if (ok) return static_cast<int64_t>(number);
    }
    return text.toStdString();
}

}  // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("KVOLT"), QStringLiteral("Ravelmoor"))) {
    settings_->setFallbacksEnabled(false);
}

SettingsStore::SettingsStore(const std::string& path)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat)) {
    settings_->setFallbacksEnabled(false);
}

SettingsStore::~SettingsStore() = default;

std::optional<SettingsStore::Value> SettingsStore::Read(std::string_view section,
                                                        std::string_view name) const {
    if (section.empty() || name.empty()) return std::nullopt;
    const QVariant stored = settings_->value(Key(section, name));
    if (!stored.isValid()) return std::nullopt;
    return FromStored(stored);
}

int64_t SettingsStore::ReadInt(std::string_view section, std::string_view name,
                               int64_t fallback) const {
    const std::optional<Value> value = Read(section, name);
    if (value && std::holds_alternative<int64_t>(*value)) return std::get<int64_t>(*value);
    return fallback;
}

std::string SettingsStore::ReadString(std::string_view section, std::string_view name,
                                      std::string_view fallback) const {
    std::optional<Value> value = Read(section, name);
    if (!value) return std::string(fallback);
    if (auto* text = std::get_if<std::string>(&*value)) return std::move(*text);
    return std::to_string(std::get<int64_t>(*value));
}

void SettingsStore::WriteInt(std::string_view section, std::string_view name, int64_t value) {
    if (section.empty() || name.empty()) return;
    settings_->setValue(Key(section, name), QString::number(static_cast<qlonglong>(value)));
}

void SettingsStore::WriteString(std::string_view section, std::string_view name,
                                std::string_view value) {
    if (section.empty() || name.empty()) return;
    const QByteArrayView bytes(value.data(), static_cast<qsizetype>(value.size()));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        settings_->setValue(Key(section, name), bytes.toByteArray());
        return;
    }
    if (text.startsWith(u'@') || LooksLikeInteger(text)) text.prepend(u'@');
    settings_->setValue(Key(section, name), text);
}

std::vector<std::string> SettingsStore::ValueNames(std::string_view section) const {
    settings_->beginGroup(EncodeName(section));
    const QStringList keys = settings_->childKeys();
    settings_->endGroup();
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(keys.size()));
    for (const QString& key : keys)
        names.push_back(DecodeName(key));
    return names;
}

bool SettingsStore::HasSection(std::string_view section) const {
    return settings_->childGroups().contains(EncodeName(section));
}

void SettingsStore::RemoveValue(std::string_view section, std::string_view name) {
    if (section.empty() || name.empty()) return;
    settings_->remove(Key(section, name));
}

void SettingsStore::RemoveSection(std::string_view section) {
    if (section.empty()) return;
    settings_->remove(EncodeName(section));
}

StoreOutcome SettingsStore::Sync() {
    settings_->sync();
    if (settings_->status() == QSettings::NoError) return {};
    return StoreOutcome(
        StoreStatus::NotWritten,
        FillIn(QCoreApplication::translate("SettingsStore", "Could not write %1."), {FileName()}));
}

std::string SettingsStore::FileName() const {
    return settings_->fileName().toStdString();
}

}  // namespace ravelmoor
