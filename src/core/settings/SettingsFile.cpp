#include "core/settings/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <climits>
#include <cstdint>
#include <filesystem>

#include "core/engine/CaseFold.h"
#include "core/folders/FolderText.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr uint8_t kLongLength = 0xFF;
constexpr uint16_t kVeryLongLength = 0xFFFF;
constexpr const char* kSpaces = " \t\n\r\v\f";

class SettingsWriter {
  public:
    void Int32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_ += static_cast<char>((value >> shift) & 0xFF);
    }
    void Int16(uint16_t value) {
        bytes_ += static_cast<char>(value & 0xFF);
        bytes_ += static_cast<char>(value >> 8);
    }
    void String(std::string_view text) {
        const size_t length = text.size();
        if (length < kLongLength) {
            bytes_ += static_cast<char>(length);
        } else if (length < kVeryLongLength - 1) {
            bytes_ += static_cast<char>(kLongLength);
            Int16(static_cast<uint16_t>(length));
        } else {
            bytes_ += static_cast<char>(kLongLength);
            Int16(kVeryLongLength);
            Int32(static_cast<uint32_t>(length));
        }
        bytes_ += text;
    }
    std::string Take() { return std::move(bytes_); }

  private:
    std::string bytes_;
};

// Reads fields from a file and notices when it ends too early; once failed it
// stays failed.
class SettingsReader {
  public:
    explicit SettingsReader(QIODevice& file) : file_(file) {}

    bool Ok() const { return ok_; }

    uint32_t Int32() {
        uint32_t value = 0;
        uint8_t bytes[4] = {};
        if (Bytes(bytes, sizeof bytes)) {
            for (int i = 3; i >= 0; --i)
                value = (value << 8) | bytes[i];
        }
        return value;
    }
    uint16_t Int16() {
        uint8_t bytes[2] = {};
        if (!Bytes(bytes, sizeof bytes)) return 0;
        return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    }
    uint8_t Int8() {
        uint8_t byte = 0;
        Bytes(&byte, 1);
        return byte;
    }
    std::string String() {
        const uint64_t length = Length();
        std::string text;
        if (!ok_) return text;
        // A length is only believed as far as the file goes.
        if (length > static_cast<uint64_t>(Remaining())) {
            ok_ = false;
            return text;
        }
        text.resize(static_cast<size_t>(length));
        // A NUL cannot be part of a path, a program or an expression: the
        // file is not one this program wrote.
        if (Bytes(text.data(), text.size()) && text.find('\0') != std::string::npos) ok_ = false;
        return text;
    }

    // A count of items that each take at least `itemSize` bytes: believed
    // only as far as the bytes left in the file go.
    uint32_t Count(uint32_t itemSize) {
        const uint32_t count = Int32();
        if (ok_ && (count > INT32_MAX || count > static_cast<uint64_t>(Remaining()) / itemSize)) {
            ok_ = false;
        }
        return ok_ ? count : 0;
    }

    // Reads a string that must be `expected`; one of another length is not
    // read at all.
    bool Expect(std::string_view expected) {
        if (Length() != expected.size()) ok_ = false;
        std::string text(expected.size(), '\0');
        return Bytes(text.data(), text.size()) && text == expected;
    }

  private:
    uint64_t Length() {
        uint64_t length = Int8();
        if (length == kLongLength) {
            length = Int16();
            if (length == kVeryLongLength) length = Int32();
        }
        return length;
    }

    qint64 Remaining() const { return file_.size() - file_.pos(); }

    bool Bytes(void* data, size_t size) {
        if (!ok_) return false;
        const auto wanted = static_cast<qint64>(size);
        ok_ = file_.read(static_cast<char*>(data), wanted) == wanted;
        return ok_;
    }

    QIODevice& file_;
    bool ok_ = true;
};

std::string AbsolutePath(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}

// The text after the last '.', or the whole path when it has none.
std::string_view Extension(std::string_view path) {
    const size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? path : path.substr(dot + 1);
}

// `base` is an absolute folder; the folder text keeps its bytes.
void ResolveAgainst(const std::string& base, std::string& folder) {
    if (!IsRelativeFolder(folder)) return;
    const size_t first = folder.find_first_not_of(kSpaces);
    const std::string text = folder.substr(first, folder.find_last_not_of(kSpaces) - first + 1);
    std::string normal = (std::filesystem::path(base) / text).lexically_normal().string();
    if (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    folder = std::move(normal);
}

SettingsFileOutcome Refusal(SettingsFileStatus status, std::string message) {
    return SettingsFileOutcome(status, std::move(message));
}

SettingsFileOutcome ReadSettingsFile(const std::string& path, Settings& settings,
                                     const char* unreadablePattern) {
    QFile file(QString::fromStdString(path));
    if (QFileInfo(file).isDir() || !file.open(QIODevice::ReadOnly)) {
        return Refusal(
            SettingsFileStatus::Unreadable,
            FillIn(QCoreApplication::translate("SettingsFile", unreadablePattern), {path}));
    }
    if (!DeserializeSettings(file, settings)) {
        settings.settingsFileName.clear();
        return Refusal(SettingsFileStatus::Invalid,
                       FillIn(QCoreApplication::translate("SettingsFile", "Invalid file.")));
    }
    const std::string base = path.substr(0, path.rfind('/') + 1);
    ResolveAgainst(base, settings.sourceFolder);
    ResolveAgainst(base, settings.targetFolder);
    settings.settingsFileName = path;
    return {};
}

}  // namespace

bool IsRelativeFolder(std::string_view folder) {
    const size_t start = folder.find_first_not_of(kSpaces);
    return start != std::string_view::npos && folder[start] != '/' &&
           !DesignatesRemoteFolder(folder);
}

std::string SerializeSettings(const Settings& settings) {
    SettingsWriter out;
    out.String(kSettingsFileMagic);
    out.String(settings.sourceFolder);
    out.String(settings.targetFolder);
    out.Int32(settings.includeSubFolders ? 1 : 0);
    out.Int32(static_cast<uint32_t>(settings.comparisonMethod));
    out.Int32(settings.ignoreTwoSeconds ? 1 : 0);
    out.Int32(settings.ignoreSixtySeconds ? 1 : 0);
    out.Int32(settings.ignoreOneHour ? 1 : 0);
    out.Int32(settings.crcChunk);
    out.String(settings.comparisonProgram);
    out.String(settings.comparisonParameters);
    out.Int32(static_cast<uint32_t>(settings.filterRules.size()));
    for (const FilterRule& rule : settings.filterRules) {
        out.String(rule.type);
        out.String(rule.expression);
    }
    return out.Take();
}

bool DeserializeSettings(QIODevice& file, Settings& settings) {
    SettingsReader in(file);
    if (!in.Expect(kSettingsFileMagic)) return false;

    Settings read = settings;
    read.sourceFolder = in.String();
    read.targetFolder = in.String();
    read.includeSubFolders = in.Int32() != 0;
    read.comparisonMethod = static_cast<int32_t>(in.Int32());
    read.ignoreTwoSeconds = in.Int32() != 0;
    read.ignoreSixtySeconds = in.Int32() != 0;
    read.ignoreOneHour = in.Int32() != 0;
    read.crcChunk = in.Int32();
    read.comparisonProgram = in.String();
    read.comparisonParameters = in.String();
    // Each rule takes at least two bytes (two empty strings).
    const uint32_t count = in.Count(2);
    read.filterRules.clear();
    read.filterRules.reserve(count);
    for (uint32_t k = 0; k < count && in.Ok(); ++k) {
        FilterRule rule;
        rule.type = in.String();
        rule.expression = in.String();
        read.filterRules.push_back(std::move(rule));
    }
    if (!in.Ok()) return false;
    settings = std::move(read);
    return true;
}

SettingsFileOutcome LoadChosenSettingsFile(const std::string& path, Settings& settings) {
    const std::string full = AbsolutePath(path);
    if (FoldCase(Extension(full)) != kSettingsFileExtension) {
        return Refusal(
            SettingsFileStatus::WrongExtension,
            FillIn(QCoreApplication::translate("SettingsFile", "Incorrect file extension.")));
    }
    if (!QFileInfo::exists(QString::fromStdString(full))) {
        return Refusal(
            SettingsFileStatus::NotFound,
            FillIn(QCoreApplication::translate("SettingsFile", "File %1 not found."), {full}));
    }
    return ReadSettingsFile(full, settings,
                            QT_TRANSLATE_NOOP("SettingsFile", "Can not read file %1"));
}

SettingsFileOutcome SaveChosenSettingsFile(const std::string& path, Settings& settings) {
    const std::string full = AbsolutePath(path);
    const std::string bytes = SerializeSettings(settings);
    QSaveFile file(QString::fromStdString(full));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        return Refusal(
            SettingsFileStatus::NotWritten,
            FillIn(QCoreApplication::translate("SettingsFile", "Can not create file for writing")));
    }
    settings.settingsFileName = full;
    return SettingsFileOutcome(
        SettingsFileStatus::Done,
        FillIn(QCoreApplication::translate("SettingsFile", "Settings saved to file: %1"), {full}));
}

SettingsFileOutcome LoadSettingsFromCommandLine(const std::string& argument, Settings& settings) {
    if (argument.empty()) return Refusal(SettingsFileStatus::NothingNamed, {});
    const std::string full = AbsolutePath(argument);
    if (!QFileInfo::exists(QString::fromStdString(full))) {
        return Refusal(
            SettingsFileStatus::NotFound,
            FillIn(QCoreApplication::translate("SettingsFile", "File not found: %1"), {argument}));
    }
    return ReadSettingsFile(full, settings,
                            QT_TRANSLATE_NOOP("SettingsFile", "Can not read file: %1"));
}

bool IsSettingsFileArgument(std::string_view argument) {
    const std::string suffix = std::string(".") + kSettingsFileExtension;
    return argument.size() > suffix.size() &&
           FoldCase(argument.substr(argument.size() - suffix.size())) == suffix;
}

}  // namespace ravelmoor
