#include "core/results/ViewChoice.h"

#include <QtGlobal>

namespace ravelmoor {
namespace {

constexpr std::array<std::string_view, kViewChoiceCount> kTexts = {
    "  ",
    QT_TRANSLATE_NOOP("ViewChoice", "All"),
    QT_TRANSLATE_NOOP("ViewChoice", "Matched"),
    QT_TRANSLATE_NOOP("ViewChoice", "Unmatched"),
    QT_TRANSLATE_NOOP("ViewChoice", "Newer and Older"),
    QT_TRANSLATE_NOOP("ViewChoice", "Excluded"),
};

}  // namespace

std::string_view ViewChoiceText(ViewChoice choice) {
    const auto index = static_cast<size_t>(choice);
    return index < kTexts.size() ? kTexts[index] : kTexts[0];
}

std::optional<ViewToggles> TogglesOf(ViewChoice choice) {
    ViewToggles toggles = ViewToggles::Off();
    switch (choice) {
        case ViewChoice::All:
            return ViewToggles{};
        case ViewChoice::Matched:
            toggles.matched = true;
            return toggles;
        case ViewChoice::Unmatched:
            toggles.unmatched = true;
            return toggles;
        case ViewChoice::NewerAndOlder:
            toggles.newer = toggles.older = true;
            return toggles;
        case ViewChoice::Excluded:
            toggles.excluded = true;
            return toggles;
        case ViewChoice::Blank:
            break;
    }
    return std::nullopt;
}

ViewChoice ChoiceOf(const ViewToggles& toggles) {
    for (const ViewChoice choice : {ViewChoice::All, ViewChoice::Matched, ViewChoice::Unmatched,
                                    ViewChoice::NewerAndOlder, ViewChoice::Excluded}) {
        if (TogglesOf(choice) == toggles) return choice;
    }
    return ViewChoice::Blank;
}

}  // namespace ravelmoor
