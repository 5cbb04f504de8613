#include "gui/settings/BackgroundSetup.h"

#include <QGuiApplication>
#include <QScreen>
#include <memory>
#include <string>

#include "core/engine/Prompter.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "core/text/Translated.h"
#include "gui/widgets/BackgroundBitmap.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/ShowOutcome.h"

namespace ravelmoor {
namespace {

// Below this many bits per pixel the built-in picture's shades are lost.
constexpr int kSmallestDepthForBuiltIn = 9;

// The skin the settings name, loaded; none when no skin is named or it did
// not load, in which case it is reported and forgotten.
std::unique_ptr<BackgroundBitmap> LoadSkin(Settings& settings, SettingsStore& store,
                                           Prompter& prompter) {
    if (settings.skinPath.empty()) return nullptr;
    auto skin = std::make_unique<BackgroundBitmap>();
    if (skin->LoadFromFile(settings.skinPath)) return skin;
    prompter.Warn(
        FillIn(QCoreApplication::translate("BackgroundSetup", background_texts::kSkinFailed),
               {settings.skinPath}));
    settings.ForgetSkin(store);
    ShowOutcome(prompter, store.Sync());
    return nullptr;
}

enum class BackgroundResult { Shown, LowColourScreen, NoBuiltIn };

// The skin, or else the built-in picture, becomes the shared background.
BackgroundResult ShowBackground(Settings& settings, SettingsStore& store, Prompter& prompter,
                                const ScreenDepth& screenDepth) {
    if (auto skin = LoadSkin(settings, store, prompter)) {
        SetSharedBackground(std::move(skin));
        return BackgroundResult::Shown;
    }
    if (screenDepth() < kSmallestDepthForBuiltIn) return BackgroundResult::LowColourScreen;
    auto builtIn = std::make_unique<BackgroundBitmap>();
    if (!builtIn->LoadFromResource()) return BackgroundResult::NoBuiltIn;
    SetSharedBackground(std::move(builtIn));
    return BackgroundResult::Shown;
}

}  // namespace

int PrimaryScreenDepth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->depth() : 32;
}

bool LoadBackgroundAtStartup(Settings& settings, SettingsStore& store, Prompter& prompter,
                             const ScreenDepth& screenDepth) {
    if (!settings.backgroundOn) return true;
    switch (ShowBackground(settings, store, prompter, screenDepth)) {
        case BackgroundResult::Shown:
            return true;
        case BackgroundResult::LowColourScreen:
            if (!settings.lowColourWarned) {
                prompter.Warn(Translated("BackgroundSetup", background_texts::kLowColour));
                settings.RememberLowColourWarning(store);
                ShowOutcome(prompter, store.Sync());
            }
            // The windows stay plain; the setting stays as the user left it.
            return true;
        case BackgroundResult::NoBuiltIn:
            prompter.Warn(Translated("BackgroundSetup", background_texts::kBuiltInFailedAtStartup));
            return false;
    }
    return false;
}

void ToggleBackground(Settings& settings, SettingsStore& store, Prompter& prompter,
                      const ScreenDepth& screenDepth) {
    settings.backgroundOn = !settings.backgroundOn;
    if (!settings.backgroundOn) {
        SetSharedBackground(nullptr);
        return;
    }
    settings.skinPath = store.ReadString(settings_keys::kSection, settings_keys::kSkinPath, "");
    switch (ShowBackground(settings, store, prompter, screenDepth)) {
        case BackgroundResult::Shown:
            return;
        case BackgroundResult::LowColourScreen:
            if (!settings.lowColourWarned)
                prompter.Warn(Translated("BackgroundSetup", background_texts::kLowColour));
            break;
        case BackgroundResult::NoBuiltIn:
            prompter.Warn(Translated("BackgroundSetup", background_texts::kBuiltInFailed));
            break;
    }
    settings.backgroundOn = false;
}

}  // namespace ravelmoor
