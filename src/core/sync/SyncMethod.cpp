#include "core/sync/SyncMethod.h"

#include <QtGlobal>
#include <array>

namespace ravelmoor {
namespace {

struct MethodTexts {
    std::string_view text;
    std::string_view description;
};

constexpr std::array<MethodTexts, kSyncMethodCount> kTexts = {{
    {" ", QT_TRANSLATE_NOOP("SyncMethod", "Select sync method above. Then press \"Synchronise\".")},
    {QT_TRANSLATE_NOOP("SyncMethod", "Align Source and Target"),
     QT_TRANSLATE_NOOP(
         "SyncMethod",
         "Copy unmatched files/folders in Source to Target and unmatched files/folders in Target "
         "to Source. Copy newer files/folders in Source over the corresponding older "
         "files/folders in Target, and newer files/folders in Target over the corresponding "
         "older files/folders in Source.")},
    {QT_TRANSLATE_NOOP("SyncMethod", "Augment Target"),
     QT_TRANSLATE_NOOP("SyncMethod", "Copy unmatched files/folders in Source to Target.")},
    {QT_TRANSLATE_NOOP("SyncMethod", "Refresh Target"),
     QT_TRANSLATE_NOOP(
         "SyncMethod",
         "Copy newer files/folders in Source over corresponding older file/folders in Target.")},
    {QT_TRANSLATE_NOOP("SyncMethod", "Update Target"),
     QT_TRANSLATE_NOOP("SyncMethod", "Augment and Refresh Target.")},
    {QT_TRANSLATE_NOOP("SyncMethod", "Update and Prune Target"),
     QT_TRANSLATE_NOOP(
         "SyncMethod",
         "Augment and Refresh Target and then remove unmatched files/folders from Target.")},
    {QT_TRANSLATE_NOOP("SyncMethod", "Force Target"),
     QT_TRANSLATE_NOOP(
         "SyncMethod",
         "Update and Prune Target, then overwrite newer files/folders in Target with older Source "
         "files/folders.")},
    {QT_TRANSLATE_NOOP("SyncMethod", "Synchronise Both Ways"),
     QT_TRANSLATE_NOOP(
         "SyncMethod",
         "Bring over what changed on either side since the last synchronisation of these two "
         "folders: new, changed, deleted and renamed files/folders. Files changed on both sides "
         "are conflicts and are left as they are until you decide.")},
}};

const MethodTexts& TextsOf(SyncMethod method) {
    const auto index = static_cast<size_t>(method);
    return kTexts[index < kTexts.size() ? index : 0];
}

}  // namespace

std::string_view SyncMethodText(SyncMethod method) {
    return TextsOf(method).text;
}

std::string_view SyncMethodDescription(SyncMethod method) {
    return TextsOf(method).description;
}

std::optional<ViewToggles> DefaultView(SyncMethod method) {
    ViewToggles view = ViewToggles::Off();
    switch (method) {
        case SyncMethod::Align:
        case SyncMethod::Force:
            view.newer = view.older = view.unmatched = true;
            break;
        case SyncMethod::Augment:
            view.unmatched = true;
            break;
        case SyncMethod::Refresh:
            view.newer = true;
            break;
        case SyncMethod::Update:
        case SyncMethod::UpdateAndPrune:
            view.newer = view.unmatched = true;
            break;
        case SyncMethod::TwoWay:
            view.newer = view.older = view.unmatched = true;
            break;
        case SyncMethod::None:
            return std::nullopt;
    }
    return view;
}

}  // namespace ravelmoor
