#include "core/sync/SyncSummary.h"

#include <QCoreApplication>
#include <QLocale>
#include <cstdio>

#include "core/text/Formatting.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

constexpr const char* kContext = "SyncSummary";

// The seconds with one decimal: as C writes them in English, in the user's
// way where the window shows the summary translated.
std::string Seconds(double seconds, bool translated) {
    if (translated) return QLocale::system().toString(seconds, 'f', 1).toStdString();
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

// The opening of a summary: `opening` (with %1 for the seconds) in the
// user's words.
std::string Opening(const char* opening, double seconds) {
    const std::string openingText = Translated(kContext, opening);
    return FillIn(QString::fromStdString(openingText), {Seconds(seconds, openingText != opening)});
}

}  // namespace

std::string SyncSummaryText(const SyncTally& tally, bool stopped, double seconds) {
    const char* opening = stopped ? QT_TRANSLATE_NOOP("SyncSummary", "Stopped after %1 seconds:")
                                  : QT_TRANSLATE_NOOP("SyncSummary", "Synchronised in %1 seconds:");
    std::string line =
        Opening(opening, seconds) + " " +
        TranslatedCount(kContext, "%1 file copied",
                        QT_TRANSLATE_N_NOOP("SyncSummary", "%1 files copied"), tally.filesCopied) +
        " (" +
        TranslatedCount(kContext, "%1 byte", QT_TRANSLATE_N_NOOP("SyncSummary", "%1 bytes"),
                        tally.bytesCopied) +
        ")";
    auto add = [&line](uint64_t n, const char* one, const char* many) {
        if (n > 0) line += ", " + TranslatedCount(kContext, one, many, n);
    };
    add(tally.foldersMade, "%1 folder made", QT_TRANSLATE_N_NOOP("SyncSummary", "%1 folders made"));
    // A sync onto a server keeps things there, not in the trash.
    const bool keptOnServer = tally.keptOnServer + tally.replacedKeptOnServer > 0;
    if (tally.movedToTrash > 0 || !keptOnServer) {
        line += ", " +
                TranslatedCount(kContext, "%1 object moved to the trash",
                                QT_TRANSLATE_N_NOOP("SyncSummary", "%1 objects moved to the trash"),
                                tally.movedToTrash);
    }
    add(tally.replacedToTrash, "%1 replaced file kept in the trash",
        QT_TRANSLATE_N_NOOP("SyncSummary", "%1 replaced files kept in the trash"));
    add(tally.replacedForGood, "%1 replaced file not kept (no trash)",
        QT_TRANSLATE_N_NOOP("SyncSummary", "%1 replaced files not kept (no trash)"));
    add(tally.keptOnServer, "%1 deleted object kept on the server",
        QT_TRANSLATE_N_NOOP("SyncSummary", "%1 deleted objects kept on the server"));
    add(tally.replacedKeptOnServer, "%1 replaced file kept on the server",
        QT_TRANSLATE_N_NOOP("SyncSummary", "%1 replaced files kept on the server"));
    add(tally.deletedForGood, "%1 object deleted permanently",
        QT_TRANSLATE_N_NOOP("SyncSummary", "%1 objects deleted permanently"));
    add(tally.foldersRemoved, "%1 folder removed",
        QT_TRANSLATE_N_NOOP("SyncSummary", "%1 folders removed"));
    line += ".";
    if (tally.notDone > 0) {
        line += " " + TranslatedCount(kContext, "%1 object was not copied or deleted",
                                      QT_TRANSLATE_N_NOOP("SyncSummary",
                                                          "%1 objects were not copied or deleted"),
                                      tally.notDone);
        if (tally.changed > 0) {
            line += " (" +
                    FillIn(QCoreApplication::translate("SyncSummary",
                                                       "%1 changed since the comparison"),
                           {FormatSize(tally.changed)}) +
                    ")";
        }
        line += ".";
    }
    return line;
}

std::string UndoSummaryText(size_t done, size_t already, size_t left, bool stopped,
                            double seconds) {
    const char* opening = stopped ? QT_TRANSLATE_NOOP("SyncSummary", "Stopped after %1 seconds:")
                                  : QT_TRANSLATE_NOOP("SyncSummary", "Undone in %1 seconds:");
    std::string line =
        Opening(opening, seconds) + " " +
        TranslatedCount(kContext, "%1 change taken back",
                        QT_TRANSLATE_N_NOOP("SyncSummary", "%1 changes taken back"), done);
    if (already > 0) {
        line += ", " + TranslatedCount(kContext, "%1 already as before",
                                       QT_TRANSLATE_N_NOOP("SyncSummary", "%1 already as before"),
                                       already);
    }
    if (left > 0) {
        line += ", " + TranslatedCount(kContext, "%1 not undone",
                                       QT_TRANSLATE_N_NOOP("SyncSummary", "%1 not undone"), left);
    }
    return line + ".";
}

}  // namespace ravelmoor
