#include "cli/JsonOutput.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>

#include "cli/PlannedActions.h"
#include "core/engine/FolderComparer.h"
#include "core/engine/NameEscape.h"

namespace ravelmoor {
namespace {

constexpr int kVersion = 1;

const char* KindWord(char kind) {
    if (kind == 'd') return "folder";
    return kind == 'L' ? "link" : "file";
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QJsonObject ActionJson(const PlannedAction& action) {
    QJsonObject object;
    object.insert(QStringLiteral("action"), Text(action.Verb()));
    object.insert(QStringLiteral("side"), action.side == ListSide::Source
                                              ? QStringLiteral("source")
                                              : QStringLiteral("target"));
    object.insert(QStringLiteral("kind"), QString::fromLatin1(KindWord(action.kind)));
    PutName(object, QStringLiteral("path"), action.path);
    object.insert(QStringLiteral("size"), static_cast<qint64>(action.size));
    object.insert(QStringLiteral("mtime"), static_cast<qint64>(action.lastWrite));
    if (action.replaces) {
        object.insert(QStringLiteral("replaced_size"), static_cast<qint64>(action.replacedSize));
        object.insert(QStringLiteral("replaced_mtime"),
                      static_cast<qint64>(action.replacedLastWrite));
    }
    object.insert(QStringLiteral("outcome"), Text(OutcomeWord(action.outcome)));
    if (!action.reason.empty()) object.insert(QStringLiteral("reason"), Text(action.reason));
    return object;
}

}  // namespace

const char* ComparisonMethodWord(ComparisonMethod method) {
    switch (method) {
        case ComparisonMethod::Crc:
            return "crc";
        case ComparisonMethod::Both:
            return "both";
        default:
            break;
    }
    return "size-time";
}

void PutName(QJsonObject& object, const QString& key, std::string_view bytes) {
    object.insert(key, Text(bytes));
    if (IsValidUtf8(bytes)) return;
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    object.insert(key + QStringLiteral("_bytes"), QString::fromLatin1(raw.toBase64()));
}

QJsonObject JsonDocumentStart(const char* format, const FolderComparer& comparer) {
    QJsonObject document;
    document.insert(QStringLiteral("format"), QString::fromLatin1(format));
    document.insert(QStringLiteral("version"), kVersion);
    PutName(document, QStringLiteral("source"), comparer.SourceRoot());
    PutName(document, QStringLiteral("target"), comparer.TargetRoot());
    document.insert(QStringLiteral("compare_method"),
                    QString::fromLatin1(ComparisonMethodWord(comparer.Method())));
    return document;
}

void PutSyncActions(QJsonObject& document, std::string_view method, const PlannedActions& actions,
                    bool dryRun, bool stopped) {
    document.insert(QStringLiteral("method"), Text(method));
    document.insert(QStringLiteral("dry_run"), dryRun);
    document.insert(QStringLiteral("stopped"), stopped);
    QJsonArray list;
    uint64_t bytes = 0;
    for (const PlannedAction& action : actions.All()) {
        list.append(ActionJson(action));
        if (action.outcome == ActionOutcome::Done && !action.deletion) bytes += action.size;
    }
    document.insert(QStringLiteral("actions"), list);
    QJsonObject summary;
    summary.insert(QStringLiteral("actions"), static_cast<qint64>(actions.All().size()));
    for (const ActionOutcome outcome :
         {ActionOutcome::Planned, ActionOutcome::Done, ActionOutcome::Skipped,
          ActionOutcome::Failed, ActionOutcome::Declined}) {
        summary.insert(Text(OutcomeWord(outcome)), static_cast<qint64>(actions.Count(outcome)));
    }
    summary.insert(QStringLiteral("bytes_copied"), static_cast<qint64>(bytes));
    document.insert(QStringLiteral("summary"), summary);
}

void WriteJson(const QJsonObject& document, FILE* out) {
    QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Compact);
    text.append('\n');
    std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), out);
}

}  // namespace ravelmoor
